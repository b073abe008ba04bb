// What an open editor that nothing changes costs, in each format's way of giving it time on
// Linux: the VST 2 module's own thread (a host that never idles), the VST 2 module with a host
// idling at 30 Hz, the VST 3 bundle in a host's run loop (its 20 ms timer and its connection),
// and the CLAP plug-in in a host's reactor (the same). Each opens the real module in a window of
// ours on a private X server, is left alone to paint and settle, and then pumped as its host
// would for a while; the process's CPU time over that while (every thread's, the editor's own
// included) is printed as percent of one core, with the X server's beside it, and beside them the
// floor: a process waking every 20 ms with nothing open. The modes take turns run after run, so a
// busy machine weighs on each alike; the medians are the figures.
//   editor_idle_cost [--seconds S] [--runs N] [--vst2 MODULE] [--vst3 MODULE] [--clap MODULE]

#include "clap/ClapInterface.h"
#include "effect_base/VstInterface.h"
#include "tests/support/XvfbServer.h"
#include "vst3/Vst3Interface.h"
// Last: Xlib's macros (None, Status, Bool) would rewrite the names above.
#include <X11/Xlib.h>

#include <dlfcn.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kTargetPercent = 0.5;
// Long enough for the editor's first paint, the VST 2 hand-over and the hover timers to be over.
constexpr auto kSettle = std::chrono::milliseconds(500);
constexpr auto kHostIdleInterval = std::chrono::microseconds(1000000 / 30);

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Another process's CPU time, from the kernel's clock ticks (user and system).
double OtherProcessCpuSeconds(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(file, line);
    const size_t end = line.rfind(')'); // the name may hold spaces
    if (end == std::string::npos)
        return 0.0;
    std::istringstream fields(line.substr(end + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14)
            user = std::stoull(field);
        if (index == 15) {
            system = std::stoull(field);
            break;
        }
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A window of the host's own on a connection of its own, told of every window mapped inside it.
class HostWindow {
public:
    HostWindow()
    {
        display = XOpenDisplay(nullptr);
        if (display == nullptr)
            return;
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.event_mask = SubstructureNotifyMask;
        window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, 640, 480, 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
        XMapRaised(display, window);
        XSync(display, False);
    }
    ~HostWindow()
    {
        if (display == nullptr)
            return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    bool IsOpen() const { return display != nullptr; }
    ::Window Id() const { return window; }
    // Reads what the server reported without waiting: has a child been mapped inside?
    bool ChildMapped()
    {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == window && event.xmap.window != window)
                childMapped = true;
        }
        return childMapped;
    }

private:
    Display* display = nullptr;
    ::Window window = 0;
    bool childMapped = false;
};

// A host's main loop for the descriptors and timers a plug-in's editor registers: it waits until
// a descriptor is readable or the next timer is due, then calls the plug-in for what is ready.
class Reactor {
public:
    void Watch(int fd, std::function<void()> ready) { watched.push_back({fd, std::move(ready)}); }
    void Forget(int fd)
    {
        watched.erase(std::remove_if(watched.begin(), watched.end(), [&](const Watched& w) { return w.fd == fd; }),
                      watched.end());
    }
    // fire is given the timer's id.
    uint32_t AddTimer(std::chrono::milliseconds period, std::function<void(uint32_t)> fire)
    {
        timers.push_back({++lastTimer, period, Clock::now() + period, std::move(fire)});
        return lastTimer;
    }
    void RemoveTimer(uint32_t id)
    {
        timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.id == id; }),
                     timers.end());
    }

    void RunUntil(Clock::time_point end)
    {
        for (auto now = Clock::now(); now < end; now = Clock::now()) {
            Clock::time_point wake = end;
            for (const Timer& timer : timers)
                wake = std::min(wake, timer.due);
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now);
            std::vector<pollfd> waiting;
            for (const Watched& watch : watched)
                waiting.push_back({watch.fd, POLLIN, 0});
            poll(waiting.data(), waiting.size(), static_cast<int>(std::max<long long>(wait.count(), 0)));
            const std::vector<Watched> ready = watched;
            for (size_t i = 0; i < waiting.size(); ++i)
                if ((waiting[i].revents & POLLIN) != 0)
                    ready[i].ready();
            const auto later = Clock::now();
            const std::vector<Timer> due = timers;
            for (const Timer& timer : due)
                if (later >= timer.due) {
                    for (Timer& kept : timers)
                        if (kept.id == timer.id)
                            kept.due = later + kept.period;
                    timer.fire(timer.id);
                }
        }
    }

