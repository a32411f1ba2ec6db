#include "served_deck.h"

#include <stdexcept>
#include <unistd.h>

namespace deckemu {

ServedDeck::ServedDeck(const DeckConfig& config, const ServeOptions& options) : deck(config) {
    std::string error;
    if (!open_pty(pty, error)) throw std::runtime_error(error);
    ServeOptions o = options;
    o.clientWatchFd = pty.watch;
    o.heldClientFd = pty.slave;
    thread = std::thread([this, o] {
        end = serve_deck(deck, pty.master, o);
        // The line is gone once the deck is: clients then read end of file.
        close(pty.master);
        pty.master = -1;
    });
}

ServedDeck::~ServedDeck() {
    deck_request_stop(deck);
    if (thread.joinable()) thread.join();
    close_pty(pty);
}

} // namespace deckemu
