#include "record_reader.h"

#include "output.h"

const uint8_t* reader_peek(RecordReader& rd, size_t n) {
    DriverState& st = *rd.st;
    if (!input_ok(st)) return nullptr;
    size_t at = rd.data + rd.pos;
    if (at > st.in_size || n > st.in_size - at) {
        fail_input(st, at,
                   "the input ends " + std::to_string(n - (at < st.in_size ? st.in_size - at : 0)) +
                       " bytes short of what its counts and lengths say");
        return nullptr;
    }
    return st.in_base + at;
}

const uint8_t* reader_take(RecordReader& rd, size_t n) {
    const uint8_t* p = reader_peek(rd, n);
    if (p) rd.pos += n;
    return p;
}

void reader_to_output(RecordReader& rd, size_t n) {
    if (const uint8_t* p = reader_take(rd, n)) out_put(*rd.st, p, n);
}

void copy_counted_run(RecordReader& rd) {
    const uint8_t* len = reader_take(rd, 4);
    if (!len) return;
    out_put(*rd.st, len, 4);
    int32_t n = int32_t(load_be32(len));
    if (n > 0) reader_to_output(rd, size_t(n));
}