private:
    struct Watched {
        int fd;
        std::function<void()> ready;
    };
    struct Timer {
        uint32_t id;
        std::chrono::milliseconds period;
        Clock::time_point due;
        std::function<void(uint32_t)> fire;
    };
    std::vector<Watched> watched;
    std::vector<Timer> timers;
    uint32_t lastTimer = 0;
};

// One format's editor, open in a host window until it is destroyed. Everything on the host's
// main thread, the one that opened it.
class OpenEditor {
public:
    virtual ~OpenEditor() = default;
    // Gives the editor time as its host would, until the given moment.
    virtual void Pump(Clock::time_point until) = 0;
};

// ---- VST 2 -------------------------------------------------------------------------------------

VstIntPtr VSTCALLBACK Vst2Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

class Vst2Editor final : public OpenEditor {
public:
    Vst2Editor(void* module, const HostWindow& window, bool hostIdles, std::string& error) : hostIdles(hostIdles)
    {
        using Entry = AEffect*(VSTCALLBACK*)(audioMasterCallback);
        const auto entry = reinterpret_cast<Entry>(dlsym(module, "VSTPluginMain"));
        effect = entry != nullptr ? entry(Vst2Host) : nullptr;
        if (effect == nullptr || (effect->flags & effFlagsHasEditor) == 0) {
            error = "the VST 2 module offers no editor";
            return;
        }
        Dispatch(effOpen);
        if (Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window.Id())) != 1)
            error = "the VST 2 module's editor did not open";
    }
    ~Vst2Editor() override
    {
        if (effect == nullptr)
            return;
        Dispatch(effEditClose);
        Dispatch(effClose);
    }
    void Pump(Clock::time_point until) override
    {
        if (!hostIdles) {
            std::this_thread::sleep_until(until); // the editor's own thread does it all
            return;
        }
        for (auto tick = Clock::now(); tick < until; tick += kHostIdleInterval) {
            Dispatch(effEditIdle);
            std::this_thread::sleep_until(std::min(tick + kHostIdleInterval, until));
        }
    }

private:
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
    }
    AEffect* effect = nullptr;
    bool hostIdles;
};

// ---- VST 3 -------------------------------------------------------------------------------------

class Vst3Frame final : public Vst3::IPlugFrame, public Vst3::IRunLoop {
public:
    explicit Vst3Frame(Reactor& reactor) : reactor(reactor) {}
    Vst3::tresult VST3_API queryInterface(const Vst3::TUID iid, void** object) override
    {
        if (object == nullptr || iid == nullptr)
            return Vst3::kInvalidArgument;
        *object = nullptr;
        if (Vst3::kFUnknownIid.Matches(iid) || Vst3::kIPlugFrameIid.Matches(iid))
            *object = static_cast<Vst3::IPlugFrame*>(this);
        else if (Vst3::kIRunLoopIid.Matches(iid))
            *object = static_cast<Vst3::IRunLoop*>(this);
        return *object != nullptr ? Vst3::kResultOk : Vst3::kNoInterface;
    }
    Vst3::uint32 VST3_API addRef() override { return 1; }
    Vst3::uint32 VST3_API release() override { return 1; }
    Vst3::tresult VST3_API resizeView(Vst3::IPlugView*, Vst3::ViewRect*) override { return Vst3::kResultFalse; }
    Vst3::tresult VST3_API registerEventHandler(Vst3::IEventHandler* handler, Vst3::FileDescriptor fd) override
    {
        reactor.Watch(fd, [handler, fd] { handler->onFDIsSet(fd); });
        handlers.push_back({handler, fd});
        return Vst3::kResultOk;
    }
    Vst3::tresult VST3_API unregisterEventHandler(Vst3::IEventHandler* handler) override
    {
        for (const auto& entry : handlers)
            if (entry.first == handler)
                reactor.Forget(entry.second);
        handlers.erase(std::remove_if(handlers.begin(), handlers.end(),
                                      [&](const auto& entry) { return entry.first == handler; }),
                       handlers.end());
        return Vst3::kResultOk;
    }
    Vst3::tresult VST3_API registerTimer(Vst3::ITimerHandler* handler, Vst3::TimerInterval milliseconds) override
    {
        timers.push_back({handler, reactor.AddTimer(std::chrono::milliseconds(milliseconds),
                                                    [handler](uint32_t) { handler->onTimer(); })});
        return Vst3::kResultOk;
    }
    Vst3::tresult VST3_API unregisterTimer(Vst3::ITimerHandler* handler) override
    {
        for (const auto& entry : timers)
            if (entry.first == handler)
                reactor.RemoveTimer(entry.second);
        timers.erase(std::remove_if(timers.begin(), timers.end(),
                                    [&](const auto& entry) { return entry.first == handler; }),
                     timers.end());
        return Vst3::kResultOk;
    }

private:
    Reactor& reactor;
    std::vector<std::pair<Vst3::IEventHandler*, int>> handlers;
    std::vector<std::pair<Vst3::ITimerHandler*, uint32_t>> timers;
};

