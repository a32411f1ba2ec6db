// A deck served on a new pseudo-terminal by a background thread: what tests and
// in-process demos use. Clients open `path()` like any serial line.
#pragma once
#include "deck.h"
#include "line.h"
#include "server.h"

#include <string>
#include <thread>

namespace deckemu {

struct ServedDeck {
    // Throws std::runtime_error when no pseudo-terminal can be had.
    explicit ServedDeck(const DeckConfig& config = {}, const ServeOptions& options = {});
    ~ServedDeck(); // stops the server and closes the line
    ServedDeck(const ServedDeck&) = delete;
    ServedDeck& operator=(const ServedDeck&) = delete;

    const std::string& path() const { return pty.path; }

    Deck deck;
    Pty pty;
    std::thread thread;
    ServeEnd end = ServeEnd::Stopped; // how the server returned, once it has
};

} // namespace deckemu
