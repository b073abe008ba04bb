#pragma once
// Reference counting on either side of the format's interfaces.

#include "vst3/Vst3Interface.h"

#include <atomic>

namespace Vst3 {

// An object hosts hold by reference: it starts with its creator's reference and deletes itself
// when the last one goes. The derived class routes addRef and release here and befriends this
// base when its destructor is private.
template <typename Derived> class ReferenceCounted {
protected:
    uint32 AddReference() noexcept { return references.fetch_add(1) + 1; }
    uint32 DropReference() noexcept
    {
        const uint32 left = references.fetch_sub(1) - 1;
        if (left == 0)
            delete static_cast<Derived*>(this);
        return left;
    }

private:
    std::atomic<uint32> references{1};
};

// An object whose owner keeps it on the stack or as a member: references count nothing, and it
// offers no interface beyond its own.
template <typename Interface> class Unowned : public Interface {
public:
    tresult VST3_API queryInterface(const TUID, void** object) override
    {
        if (object != nullptr)
            *object = nullptr;
        return kNoInterface;
    }
    uint32 VST3_API addRef() override { return 1; }
    uint32 VST3_API release() override { return 1; }
};

} // namespace Vst3
