// The deckemu program: its pseudo-terminal path on the first line, several
// client sessions one after another, -v logging, a clean exit on SIGTERM.
#include "line_client.h"

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using linetest::Bytes;

namespace {

std::string hex(const Bytes& bytes) {
    std::string s;
    char buf[4];
    for (uint8_t b : bytes) {
        snprintf(buf, sizeof buf, "%02X ", b);
        s += buf;
    }
    return s;
}

struct Program {
    pid_t pid = -1;
    int out = -1, err = -1;

    explicit Program(const std::vector<std::string>& args) {
        int o[2], e[2];
        if (pipe(o) != 0 || pipe(e) != 0) return;
        pid = fork();
        if (pid == 0) {
            dup2(o[1], 1);
            dup2(e[1], 2);
            close(o[0]);
            close(e[0]);
            std::vector<char*> argv{const_cast<char*>(DECKEMU_PROGRAM)};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(DECKEMU_PROGRAM, argv.data());
            _exit(127);
        }
        close(o[1]);
        close(e[1]);
        out = o[0];
        err = e[0];
    }
    ~Program() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (out >= 0) close(out);
        if (err >= 0) close(err);
    }

    // One line from `fd`, waiting at most `ms`.
    static std::string line(int fd, int ms) {
        std::string s;
        char c;
        int64_t deadline = linetest::ust_now() + int64_t(ms) * 1'000'000;
        for (;;) {
            int left = int((deadline - linetest::ust_now()) / 1'000'000);
            pollfd p{fd, POLLIN, 0};
            if (left <= 0 || poll(&p, 1, left) <= 0 || read(fd, &c, 1) != 1 || c == '\n') break;
            s += c;
        }
        return s;
    }

    // Everything on `fd` until it closes, waiting at most `ms`.
    static std::string rest(int fd, int ms) {
        std::string s;
        char buf[512];
        int64_t deadline = linetest::ust_now() + int64_t(ms) * 1'000'000;
        for (;;) {
            int left = int((deadline - linetest::ust_now()) / 1'000'000);
            pollfd p{fd, POLLIN, 0};
            if (left <= 0 || poll(&p, 1, left) <= 0) break;
            ssize_t n = read(fd, buf, sizeof buf);
            if (n <= 0) break;
            s.append(buf, size_t(n));
        }
        return s;
    }

    // Exit status once the program has ended, -1 if it has not within `ms`.
    int wait_exit(int ms) {
        for (int waited = 0; waited <= ms; waited += 10) {
            int st = 0;
            if (waitpid(pid, &st, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            }
            usleep(10000);
        }
        return -1;
    }
};

} // namespace

TEST(Program, ServesSuccessiveClientsOnItsPseudoTerminal) {
    Program p({"--drop", "--start", "00:01:00;02", "-v"});
    ASSERT_GT(p.pid, 0);
    std::string path = Program::line(p.out, 5000);
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;

    int fd = linetest::open_line(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(hex(linetest::transact(fd, {0x00, 0x11})), "12 11 20 25 68 ");
    close(fd);

    fd = linetest::open_line(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(hex(linetest::transact(fd, {0x61, 0x0C, 0x03})), "74 04 42 00 01 00 BB ");
    close(fd);

    ASSERT_EQ(kill(p.pid, SIGTERM), 0);
    EXPECT_EQ(p.wait_exit(5000), 0);
    std::string log = Program::rest(p.err, 2000);
    EXPECT_NE(log.find("<- 00 11 11"), std::string::npos) << log;
    EXPECT_NE(log.find("-> 12 11 20 25 68"), std::string::npos) << log;
    EXPECT_NE(log.find("<- 61 0C 03 70"), std::string::npos) << log;
}

TEST(Program, InterruptEndsCleanly) {
    Program p({"--rate", "25", "--no-cassette"});
    std::string path = Program::line(p.out, 5000);
    int fd = linetest::open_line(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(hex(linetest::transact(fd, {0x00, 0x11})), "12 11 21 25 69 ");
    EXPECT_EQ(hex(linetest::transact(fd, {0x61, 0x0C, 0x03})), "70 0D 7D ");
    close(fd);
    ASSERT_EQ(kill(p.pid, SIGINT), 0);
    EXPECT_EQ(p.wait_exit(5000), 0);
}

struct BadArgs {
    std::vector<std::string> args;
    const char* message;
};

TEST(Program, RefusesBadArgumentsWithOneLine) {
    const BadArgs cases[] = {
        {{"--rate", "24"}, "deckemu: --rate must be 25 or 30"},
        {{"--rate", "25", "--drop"}, "deckemu: --drop needs --rate 30"},
        {{"--start", "00:01:00;00", "--drop"}, "deckemu: bad start timecode '00:01:00;00'"},
        {{"--start", "25:00:00:00"}, "deckemu: bad start timecode '25:00:00:00'"},
        {{"--device", "/nonexistent/tty"}, "deckemu: cannot open /nonexistent/tty"},
        {{"--bogus"}, "deckemu: unknown argument '--bogus'"},
    };
    for (const BadArgs& c : cases) {
        Program p(c.args);
        EXPECT_EQ(p.wait_exit(5000), 2) << c.message;
        std::string err = Program::rest(p.err, 2000);
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(Program::rest(p.out, 100), "");
    }
}
