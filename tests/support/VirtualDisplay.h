#pragma once
// A private X server for a test program that opens windows: Xvfb started on a display number of
// its own choosing, awaited until it takes connections (it writes the number when it does), and
// stopped when the program ends. DISPLAY names it meanwhile, so every connection the code under
// test opens reaches it, and no two test programs share a pointer or a focus. It never resets:
// an X server that resets when its last client leaves drops the connections that arrive
// meanwhile, and tests open and close theirs one after another.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace TestSupport {

class VirtualDisplay : public ::testing::Environment {
public:
    void SetUp() override
    {
        int numberPipe[2];
        ASSERT_EQ(0, pipe2(numberPipe, O_CLOEXEC));
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // The server writes its display number on descriptor 3 once it takes connections.
        posix_spawn_file_actions_adddup2(&actions, numberPipe[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        char program[] = "Xvfb";
        char displayFd[] = "-displayfd";
        char three[] = "3";
        char screenFlag[] = "-screen";
        char zero[] = "0";
        char geometry[] = "1280x1024x24";
        char noTcp[] = "-nolisten";
        char tcp[] = "tcp";
        char noReset[] = "-noreset";
        char* arguments[] = {program, displayFd, three, screenFlag, zero, geometry, noTcp, tcp, noReset, nullptr};
        const int started = posix_spawnp(&server, program, &actions, nullptr, arguments, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(numberPipe[1]);
        ASSERT_EQ(0, started) << "cannot start Xvfb";
        // Blocks until the number arrives, or the pipe closes because the server ended.
        std::string number;
        char c = 0;
        while (read(numberPipe[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(numberPipe[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb ended without opening a display";
        setenv("DISPLAY", (":" + number).c_str(), 1);
    }

    void TearDown() override
    {
        if (server > 0) {
            kill(server, SIGTERM);
            int status = 0;
            waitpid(server, &status, 0);
            server = 0;
        }
    }

private:
    pid_t server = 0;
};

} // namespace TestSupport
