// mkproject [OUTFILE]: writes the sample Mac project (by default
// examples/sample-mac.prj), which holds entries of every kind projconv converts.

#include "sample_project.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [outfile]\n", argv[0]);
        return 2;
    }
    const char* name = argc == 2 ? argv[1] : "examples/sample-mac.prj";
    const std::vector<uint8_t> bytes = kit::sample_project().project.build();
    FILE* f = std::fopen(name, "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f)) {
        std::perror(name);
        return 1;
    }
    std::printf("wrote %s: %zu bytes\n", name, bytes.size());
    return 0;
}
