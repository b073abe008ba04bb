// window-waiter: waits, on the X server's events and never by polling, for what a host check
// needs to see on a display, so that the checks in this folder need no sleeps.
//
//   window-waiter mapped [--name REGEX] [--class REGEX] [--painted] [--timeout SECONDS] [--ready]
//                        [--trace]
//   window-waiter gone WINDOW [--timeout SECONDS]
//   window-waiter until WINDOW [--timeout SECONDS] [--ready] -- COMMAND [ARGUMENT...]
//
// mapped: the first window anywhere under the root, a top-level one or one embedded in another,
//   that is viewable (it and every ancestor mapped) and whose name (_NET_WM_NAME or WM_NAME)
//   matches --name and whose class (either string of WM_CLASS) matches --class (ECMAScript
//   patterns, found anywhere in the text unless anchored). With --painted, only once what was
//   drawn on the screen since it became viewable covers all of it, so that a screenshot shows its
//   content rather than whatever was there before. Prints "WINDOW X Y WIDTH HEIGHT NAME": the id
//   in hex, the position on the root and the size in pixels, and the name. A window that is
//   already viewable when it starts counts as painted.
// gone: the window is unmapped or destroyed; at once if it no longer exists or is not mapped.
// until: runs COMMAND, and again after each change of the window's pixels (its own drawing or
//   that of windows inside it), until COMMAND succeeds; prints what that run printed.
//
// --ready prints "ready" as soon as it watches (for until, once the command has run the first
// time), for callers that start it before the action whose effect it awaits. --trace prints on
// standard error the events mapped mode sees, for a check that failed. The timeout is 30 s unless
// given. Exit status: 0 when it saw what it waited for, 1 when the deadline passed first (saying
// what it waited for), 2 for bad arguments or a display it cannot open.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kDefaultTimeoutSeconds = 30.0;
constexpr int kExitFound = 0;
constexpr int kExitDeadline = 1;
constexpr int kExitUsage = 2;

// Windows vanish between an event and the request that follows it; such errors only mean that
// the window is gone, which the next event or query tells anyway.
int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

[[noreturn]] void Usage(const char* reason)
{
    std::fprintf(stderr,
                 "window-waiter: %s\n"
                 "usage: window-waiter mapped [--name REGEX] [--class REGEX] [--painted] [--timeout SECONDS]\n"
                 "                            [--ready] [--trace]\n"
                 "       window-waiter gone WINDOW [--timeout SECONDS]\n"
                 "       window-waiter until WINDOW [--timeout SECONDS] [--ready] -- COMMAND [ARGUMENT...]\n",
                 reason);
    std::exit(kExitUsage);
}

struct Options {
    std::string mode;
    std::string namePattern;
    std::string classPattern;
    std::optional<std::regex> name;
    std::optional<std::regex> windowClass;
    bool painted = false;
    bool ready = false;
    bool trace = false;
    double timeoutSeconds = kDefaultTimeoutSeconds;
    Window window = None;
    std::vector<char*> command;
};

Window ParseWindow(const char* text)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long id = std::strtoul(text, &end, 0);
    if (errno != 0 || end == text || *end != '\0' || id == 0)
        Usage("a window is a number, such as 0x2a00007");
    return static_cast<Window>(id);
}

std::regex ParsePattern(const std::string& pattern)
{
    try {
        return std::regex(pattern, std::regex::ECMAScript);
    } catch (const std::regex_error&) {
        Usage(("not a regular expression: " + pattern).c_str());
    }
}

