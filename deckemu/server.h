// Serves a deck on a file descriptor: a pseudo-terminal's master side or a serial
// device in raw mode. Reads commands as they come, answers each complete one at
// once, and applies the faults the deck has been given.
#pragma once
#include "deck.h"

#include <cstdio>
#include <string>

namespace deckemu {

enum class ServeEnd {
    Stopped,    // deck_request_stop
    LineClosed, // deck_close_line: the caller closes the descriptor at once
    Error,      // the descriptor failed; `error` says how
};

struct ServeOptions {
    FILE* verbose = nullptr; // each command and reply with its time, one line each
    // On a pseudo-terminal (Pty::watch and Pty::slave): replies are not written
    // while no client has the line open, and what the last client left unread is
    // thrown away when it closes, so the next client does not take it for its own.
    int clientWatchFd = -1;
    int heldClientFd = -1;
};

ServeEnd serve_deck(Deck& deck, int fd, const ServeOptions& options = {},
                    std::string* error = nullptr);

} // namespace deckemu
