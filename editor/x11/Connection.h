#pragma once
// A connection of the editor's own to the X server. Xlib reports a failed request through one
// error handler for the whole process, and its default ends the process: while any of our
// connections is open, ours is installed, keeps the errors of our connections to itself and hands
// every other connection's errors on to the handler that was there before (the host's).

#include <X11/Xlib.h>

#include <atomic>
#include <memory>
#include <string>

namespace X11Toolkit {

class Connection {
public:
    // The display DISPLAY names; null with a reason in error when there is none or it refuses us.
    static std::unique_ptr<Connection> Open(std::string& error);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* Get() const noexcept { return display; }
    int FileDescriptor() const noexcept { return ConnectionNumber(display); }

    // Waits until the server has handled every request sent so far and answers whether any of
    // them failed since the last call. The thread that uses the connection.
    bool SyncAndCheck();
    // Whether a request failed since the last SyncAndCheck, without waiting (errors of requests
    // still in flight are not counted yet).
    bool HadError() const noexcept;

private:
    explicit Connection(Display* display);

    Display* display;
    int slot = -1; // where the error handler counts this connection's errors
};

} // namespace X11Toolkit