Options ParseOptions(int argc, char** argv)
{
    if (argc < 2)
        Usage("which mode?");
    Options options;
    options.mode = argv[1];
    if (options.mode != "mapped" && options.mode != "gone" && options.mode != "until")
        Usage("the mode is mapped, gone or until");
    int i = 2;
    if (options.mode != "mapped") {
        if (i >= argc)
            Usage("which window?");
        options.window = ParseWindow(argv[i++]);
    }
    for (; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--name" && hasValue && options.mode == "mapped") {
            options.namePattern = argv[++i];
            options.name = ParsePattern(options.namePattern);
        } else if (argument == "--class" && hasValue && options.mode == "mapped") {
            options.classPattern = argv[++i];
            options.windowClass = ParsePattern(options.classPattern);
        } else if (argument == "--painted" && options.mode == "mapped") {
            options.painted = true;
        } else if (argument == "--trace" && options.mode == "mapped") {
            options.trace = true;
        } else if (argument == "--ready" && options.mode != "gone") {
            options.ready = true;
        } else if (argument == "--timeout" && hasValue) {
            char* end = nullptr;
            options.timeoutSeconds = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(options.timeoutSeconds > 0.0) || options.timeoutSeconds > 86400.0)
                Usage("the timeout is a number of seconds above 0");
        } else if (argument == "--" && options.mode == "until") {
            for (++i; i < argc; ++i)
                options.command.push_back(argv[i]);
        } else {
            Usage(("unexpected argument: " + argument).c_str());
        }
    }
    if (options.mode == "mapped" && !options.name && !options.windowClass)
        Usage("mapped needs --name or --class");
    if (options.mode == "until" && options.command.empty())
        Usage("until needs a command after --");
    options.command.push_back(nullptr);
    return options;
}

void SayReady(const Options& options)
{
    if (options.ready) {
        std::printf("ready\n");
        std::fflush(stdout);
    }
}

// The X connection's events, awaited on its socket until the deadline.
class Connection {
public:
    explicit Connection(Clock::time_point deadline) : deadline_(deadline)
    {
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) {
            const char* name = std::getenv("DISPLAY");
            std::fprintf(stderr, "window-waiter: cannot open the display %s\n", name ? name : "(DISPLAY is not set)");
            std::exit(kExitUsage);
        }
        XSetErrorHandler(IgnoreErrors);
        // Commands that until runs must not inherit the connection.
        fcntl(ConnectionNumber(display_), F_SETFD, FD_CLOEXEC);
    }
    ~Connection() { XCloseDisplay(display_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* display() const { return display_; }
    Window root() const { return DefaultRootWindow(display_); }

    // The next event, or false once the deadline has passed.
    bool Next(XEvent& event)
    {
        while (XPending(display_) == 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd socket{ConnectionNumber(display_), POLLIN, 0};
            const int ready = poll(&socket, 1, static_cast<int>(std::min<long long>(left, 1000000)));
            if (ready < 0 && errno != EINTR)
                return false;
            if (ready > 0 && (socket.revents & (POLLERR | POLLHUP)) != 0) {
                std::fprintf(stderr, "window-waiter: the display closed the connection\n");
                return false;
            }
        }
        XNextEvent(display_, &event);
        return true;
    }

private:
    Display* display_ = nullptr;
    Clock::time_point deadline_;
};

struct Rectangle {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A window's place on the root, or nothing when it is not viewable (or no longer exists).
std::optional<Rectangle> ViewablePlace(Display* display, Window window)
{
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.map_state != IsViewable)
        return std::nullopt;
    int x = 0;
    int y = 0;
    Window child = None;
    if (!XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child))
        return std::nullopt;
    return Rectangle{x, y, attributes.width, attributes.height};
}

std::vector<Window> ChildrenOf(Display* display, Window window)
{
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &count) != 0 && children != nullptr) {
        result.assign(children, children + count);
        XFree(children);
    }
    return result;
}

// Watches the whole tree for mapped mode: every window's children and properties, and, for
// --painted, every rectangle drawn on the screen.
class MappedWaiter {
public:
    MappedWaiter(Connection& connection, const Options& options) : x_(connection), options_(options)
    {
        Display* display = x_.display();
        netWmName_ = XInternAtom(display, "_NET_WM_NAME", False);
        utf8String_ = XInternAtom(display, "UTF8_STRING", False);
        if (options_.painted) {
            int error = 0;
            if (!XDamageQueryExtension(display, &damageEvent_, &error)) {
                std::fprintf(stderr, "window-waiter: the display has no DAMAGE extension, which --painted needs\n");
                std::exit(kExitUsage);
            }
            // Drawing into any window, embedded ones too, is reported on the root's damage
            // in the root's coordinates.
            XDamageCreate(display, x_.root(), XDamageReportRawRectangles);
        }
        // Selected before the tree is read, so that no window made meanwhile goes unseen.
        Watch(x_.root());
        XSync(display, False);
    }

