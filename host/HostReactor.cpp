#include "host/HostReactor.h"

#include <algorithm>

#ifndef _WIN32
#include <poll.h>
#endif

namespace MorlentHost {

namespace {

template <typename Entry>
bool EraseKey(std::vector<Entry>& entries, uintptr_t key)
{
    const auto end = std::remove_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.key == key; });
    const bool found = end != entries.end();
    entries.erase(end, entries.end());
    return found;
}

} // namespace

void HostReactor::Watch(uintptr_t key, int fd, std::function<void()> ready)
{
    watched.push_back({key, fd, std::move(ready)});
}

bool HostReactor::Forget(uintptr_t key)
{
    return EraseKey(watched, key);
}

void HostReactor::AddTimer(uintptr_t key, std::chrono::milliseconds period, std::function<void()> fire)
{
    timers.push_back({key, period, std::chrono::steady_clock::now() + period, std::move(fire)});
}

bool HostReactor::RemoveTimer(uintptr_t key)
{
    return EraseKey(timers, key);
}

void HostReactor::Turn()
{
#ifndef _WIN32
    const std::vector<Watched> ready = watched;
    for (const Watched& watch : ready) {
        pollfd waiting{watch.fd, POLLIN, 0};
        if (poll(&waiting, 1, 0) > 0)
            watch.ready();
    }
#endif
    const auto now = std::chrono::steady_clock::now();
    const std::vector<Timer> due = timers;
    for (const Timer& timer : due)
        if (now >= timer.due) {
            for (Timer& kept : timers)
                if (kept.key == timer.key)
                    kept.due = now + kept.period;
            timer.fire();
        }
}

} // namespace MorlentHost
