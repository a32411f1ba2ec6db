// Opening ports: configuration errors, missing devices, sharing one device between
// the receive and transmit port, and keeping other processes out.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "pty_pair.h"

namespace {

TEST(TserialioConfig, SettersRejectBadValues) {
    TSconfig config = tsNewConfig();
    ASSERT_NE(config, nullptr);
    struct Case {
        const char* what;
        TSstatus status;
        TSstatus expected;
    };
    const Case cases[] = {
        {"name", tsSetPortName(config, "/dev/ttyS0"), TS_SUCCESS},
        {"empty name", tsSetPortName(config, ""), TS_ERROR_BAD_ARGUMENT},
        {"null name", tsSetPortName(config, nullptr), TS_ERROR_BAD_ARGUMENT},
        {"queue 100", tsSetQueueSize(config, 100), TS_SUCCESS},
        {"queue 1", tsSetQueueSize(config, 1), TS_SUCCESS},
        {"queue 0", tsSetQueueSize(config, 0), TS_ERROR_BAD_ARGUMENT},
        {"queue -5", tsSetQueueSize(config, -5), TS_ERROR_BAD_ARGUMENT},
        {"cflag 0x330", tsSetCflag(config, 0x330), TS_SUCCESS},
        {"speed 38400", tsSetOspeed(config, 38400), TS_SUCCESS},
        {"speed 9600", tsSetOspeed(config, 9600), TS_SUCCESS},
        {"speed 0", tsSetOspeed(config, 0), TS_ERROR_BAD_ARGUMENT},
        {"speed 12345", tsSetOspeed(config, 12345), TS_ERROR_BAD_ARGUMENT},
        {"debug 3", tsSetDebug(config, 3), TS_SUCCESS},
        {"debug 0", tsSetDebug(config, 0), TS_SUCCESS},
        {"direction 2", tsSetDirection(config, TS_DIRECTION_RECEIVE), TS_SUCCESS},
        {"direction 3", tsSetDirection(config, TS_DIRECTION_TRANSMIT), TS_SUCCESS},
        {"direction 1", tsSetDirection(config, 1), TS_ERROR_BAD_ARGUMENT},
        {"direction 4", tsSetDirection(config, 4), TS_ERROR_BAD_ARGUMENT},
        {"null config", tsSetQueueSize(nullptr, 100), TS_ERROR_BAD_ARGUMENT},
        {"free null", tsFreeConfig(nullptr), TS_ERROR_BAD_ARGUMENT},
    };
    for (const Case& c : cases) EXPECT_EQ(c.status, c.expected) << c.what;
    EXPECT_EQ(tsFreeConfig(config), TS_SUCCESS);
}

TEST(TserialioOpen, IncompleteConfigurationIsRefused) {
    PtyPair pty;
    TSport port = nullptr;
    TSconfig config = tsNewConfig();
    EXPECT_EQ(tsOpenPort(config, &port), TS_ERROR_BAD_ARGUMENT); // no name, no direction
    tsSetPortName(config, pty.slavePath.c_str());
    EXPECT_EQ(tsOpenPort(config, &port), TS_ERROR_BAD_ARGUMENT); // no direction
    tsSetDirection(config, TS_DIRECTION_RECEIVE);
    EXPECT_EQ(tsOpenPort(config, nullptr), TS_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(tsOpenPort(nullptr, &port), TS_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(port, nullptr);
    tsFreeConfig(config);
    EXPECT_EQ(tsClosePort(nullptr), TS_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(tsGetFilledBytes(nullptr), -1);
    EXPECT_EQ(tsGetFD(nullptr), -1);
    EXPECT_EQ(tsSetFillPointBytes(nullptr, 1), TS_ERROR_BAD_ARGUMENT);
}

TEST(TserialioOpen, UnusableDevicesGiveNonZeroCodes) {
    struct Case {
        const char* path;
        TSstatus expected;
    };
    const Case cases[] = {
        {"/dev/ttyts2-does-not-exist", TS_ERROR_OPEN_FAILED},
        {"/nonexistent/dir/tty", TS_ERROR_OPEN_FAILED},
        {"/dev/null", TS_ERROR_LINE_SETUP}, // not a terminal
    };
    for (const Case& c : cases) {
        for (int direction : {TS_DIRECTION_RECEIVE, TS_DIRECTION_TRANSMIT}) {
            TSport port = nullptr;
            EXPECT_EQ(open_port(c.path, direction, &port), c.expected) << c.path;
            EXPECT_EQ(port, nullptr);
        }
    }
}

TEST(TserialioOpen, ReceiveAndTransmitPortOpenTogetherOnOneDevice) {
    PtyPair pty;
    TSport rx = nullptr, tx = nullptr;
    ASSERT_EQ(open_port(pty.slavePath, TS_DIRECTION_RECEIVE, &rx), 0);
    ASSERT_EQ(open_port(pty.slavePath, TS_DIRECTION_TRANSMIT, &tx), 0);
    EXPECT_NE(tsGetFD(rx), tsGetFD(tx));

    // Both directions work at once: what the far end sends back arrives.
    unsigned char frame[] = {0x61, 0x0C, 0x03, 0x70};
    stamp_t stamps[4];
    for (stamp_t& s : stamps) s = now_ust();
    ASSERT_EQ(tsWrite(tx, frame, stamps, 4), 0);
    std::vector<Arrival> out = read_arrivals(pty.master, 4, 3000);
    ASSERT_EQ(out.size(), 4u);
    pty.write({0x74, 0x04, 0x01, 0x02, 0x03, 0x04, 0x82});
    ASSERT_EQ(wait_filled(rx, 7), 7);

    // Closing one port leaves the other working.
    EXPECT_EQ(tsClosePort(tx), 0);
    unsigned char got[7];
    ASSERT_EQ(tsRead(rx, got, nullptr, 7), 0);
    EXPECT_EQ(got[0], 0x74);
    EXPECT_EQ(got[6], 0x82);
    EXPECT_EQ(tsClosePort(rx), 0);
}

// Runs an open of path in a child process; returns the child's status code.
int open_in_other_process(const std::string& path) {
    pid_t pid = fork();
    if (pid == 0) {
        TSport port = nullptr;
        TSstatus status = open_port(path, TS_DIRECTION_RECEIVE, &port);
        if (status == TS_SUCCESS) tsClosePort(port);
        _exit(status);
    }
    if (pid < 0) return -1;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int wstatus = 0;
    while (waitpid(pid, &wstatus, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &wstatus, 0);
            return -2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -3;
}

TEST(TserialioOpen, AnotherProcessCannotOpenAHeldDevice) {
    PtyPair pty;
    EXPECT_EQ(open_in_other_process(pty.slavePath), TS_SUCCESS);

    TSport rx = nullptr, tx = nullptr;
    ASSERT_EQ(open_port(pty.slavePath, TS_DIRECTION_RECEIVE, &rx), 0);
    ASSERT_EQ(open_port(pty.slavePath, TS_DIRECTION_TRANSMIT, &tx), 0);
    EXPECT_EQ(open_in_other_process(pty.slavePath), TS_ERROR_IN_USE);

    // Held while either port is open; free once both are closed.
    EXPECT_EQ(tsClosePort(rx), 0);
    EXPECT_EQ(open_in_other_process(pty.slavePath), TS_ERROR_IN_USE);
    EXPECT_EQ(tsClosePort(tx), 0);
    EXPECT_EQ(open_in_other_process(pty.slavePath), TS_SUCCESS);
}

TEST(TserialioOpen, ReopeningAfterCloseWorksAgain) {
    PtyPair pty;
    for (int round = 0; round < 3; ++round) {
        TSport rx = nullptr, tx = nullptr;
        ASSERT_EQ(open_port(pty.slavePath, TS_DIRECTION_RECEIVE, &rx), 0);
        ASSERT_EQ(open_port(pty.slavePath, TS_DIRECTION_TRANSMIT, &tx), 0);
        pty.write({static_cast<unsigned char>(round)});
        ASSERT_EQ(wait_filled(rx, 1), 1);
        unsigned char b = 0xFF;
        ASSERT_EQ(tsRead(rx, &b, nullptr, 1), 0);
        EXPECT_EQ(b, round);
        EXPECT_EQ(tsClosePort(tx), 0);
        EXPECT_EQ(tsClosePort(rx), 0);
    }
}

} // namespace