    int Run()
    {
        SayReady(options_);
        for (const auto& [window, shown] : shown_)
            if (shown.alreadyShown && Report(window))
                return kExitFound;
        XEvent event;
        while (x_.Next(event)) {
            if (Handle(event))
                return kExitFound;
        }
        const std::string named = options_.name ? " named /" + options_.namePattern + "/" : "";
        const std::string ofClass = options_.windowClass ? " of class /" + options_.classPattern + "/" : "";
        std::fprintf(stderr, "window-waiter: no %swindow%s%s appeared within %g s\n",
                     options_.painted ? "painted " : "", named.c_str(), ofClass.c_str(), options_.timeoutSeconds);
        return kExitDeadline;
    }

private:
    // A window that became viewable while watched; for --painted, what has been drawn in it since.
    struct Shown {
        Rectangle place;
        size_t firstDamage = 0;
        bool alreadyShown = false;
        std::vector<unsigned char> covered; // one byte a pixel, made once it matches
        size_t coveredCount = 0;
        size_t damageSeen = 0;

        Shown() = default;
        Shown(const Rectangle& where, size_t damageSoFar, bool before)
            : place(where), firstDamage(damageSoFar), alreadyShown(before)
        {
        }
    };

    // Where a window is as the events read so far have it, relative to its parent. The server may
    // already be further on (a window resized right after it was mapped); the drawing counted
    // for a window must be that of the place the events say it had then.
    struct Geometry {
        Window parent = None;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        int border = 0;
    };