class Vst3Editor final : public OpenEditor {
public:
    Vst3Editor(void* module, const HostWindow& window, std::string& error) : frame(reactor)
    {
        using GetFactory = Vst3::IPluginFactory*(VST3_API*)();
        const auto getFactory = reinterpret_cast<GetFactory>(dlsym(module, "GetPluginFactory"));
        Vst3::IPluginFactory* factory = getFactory != nullptr ? getFactory() : nullptr;
        Vst3::PClassInfo info{};
        void* object = nullptr;
        if (factory == nullptr || factory->getClassInfo(0, &info) != Vst3::kResultOk ||
            factory->createInstance(info.cid, Vst3::kIEditControllerIid.bytes, &object) != Vst3::kResultOk) {
            error = "the VST 3 bundle made no effect";
            return;
        }
        controller = static_cast<Vst3::IEditController*>(object);
        controller->initialize(nullptr);
        view = controller->createView(Vst3::kEditorViewName);
        if (view == nullptr || view->setFrame(&frame) != Vst3::kResultOk ||
            view->attached(reinterpret_cast<void*>(window.Id()), Vst3::kPlatformTypeX11EmbedWindowID) != Vst3::kResultOk)
            error = "the VST 3 view did not attach";
    }
    ~Vst3Editor() override
    {
        if (view != nullptr) {
            view->removed();
            view->setFrame(nullptr);
            view->release();
        }
        if (controller != nullptr) {
            controller->terminate();
            controller->release();
        }
    }
    void Pump(Clock::time_point until) override { reactor.RunUntil(until); }

private:
    Reactor reactor;
    Vst3Frame frame;
    Vst3::IEditController* controller = nullptr;
    Vst3::IPlugView* view = nullptr;
};

// ---- CLAP --------------------------------------------------------------------------------------

