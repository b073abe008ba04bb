#include "editor/x11/Connection.h"

#include <mutex>

namespace X11Toolkit {

namespace {

using Handler = int (*)(Display*, XErrorEvent*);

constexpr int kMostConnections = 64;
// Our open connections, read by the handler on whatever thread Xlib calls it. The handler touches
// only these, never a Connection, which another thread may be deleting as it runs.
struct Slot {
    std::atomic<Display*> display{nullptr};
    std::atomic<int> errors{0};
};
Slot slots[kMostConnections];
// Who installed what, changed only under the lock.
std::mutex installLock;
int openConnections = 0;
std::atomic<Handler> previousHandler{nullptr};
// Set while this thread hands an error on: a handler installed after ours may hand it back.
thread_local bool handingOn = false;

int Register(Display* display)
{
    for (int index = 0; index < kMostConnections; ++index) {
        Display* empty = nullptr;
        if (slots[index].display.compare_exchange_strong(empty, display)) {
            slots[index].errors.store(0);
            return index;
        }
    }
    return -1;
}

int ErrorHandler(Display* display, XErrorEvent* event)
{
    for (Slot& slot : slots) {
        if (slot.display.load() == display) {
            slot.errors.fetch_add(1, std::memory_order_relaxed);
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

} // namespace

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
    connection->slot = Register(display);
    if (connection->slot < 0) {
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
    if (slot >= 0)
        slots[slot].display.store(nullptr);
    XCloseDisplay(display);
}

bool Connection::SyncAndCheck()
{
    XSync(display, False);
    return slots[slot].errors.exchange(0, std::memory_order_relaxed) == 0;
}

bool Connection::HadError() const noexcept
{
    return slots[slot].errors.load(std::memory_order_relaxed) != 0;
}

} // namespace X11Toolkit