    // Selects the window's events and those of every window already inside it.
    void Watch(Window window, Window parent = None)
    {
        Display* display = x_.display();
        XSelectInput(display, window, SubstructureNotifyMask | PropertyChangeMask);
        if (window != x_.root() && geometry_.count(window) == 0) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, window, &attributes) != 0)
                geometry_[window] = Geometry{parent, attributes.x, attributes.y, attributes.width, attributes.height,
                                             attributes.border_width};
        }
        if (window != x_.root() && ViewablePlace(display, window)) {
            if (const auto place = PlaceOf(window))
                shown_[window] = Shown(*place, damage_.size(), !started_);
        }
        for (const Window child : ChildrenOf(display, window))
            Watch(child, window);
        if (window == x_.root())
            started_ = true;
    }

    // The window's inside on the root, from the geometry the events have given.
    std::optional<Rectangle> PlaceOf(Window window) const
    {
        auto it = geometry_.find(window);
        if (it == geometry_.end())
            return std::nullopt;
        Rectangle place{it->second.x + it->second.border, it->second.y + it->second.border, it->second.width,
                        it->second.height};
        for (Window parent = it->second.parent; parent != x_.root(); parent = it->second.parent) {
            it = geometry_.find(parent);
            if (it == geometry_.end())
                return std::nullopt;
            place.x += it->second.x + it->second.border;
            place.y += it->second.y + it->second.border;
        }
        return place;
    }

    // After a map or a reparent: the window and everything inside it that is viewable now
    // starts its count of drawing afresh.
    void Shows(Window window)
    {
        Display* display = x_.display();
        if (!ViewablePlace(display, window))
            return;
        if (const auto place = PlaceOf(window))
            shown_[window] = Shown(*place, damage_.size(), false);
        for (const Window child : ChildrenOf(display, window))
            Shows(child);
    }

    // After a move or a resize, of a window or of one it is in: what is inside must be drawn
    // again where it now is. A change of stacking alone, as a raise, leaves every place as it was.
    void Moved()
    {
        for (auto& [window, shown] : shown_) {
            const auto place = PlaceOf(window);
            if (place && (place->x != shown.place.x || place->y != shown.place.y || place->width != shown.place.width ||
                          place->height != shown.place.height))
                shown = Shown(*place, damage_.size(), false);
        }
    }

    // After an unmap: whatever is no longer viewable is forgotten.
    void ForgetHidden()
    {
        for (auto it = shown_.begin(); it != shown_.end();) {
            if (!ViewablePlace(x_.display(), it->first))
                it = shown_.erase(it);
            else
                ++it;
        }
    }

    std::string Property(Window window, Atom property, Atom type)
    {
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::string text;
        if (XGetWindowProperty(x_.display(), window, property, 0, 4096, False, type, &actualType, &format, &count,
                               &after, &data) == Success &&
            data != nullptr) {
            if (format == 8)
                text.assign(reinterpret_cast<const char*>(data), count);
            XFree(data);
        }
        return text;
    }

    std::vector<std::string> NamesOf(Window window)
    {
        std::vector<std::string> names{Property(window, netWmName_, utf8String_),
                                       Property(window, XA_WM_NAME, AnyPropertyType)};
        names.erase(std::remove(names.begin(), names.end(), std::string()), names.end());
        return names;
    }

    bool Matches(Window window)
    {
        if (options_.name) {
            const auto names = NamesOf(window);
            if (std::none_of(names.begin(), names.end(),
                             [&](const std::string& name) { return std::regex_search(name, *options_.name); }))
                return false;
        }
        if (options_.windowClass) {
            XClassHint hint{nullptr, nullptr};
            if (XGetClassHint(x_.display(), window, &hint) == 0)
                return false;
            const std::string instance = hint.res_name ? hint.res_name : "";
            const std::string windowClass = hint.res_class ? hint.res_class : "";
            XFree(hint.res_name);
            XFree(hint.res_class);
            if (!std::regex_search(instance, *options_.windowClass) &&
                !std::regex_search(windowClass, *options_.windowClass))
                return false;
        }
        return true;
    }

    // Adds the drawing since the window became viewable to its coverage; true once all of it is covered.
    bool Covered(Shown& shown)
    {
        const Rectangle& place = shown.place;
        const size_t area = static_cast<size_t>(place.width) * static_cast<size_t>(place.height);
        if (shown.covered.empty()) {
            shown.covered.assign(area, 0);
            shown.damageSeen = shown.firstDamage;
        }
        for (; shown.damageSeen < damage_.size(); ++shown.damageSeen) {
            const Rectangle& drawn = damage_[shown.damageSeen];
            const int left = std::max(drawn.x, place.x);
            const int top = std::max(drawn.y, place.y);
            const int right = std::min(drawn.x + drawn.width, place.x + place.width);
            const int bottom = std::min(drawn.y + drawn.height, place.y + place.height);
            for (int y = top; y < bottom; ++y) {
                const size_t rowStart = static_cast<size_t>(y - place.y) * static_cast<size_t>(place.width);
                unsigned char* row = &shown.covered[rowStart];
                for (int x = left; x < right; ++x) {
                    unsigned char& pixel = row[x - place.x];
                    shown.coveredCount += pixel == 0;
                    pixel = 1;
                }
            }
        }
        return shown.coveredCount == area;
    }

    // Prints the window and returns true when it is what the caller waits for.
    bool Report(Window window)
    {
        auto it = shown_.find(window);
        if (it == shown_.end() || !Matches(window))
            return false;
        if (options_.painted && !it->second.alreadyShown && !Covered(it->second))
            return false;
        const auto place = ViewablePlace(x_.display(), window);
        if (!place)
            return false;
        const auto names = NamesOf(window);
        std::printf("0x%lx %d %d %d %d %s\n", static_cast<unsigned long>(window), place->x, place->y, place->width,
                    place->height, names.empty() ? "" : names.front().c_str());
        std::fflush(stdout);
        return true;
    }

    bool ReportAny()
    {
        std::vector<Window> windows;
        for (const auto& entry : shown_)
            windows.push_back(entry.first);
        return std::any_of(windows.begin(), windows.end(), [&](Window window) { return Report(window); });
    }

    void Trace(const XEvent& event)
    {
        if (!options_.trace)
            return;
        if (options_.painted && event.type == damageEvent_ + XDamageNotify) {
            const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
            std::fprintf(stderr, "window-waiter: drawn %dx%d+%d+%d%s\n", damage.area.width, damage.area.height,
                         damage.area.x, damage.area.y, damage.more ? " (more)" : "");
            return;
        }
        static const char* const names[LASTEvent] = {
            nullptr, nullptr, "KeyPress", "KeyRelease", "ButtonPress", "ButtonRelease", "MotionNotify", "EnterNotify",
            "LeaveNotify", "FocusIn", "FocusOut", "KeymapNotify", "Expose", "GraphicsExpose", "NoExpose",
            "VisibilityNotify", "CreateNotify", "DestroyNotify", "UnmapNotify", "MapNotify", "MapRequest",
            "ReparentNotify", "ConfigureNotify", "ConfigureRequest", "GravityNotify", "ResizeRequest",
            "CirculateNotify", "CirculateRequest", "PropertyNotify", "SelectionClear", "SelectionRequest",
            "SelectionNotify", "ColormapNotify", "ClientMessage", "MappingNotify", "GenericEvent"};
        Window subject = event.xany.window;
        switch (event.type) {
        case CreateNotify: subject = event.xcreatewindow.window; break;
        case DestroyNotify: subject = event.xdestroywindow.window; break;
        case MapNotify: subject = event.xmap.window; break;
        case UnmapNotify: subject = event.xunmap.window; break;
        case ReparentNotify: subject = event.xreparent.window; break;
        case ConfigureNotify: subject = event.xconfigure.window; break;
        default: break;
        }
        if (event.type > 1 && event.type < LASTEvent)
            std::fprintf(stderr, "window-waiter: %s 0x%lx\n", names[event.type], static_cast<unsigned long>(subject));
    }

    bool Handle(const XEvent& event)
    {
        Trace(event);
        switch (event.type) {
        case CreateNotify: {
            const XCreateWindowEvent& created = event.xcreatewindow;
            geometry_[created.window] =
                Geometry{created.parent, created.x, created.y, created.width, created.height, created.border_width};
            Watch(created.window, created.parent);
            return Report(created.window);
        }
        case MapNotify:
            Shows(event.xmap.window);
            return ReportAny();
        case ReparentNotify: {
            const auto it = geometry_.find(event.xreparent.window);
            if (it != geometry_.end()) {
                it->second.parent = event.xreparent.parent;
                it->second.x = event.xreparent.x;
                it->second.y = event.xreparent.y;
            }
            ForgetHidden();
            Shows(event.xreparent.window);
            Moved();
            return ReportAny();
        }
        case ConfigureNotify: {
            const XConfigureEvent& configured = event.xconfigure;
            const auto it = geometry_.find(configured.window);
            if (it != geometry_.end()) {
                it->second.x = configured.x;
                it->second.y = configured.y;
                it->second.width = configured.width;
                it->second.height = configured.height;
                it->second.border = configured.border_width;
            }
            Moved();
            return ReportAny();
        }
        case UnmapNotify:
            ForgetHidden();
            return false;
        case DestroyNotify:
            geometry_.erase(event.xdestroywindow.window);
            ForgetHidden();
            return false;
        case PropertyNotify: {
            const Atom atom = event.xproperty.atom;
            if (atom == XA_WM_NAME || atom == netWmName_ || atom == XA_WM_CLASS)
                return Report(event.xproperty.window);
            return false;
        }
        default:
            if (options_.painted && event.type == damageEvent_ + XDamageNotify) {
                const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
                damage_.push_back(Rectangle{damage.area.x, damage.area.y, damage.area.width, damage.area.height});
                // Drawing comes in bursts; the coverage is counted once a burst is complete.
                return !damage.more && ReportAny();
            }
            return false;
        }
    }

    Connection& x_;
    const Options& options_;
    Atom netWmName_ = None;
    Atom utf8String_ = None;
    int damageEvent_ = 0;
    bool started_ = false;
    std::vector<Rectangle> damage_;
    std::unordered_map<Window, Geometry> geometry_;
    std::unordered_map<Window, Shown> shown_;
};

