#pragma once
// A private X server for one program: Xvfb started on a display number of its own choosing,
// awaited until it takes connections (it writes the number when it does), and stopped by its
// owner. It never resets: an X server that resets when its last client leaves drops the
// connections that arrive meanwhile, and programs open and close theirs one after another.
// Without GoogleTest, so benchmarks start one too.

#include <csignal>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace TestSupport {

class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer() { Stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Starts the server and waits until it takes connections; false with the reason in error.
    bool Start(std::string& error)
    {
        int numberPipe[2];
        if (pipe2(numberPipe, O_CLOEXEC) != 0) {
            error = "cannot make a pipe for Xvfb's display number";
            return false;
        }
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
        // Without shared-memory images: cairo's uploads through them lose a few bytes for good the
        // first time they run, which the leak checker would blame on the program. Everything is
        // drawn the same through the connection.
        char extension[] = "-extension";
        char sharedMemory[] = "MIT-SHM";
        char* arguments[] = {program, displayFd, three,   screenFlag, zero,         geometry,
                             noTcp,   tcp,       noReset, extension,  sharedMemory, nullptr};
        const int started = posix_spawnp(&server, program, &actions, nullptr, arguments, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(numberPipe[1]);
        if (started != 0) {
            server = 0;
            close(numberPipe[0]);
            error = "cannot start Xvfb";
            return false;
        }
        // Blocks until the number arrives, or the pipe closes because the server ended.
        std::string number;
        char c = 0;
        while (read(numberPipe[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(numberPipe[0]);
        if (number.empty()) {
            Stop();
            error = "Xvfb ended without opening a display";
            return false;
        }
        name = ":" + number;
        return true;
    }

    void Stop()
    {
        if (server <= 0)
            return;
        kill(server, SIGTERM);
        int status = 0;
        waitpid(server, &status, 0);
        server = 0;
    }

    // The display's name, as DISPLAY takes it.
    const std::string& Name() const noexcept { return name; }
    pid_t Process() const noexcept { return server; }

private:
    pid_t server = 0;
    std::string name;
};

} // namespace TestSupport
