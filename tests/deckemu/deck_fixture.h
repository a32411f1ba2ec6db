// A deck served on a pseudo-terminal with the test holding the line open.
#pragma once
#include "line_client.h"
#include "served_deck.h"

#include <gtest/gtest.h>
#include <unistd.h>

struct OpenDeck {
    explicit OpenDeck(const deckemu::DeckConfig& config = {}) : served(config) {
        fd = linetest::open_line(served.path());
    }
    ~OpenDeck() {
        if (fd >= 0) close(fd);
    }
    deckemu::Deck& deck() { return served.deck; }
    linetest::Bytes transact(const linetest::Bytes& command, int ms = 500) {
        return linetest::transact(fd, command, ms);
    }

    deckemu::ServedDeck served;
    int fd = -1;
};

inline deckemu::DeckConfig config_at(int rate, bool drop, int64_t startFrame) {
    deckemu::DeckConfig c;
    c.rate = rate;
    c.drop = drop;
    c.startFrame = startFrame;
    return c;
}

inline std::string hex(const linetest::Bytes& bytes) {
    std::string s;
    char buf[4];
    for (uint8_t b : bytes) {
        snprintf(buf, sizeof buf, "%02X ", b);
        s += buf;
    }
    return s;
}
