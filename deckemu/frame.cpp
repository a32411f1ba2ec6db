#include "frame.h"

namespace deckemu {

uint8_t checksum(const uint8_t* bytes, size_t n) {
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i) sum += bytes[i];
    return uint8_t(sum);
}

Bytes make_frame(uint8_t group, uint8_t cmd2, const Bytes& data) {
    Bytes f;
    f.reserve(data.size() + 3);
    f.push_back(uint8_t((group & 0xF0) | (data.size() & 0x0F)));
    f.push_back(cmd2);
    for (uint8_t b : data) f.push_back(b);
    f.push_back(checksum(f.data(), f.size()));
    return f;
}

Bytes ack_frame() {
    return make_frame(0x10, 0x01);
}
Bytes nack_frame(uint8_t errors) {
    return make_frame(0x10, 0x12, {errors});
}

std::optional<ReceivedFrame> FrameReader::feed(uint8_t byte, int64_t ust) {
    if (pending.empty()) firstUst = ust;
    lastUst = ust;
    pending.push_back(byte);
    size_t length = size_t(pending[0] & 0x0F) + 3;
    if (pending.size() < length) return std::nullopt;
    ReceivedFrame f;
    f.cmd1 = pending[0];
    f.cmd2 = pending[1];
    f.data.assign(pending.begin() + 2, pending.end() - 1);
    f.checksumOk = checksum(pending.data(), length - 1) == pending.back();
    f.firstUst = firstUst;
    f.lastUst = lastUst;
    f.raw = pending;
    pending.clear();
    return f;
}

bool FrameReader::timed_out(int64_t ust) const {
    return !pending.empty() && ust - lastUst > kInterByteTimeoutNs;
}

} // namespace deckemu
