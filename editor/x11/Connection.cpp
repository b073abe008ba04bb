#include "editor/x11/Connection.h"

#include <mutex>

namespace X11Toolkit {

namespace {

using Handler = int (*)(Display*, XErrorEvent*);

constexpr int kMostConnections = 64;
// Our open connections, read by the handler on whatever thread Xlib calls it.
std::atomic<Connection*> connections[kMostConnections];
// Who installed what, changed only under the lock.
std::mutex installLock;
int openConnections = 0;
std::atomic<Handler> previousHandler{nullptr};
// Set while this thread hands an error on: a handler installed after ours may hand it back.
thread_local bool handingOn = false;

bool Register(Connection* connection)
{
    for (auto& slot : connections) {
        Connection* empty = nullptr;
        if (slot.compare_exchange_strong(empty, connection))
            return true;
    }
    return false;
}

void Unregister(Connection* connection)
{
    for (auto& slot : connections) {
        Connection* mine = connection;
        if (slot.compare_exchange_strong(mine, nullptr))
            return;
    }
}

} // namespace

int ErrorHandler(Display* display, XErrorEvent* event)
{
    for (auto& slot : connections) {
        Connection* connection = slot.load();
        if (connection != nullptr && connection->display == display) {
            connection->errors.fetch_add(1, std::memory_order_relaxed);
            return 0;
        }
    }
    // Once round the chain is enough: a handler installed after ours, then found as the one
    // before ours when we install again, would otherwise pass the error back and forth for ever.
    const Handler previous = previousHandler.load();
    if (previous == nullptr || handingOn)
        return 0;
    handingOn = true;
    const int handled = previous(display, event);
    handingOn = false;
    return handled;
}

std::unique_ptr<Connection> Connection::Open(std::string& error)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        error = "cannot open the X display";
        return nullptr;
    }
    std::unique_ptr<Connection> connection(new Connection(display));
    {
        // Counted before anything can fail: the destructor undoes exactly this.
        std::lock_guard<std::mutex> lock(installLock);
        if (openConnections++ == 0)
            previousHandler = XSetErrorHandler(ErrorHandler);
    }
    if (!Register(connection.get())) {
        error = "too many editors open";
        return nullptr;
    }
    return connection;
}

Connection::Connection(Display* display) : display(display) {}

Connection::~Connection()
{
    // Every error our requests still cause arrives now, while the handler knows us.
    XSync(display, False);
    {
        std::lock_guard<std::mutex> lock(installLock);
        if (--openConnections == 0) {
            // Give the host its handler back, unless someone installed another after us: then
            // theirs stays and ours goes on handing errors on.
            const Handler current = XSetErrorHandler(previousHandler.load());
            if (current != ErrorHandler)
                XSetErrorHandler(current);
        }
    }
    Unregister(this);
    XCloseDisplay(display);
}

bool Connection::SyncAndCheck()
{
    XSync(display, False);
    return errors.exchange(0, std::memory_order_relaxed) == 0;
}

} // namespace X11Toolkit
