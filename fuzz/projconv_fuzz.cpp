// libFuzzer target: the converter's driver on arbitrary bytes. Any input must either
// convert or be refused with one line; the sanitizers catch every stray read, write,
// leak and undefined operation on the way.

#include "driver.h"
#include "output.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FILE* sink = std::fopen("/dev/null", "w");
    // The magic number is never examined, so its first bit can choose -c.
    convert_mac_filenames = size > 0 && (data[0] & 1);
    MemoryOutput out;
    size_t len = 0;
    const int status = convert_buffer({data, size}, out, len, sink, "projconv");
    if (status != 0 && status != -1) std::abort();
    if (status == 0 && (len < 20 || len > out.window.size)) std::abort();
    return 0;
}