int WaitGone(Connection& x, const Options& options)
{
    Display* display = x.display();
    XSelectInput(display, options.window, StructureNotifyMask);
    XWindowAttributes attributes;
    // Selected first, so that an unmap after this query is still seen.
    if (XGetWindowAttributes(display, options.window, &attributes) == 0) {
        std::printf("0x%lx destroyed\n", static_cast<unsigned long>(options.window));
        return kExitFound;
    }
    if (attributes.map_state == IsUnmapped) {
        std::printf("0x%lx unmapped\n", static_cast<unsigned long>(options.window));
        return kExitFound;
    }
    XEvent event;
    while (x.Next(event)) {
        if (event.type == DestroyNotify && event.xdestroywindow.window == options.window) {
            std::printf("0x%lx destroyed\n", static_cast<unsigned long>(options.window));
            return kExitFound;
        }
        if (event.type == UnmapNotify && event.xunmap.window == options.window) {
            std::printf("0x%lx unmapped\n", static_cast<unsigned long>(options.window));
            return kExitFound;
        }
    }
    std::fprintf(stderr, "window-waiter: the window 0x%lx was still mapped after %g s\n",
                 static_cast<unsigned long>(options.window), options.timeoutSeconds);
    return kExitDeadline;
}

// The process group of the command until is running, killed with the waiter when the check that
// started the waiter is torn down.
volatile sig_atomic_t g_commandGroup = 0;

