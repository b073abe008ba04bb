#pragma once
// What the host's bridges run for a plug-in editor on Linux, as a host's main loop does: the
// descriptors it asked to be watched and the timers it asked for, turned on the host's idle calls.
// Keys are what each format unregisters by: a handler, a descriptor, an id.

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace MorlentHost {

class HostReactor {
public:
    // Calls ready while fd is readable, until forgotten.
    void Watch(uintptr_t key, int fd, std::function<void()> ready);
    bool Forget(uintptr_t key);
    // Calls fire every period, until removed.
    void AddTimer(uintptr_t key, std::chrono::milliseconds period, std::function<void()> fire);
    bool RemoveTimer(uintptr_t key);

    // One turn without waiting: what is readable, then the timers due. A call may register or
    // unregister: the turn works on what was there when it began.
    void Turn();

private:
    struct Watched {
        uintptr_t key;
        int fd;
        std::function<void()> ready;
    };
    struct Timer {
        uintptr_t key;
        std::chrono::milliseconds period;
        std::chrono::steady_clock::time_point due;
        std::function<void()> fire;
    };
    std::vector<Watched> watched;
    std::vector<Timer> timers;
};

} // namespace MorlentHost
