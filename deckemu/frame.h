// 9-pin frames: CMD1 (group, data count), CMD2, data, checksum (low 8 bits of the
// sum of the bytes before it), and an incremental reader for the receive side.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace deckemu {

using Bytes = std::vector<uint8_t>;

constexpr int64_t kInterByteTimeoutNs = 10'000'000; // a longer gap inside a command is an error

// Error bits of a NACK (11 12 xx).
constexpr uint8_t kNackUndefined = 0x01;
constexpr uint8_t kNackChecksum = 0x04;
constexpr uint8_t kNackTimeout = 0x80;

uint8_t checksum(const uint8_t* bytes, size_t n);

// CMD1 gets the data count in its low nibble; the checksum is appended.
Bytes make_frame(uint8_t group, uint8_t cmd2, const Bytes& data = {});

Bytes ack_frame();
Bytes nack_frame(uint8_t errors);

// A command as received: the bytes without their checksum, and when they came.
struct ReceivedFrame {
    uint8_t cmd1 = 0, cmd2 = 0;
    Bytes data;
    bool checksumOk = true;
    int64_t firstUst = 0; // arrival of CMD1
    int64_t lastUst = 0;  // arrival of the checksum: the command is complete
    Bytes raw;            // every byte of the frame as it came, checksum included
};

// Gathers bytes into frames. Any byte may start a frame: its low nibble says how
// many data bytes follow.
struct FrameReader {
    Bytes pending;
    int64_t firstUst = 0, lastUst = 0;

    bool idle() const { return pending.empty(); }
    // Feeds one byte; returns the frame once its checksum byte has arrived.
    std::optional<ReceivedFrame> feed(uint8_t byte, int64_t ust);
    // True when a partial frame has waited longer than the inter-byte limit at `ust`.
    bool timed_out(int64_t ust) const;
    void reset() { pending.clear(); }
};

} // namespace deckemu
