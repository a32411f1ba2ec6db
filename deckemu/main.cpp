// deckemu: a 9-pin deck on a pseudo-terminal (its path is the first line printed)
// or on a serial device, serving until Ctrl-C or SIGTERM.
#include "deck.h"
#include "line.h"
#include "server.h"
#include "timecode.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

using namespace deckemu;

namespace {

Deck* g_deck = nullptr;

void on_signal(int) {
    if (g_deck) deck_request_stop(*g_deck); // an atomic store and a write: safe here
}

const char* kUsage = "usage: deckemu [--device PATH] [--rate 25|30] [--drop] "
                     "[--start HH:MM:SS:FF] [--local] [--no-cassette] [--record-inhibit] [-v]\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "deckemu: %s\n", message.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    DeckConfig config;
    std::string device, start;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--device") {
            if (!value(device)) return fail("--device needs a path");
        } else if (a == "--rate") {
            if (!value(v) || (v != "25" && v != "30")) return fail("--rate must be 25 or 30");
            config.rate = std::stoi(v);
        } else if (a == "--drop") {
            config.drop = true;
        } else if (a == "--start") {
            if (!value(start)) return fail("--start needs a timecode HH:MM:SS:FF");
        } else if (a == "--local") {
            config.local = true;
        } else if (a == "--no-cassette") {
            config.noCassette = true;
        } else if (a == "--record-inhibit") {
            config.recordInhibit = true;
        } else if (a == "-v" || a == "--verbose") {
            verbose = true;
        } else if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fputs(kUsage, stderr);
            return fail("unknown argument '" + a + "'");
        }
    }
    if (config.drop && config.rate == 25) return fail("--drop needs --rate 30");
    if (!start.empty()) {
        auto tc = parse_label(start);
        if (!tc || !label_valid(*tc, config.rate, config.drop))
            return fail("bad start timecode '" + start + "' (HH:MM:SS:FF at " +
                        std::to_string(config.rate) + (config.drop ? " drop-frame)" : " frames)"));
        config.startFrame = label_to_frames(*tc, config.rate, config.drop);
    }

    std::string error;
    Pty pty;
    int fd = -1;
    if (device.empty()) {
        if (!open_pty(pty, error)) return fail(error);
        fd = pty.master;
        std::printf("%s\n", pty.path.c_str());
        std::fflush(stdout);
    } else {
        fd = open_serial(device, error);
        if (fd < 0) return fail(error);
    }

    Deck deck(config);
    g_deck = &deck;
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);

    ServeOptions options;
    if (verbose) options.verbose = stderr;
    if (device.empty()) {
        options.clientWatchFd = pty.watch;
        options.heldClientFd = pty.slave;
    }
    ServeEnd end = serve_deck(deck, fd, options, &error);

    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    g_deck = nullptr;
    if (device.empty())
        close_pty(pty);
    else
        close(fd);
    if (end == ServeEnd::Error) return fail((device.empty() ? pty.path : device) + ": " + error);
    return 0;
}