class ClapEditor final : public OpenEditor {
public:
    ClapEditor(void* module, const char* path, const HostWindow& window, std::string& error)
    {
        entry = static_cast<const Clap::PluginEntry*>(dlsym(module, "clap_entry"));
        if (entry == nullptr || !entry->init(path)) {
            error = "the CLAP module has no entry";
            entry = nullptr;
            return;
        }
        const auto* factory = static_cast<const Clap::PluginFactory*>(entry->getFactory(Clap::kPluginFactoryId));
        const Clap::PluginDescriptor* descriptor =
            factory != nullptr ? factory->getPluginDescriptor(factory, 0) : nullptr;
        host.version = Clap::kVersion;
        host.hostData = this;
        host.name = "editor_idle_cost";
        host.vendor = host.url = host.versionText = "";
        host.getExtension = [](const Clap::Host* h, const char* id) -> const void* {
            auto* own = static_cast<ClapEditor*>(h->hostData);
            if (std::strcmp(id, Clap::kExtPosixFdSupport) == 0)
                return &own->fds;
            if (std::strcmp(id, Clap::kExtTimerSupport) == 0)
                return &own->timers;
            return nullptr;
        };
        host.requestRestart = host.requestProcess = host.requestCallback = [](const Clap::Host*) {};
        fds.registerFd = [](const Clap::Host* h, int fd, uint32_t) {
            auto* own = static_cast<ClapEditor*>(h->hostData);
            own->reactor.Watch(fd, [own, fd] { own->onFd->onFd(own->plugin, fd, Clap::kPosixFdRead); });
            return true;
        };
        fds.modifyFd = [](const Clap::Host*, int, uint32_t) { return true; };
        fds.unregisterFd = [](const Clap::Host* h, int fd) {
            static_cast<ClapEditor*>(h->hostData)->reactor.Forget(fd);
            return true;
        };
        timers.registerTimer = [](const Clap::Host* h, uint32_t period, Clap::Id* id) {
            auto* own = static_cast<ClapEditor*>(h->hostData);
            *id = own->reactor.AddTimer(std::chrono::milliseconds(period),
                                        [own](uint32_t timer) { own->onTimer->onTimer(own->plugin, timer); });
            return true;
        };
        timers.unregisterTimer = [](const Clap::Host* h, Clap::Id id) {
            static_cast<ClapEditor*>(h->hostData)->reactor.RemoveTimer(id);
            return true;
        };
        plugin = descriptor != nullptr ? factory->createPlugin(factory, &host, descriptor->id) : nullptr;
        if (plugin == nullptr || !plugin->init(plugin)) {
            error = "the CLAP module made no plug-in";
            return;
        }
        gui = static_cast<const Clap::PluginGui*>(plugin->getExtension(plugin, Clap::kExtGui));
        onFd = static_cast<const Clap::PluginPosixFdSupport*>(plugin->getExtension(plugin, Clap::kExtPosixFdSupport));
        onTimer = static_cast<const Clap::PluginTimerSupport*>(plugin->getExtension(plugin, Clap::kExtTimerSupport));
        Clap::Window parent{};
        parent.api = Clap::kWindowApiX11;
        parent.x11 = window.Id();
        if (gui == nullptr || onFd == nullptr || onTimer == nullptr || !gui->create(plugin, Clap::kWindowApiX11, false) ||
            !gui->setParent(plugin, &parent) || !gui->show(plugin))
            error = "the CLAP plug-in's editor did not open";
    }
    ~ClapEditor() override
    {
        if (plugin != nullptr) {
            if (gui != nullptr)
                gui->destroy(plugin);
            plugin->destroy(plugin);
        }
        if (entry != nullptr)
            entry->deinit();
    }
    void Pump(Clock::time_point until) override { reactor.RunUntil(until); }

private:
    const Clap::PluginEntry* entry = nullptr;
    Clap::Host host{};
    Clap::HostPosixFdSupport fds{};
    Clap::HostTimerSupport timers{};
    Reactor reactor;
    const Clap::Plugin* plugin = nullptr;
    const Clap::PluginGui* gui = nullptr;
    const Clap::PluginPosixFdSupport* onFd = nullptr;
    const Clap::PluginTimerSupport* onTimer = nullptr;
};

// ---- The floor: waking at 20 ms with nothing to do, and nothing open ---------------------------

class NoEditor final : public OpenEditor {
public:
    NoEditor() { reactor.AddTimer(std::chrono::milliseconds(20), [](uint32_t) {}); }
    void Pump(Clock::time_point until) override { reactor.RunUntil(until); }

private:
    Reactor reactor;
};

// ---- The runs ----------------------------------------------------------------------------------

struct Mode {
    const char* name;
    bool showsAWindow;
    std::function<std::unique_ptr<OpenEditor>(const HostWindow&, std::string&)> open;
    std::vector<double> process; // percent of one core, per run
    std::vector<double> server;
};

struct Sample {
    double process = 0.0;
    double server = 0.0;
};