void StopWithCommand(int signal)
{
    if (g_commandGroup > 0)
        kill(-static_cast<pid_t>(g_commandGroup), SIGKILL);
    _exit(128 + signal);
}

struct CommandRun {
    bool succeeded = false;
    bool timedOut = false;
    std::string output;
};

// Runs the command in a process group of its own with its standard output captured; a run that
// outlasts the deadline is killed with all it started.
CommandRun RunCommand(const Options& options, Clock::time_point deadline)
{
    CommandRun run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return run;
    const pid_t child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return run;
    }
    if (child == 0) {
        setpgid(0, 0);
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execvp(options.command[0], options.command.data());
        std::fprintf(stderr, "window-waiter: cannot run %s: %s\n", options.command[0], std::strerror(errno));
        _exit(127);
    }
    setpgid(child, child);
    g_commandGroup = child;
    close(pipeEnds[1]);
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd output{pipeEnds[0], POLLIN, 0};
        const int ready = left > 0 ? poll(&output, 1, static_cast<int>(std::min<long long>(left, 1000000))) : 0;
        if (ready == 0) {
            run.timedOut = true;
            kill(-child, SIGKILL);
            break;
        }
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        const ssize_t size = read(pipeEnds[0], buffer, sizeof buffer);
        if (size < 0 && errno == EINTR)
            continue;
        if (size <= 0)
            break;
        run.output.append(buffer, static_cast<size_t>(size));
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    g_commandGroup = 0;
    run.succeeded = !run.timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

int WaitUntil(Connection& x, const Options& options, Clock::time_point deadline)
{
    Display* display = x.display();
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signal, StopWithCommand);
    int damageEvent = 0;
    int error = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &error)) {
        std::fprintf(stderr, "window-waiter: the display has no DAMAGE extension, which until needs\n");
        return kExitUsage;
    }
    XSelectInput(display, options.window, StructureNotifyMask);
    const Damage damage = XDamageCreate(display, options.window, XDamageReportNonEmpty);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, options.window, &attributes) == 0) {
        std::fprintf(stderr, "window-waiter: there is no window 0x%lx\n", static_cast<unsigned long>(options.window));
        return kExitDeadline;
    }
    // A new damage object reports the whole window at once; only later drawing is a change.
    XEvent event;
    while (XCheckTypedEvent(display, damageEvent + XDamageNotify, &event)) {
    }
    XDamageSubtract(display, damage, None, None);
    XSync(display, False);
    int runs = 0;
    CommandRun last;
    for (;;) {
        last = RunCommand(options, deadline);
        ++runs;
        // Ready once the command has run: what a caller does next is seen by a later run.
        if (runs == 1)
            SayReady(options);
        if (last.succeeded) {
            std::fputs(last.output.c_str(), stdout);
            std::fflush(stdout);
            return kExitFound;
        }
        // Waits for a change after the run began: the damage is cleared before the next run, so
        // a change during that run is not lost.
        bool changed = false;
        while (!changed && x.Next(event)) {
            if (event.type == damageEvent + XDamageNotify)
                changed = true;
            if (event.type == DestroyNotify && event.xdestroywindow.window == options.window) {
                std::fprintf(stderr, "window-waiter: the window 0x%lx was destroyed\n",
                             static_cast<unsigned long>(options.window));
                std::fputs(last.output.c_str(), stderr);
                return kExitDeadline;
            }
        }
        if (!changed)
            break;
        XDamageSubtract(display, damage, None, None);
        XSync(display, False);
    }
    std::fprintf(stderr,
                 "window-waiter: %s did not succeed within %g s (%d runs, each after a change of 0x%lx); "
                 "its last output:\n",
                 options.command[0], options.timeoutSeconds, runs, static_cast<unsigned long>(options.window));
    std::fputs(last.output.c_str(), stderr);
    return kExitDeadline;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    const auto timeout = std::chrono::milliseconds(static_cast<long long>(options.timeoutSeconds * 1000.0));
    const auto deadline = Clock::now() + timeout;
    Connection x(deadline);
    if (options.mode == "mapped") {
        MappedWaiter waiter(x, options);
        return waiter.Run();
    }
    if (options.mode == "gone")
        return WaitGone(x, options);
    return WaitUntil(x, options, deadline);
}
