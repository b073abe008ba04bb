#pragma once
// The one way a record's function reaches its instance: the record checked, every exception
// caught, and the given safe answer when either fails.

#include "clap/ClapEffect.h"

namespace MorlentClap {

template <typename Result, typename Action> Result Call(const Clap::Plugin* plugin, Result failed, Action action)
{
    try {
        ClapEffect* effect = ClapEffect::From(plugin);
        return effect == nullptr ? failed : action(*effect);
    } catch (...) {
        return failed;
    }
}

} // namespace MorlentClap