// Opens the editor, waits for its window and lets it settle, then measures seconds of pumping.
bool Measure(Mode& mode, double seconds, pid_t server, Sample& sample, std::string& error)
{
    HostWindow window;
    if (!window.IsOpen()) {
        error = "cannot open the private display";
        return false;
    }
    std::unique_ptr<OpenEditor> editor = mode.open(window, error);
    if (!error.empty())
        return false;
    const auto shown = Clock::now() + std::chrono::seconds(5);
    while (mode.showsAWindow && !window.ChildMapped()) {
        if (Clock::now() > shown) {
            error = "its window never showed";
            return false;
        }
        editor->Pump(Clock::now() + std::chrono::milliseconds(10));
    }
    editor->Pump(Clock::now() + kSettle);

    const double cpuBefore = ProcessCpuSeconds();
    const double serverBefore = OtherProcessCpuSeconds(server);
    const auto start = Clock::now();
    editor->Pump(start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    sample.process = 100.0 * (ProcessCpuSeconds() - cpuBefore) / wall;
    sample.server = 100.0 * (OtherProcessCpuSeconds(server) - serverBefore) / wall;
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

} // namespace

int main(int argc, char** argv)
{
    double seconds = 5.0;
    int runs = 5;
    std::string vst2Path = MORLENT_VST2_MODULE, vst3Path = MORLENT_VST3_MODULE, clapPath = MORLENT_CLAP_MODULE;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--seconds")
            seconds = std::atof(argv[i + 1]);
        else if (option == "--runs")
            runs = std::atoi(argv[i + 1]);
        else if (option == "--vst2")
            vst2Path = argv[i + 1];
        else if (option == "--vst3")
            vst3Path = argv[i + 1];
        else if (option == "--clap")
            clapPath = argv[i + 1];
        else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }
    if (seconds <= 0.0 || runs < 1) {
        std::fprintf(stderr, "usage: editor_idle_cost [--seconds S] [--runs N] [--vst2|--vst3|--clap MODULE]\n");
        return 2;
    }

    TestSupport::XvfbServer server;
    std::string error;
    if (!server.Start(error)) {
        std::fprintf(stderr, "editor_idle_cost: %s\n", error.c_str());
        return 1;
    }
    setenv("DISPLAY", server.Name().c_str(), 1);

    // Loaded once, as a host keeps its modules; each run makes a new instance.
    void* vst2 = dlopen(vst2Path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* vst3 = dlopen(vst3Path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* clap = dlopen(clapPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (vst2 == nullptr || vst3 == nullptr || clap == nullptr) {
        std::fprintf(stderr, "editor_idle_cost: cannot load a module: %s\n", dlerror());
        return 1;
    }
    using ModuleEntry = bool (*)(void*);
    if (const auto enter = reinterpret_cast<ModuleEntry>(dlsym(vst3, "ModuleEntry")); enter != nullptr)
        enter(vst3);

    Mode modes[] = {
        {"VST 2, the editor's own thread", true,
         [&](const HostWindow& w, std::string& e) { return std::make_unique<Vst2Editor>(vst2, w, false, e); }, {}, {}},
        {"VST 2, the host idling at 30 Hz", true,
         [&](const HostWindow& w, std::string& e) { return std::make_unique<Vst2Editor>(vst2, w, true, e); }, {}, {}},
        {"VST 3, the host's run loop", true,
         [&](const HostWindow& w, std::string& e) { return std::make_unique<Vst3Editor>(vst3, w, e); }, {}, {}},
        {"CLAP, the host's reactor", true,
         [&](const HostWindow& w, std::string& e) {
             return std::make_unique<ClapEditor>(clap, clapPath.c_str(), w, e);
         },
         {}, {}},
        // What waking every 20 ms costs by itself, nothing open: the floor under the figures above.
        {"no editor, a 20 ms timer", false,
         [](const HostWindow&, std::string&) { return std::make_unique<NoEditor>(); }, {}, {}},
    };

    std::printf("an open editor that nothing changes, %d runs of %.1f s each, modes in turn\n", runs, seconds);
    std::printf("%-34s %4s %16s %12s\n", "pumping", "run", "plug-in process", "X server");
    for (int run = 1; run <= runs; ++run)
        for (Mode& mode : modes) {
            Sample sample;
            if (!Measure(mode, seconds, server.Process(), sample, error)) {
                std::fprintf(stderr, "editor_idle_cost: %s: %s\n", mode.name, error.c_str());
                return 1;
            }
            mode.process.push_back(sample.process);
            mode.server.push_back(sample.server);
            std::printf("%-34s %4d %14.3f %% %10.3f %%\n", mode.name, run, sample.process, sample.server);
            std::fflush(stdout);
        }

    std::printf("\nmedians, percent of one core (target: under %.1f %% for the plug-in process)\n", kTargetPercent);
    for (const Mode& mode : modes) {
        const double process = Median(mode.process);
        std::printf("%-34s      %14.3f %% %10.3f %%   %s\n", mode.name, process, Median(mode.server),
                    !mode.showsAWindow ? "" : process < kTargetPercent ? "under target" : "OVER TARGET");
    }

    using ModuleExit = bool (*)();
    if (const auto leave = reinterpret_cast<ModuleExit>(dlsym(vst3, "ModuleExit")); leave != nullptr)
        leave();
    return 0;
}
