// The CLAP plug-in's state load with an arbitrary stream: the first byte says how many bytes
// each read hands over (0: all it is asked for), the second after how many reads the stream
// fails (0: never), the rest is the stream. Whatever the bytes, the plug-in must not crash, a
// refused stream must leave its state exactly as it was, and an accepted one must save and load
// back the same, with every parameter's value inside its range.

#include "clap/ClapEffect.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" const Clap::PluginEntry clap_entry;

namespace {

struct Stream {
    const uint8_t* data;
    size_t size;
    size_t position = 0;
    uint64_t piece;
    int failAfter;
    int calls = 0;
};

int64_t Read(const Clap::InputStream* stream, void* buffer, uint64_t size)
{
    auto& own = *static_cast<Stream*>(stream->context);
    if (own.failAfter > 0 && ++own.calls > own.failAfter)
        return -1;
    uint64_t count = own.size - own.position;
    if (size < count)
        count = size;
    if (own.piece > 0 && own.piece < count)
        count = own.piece;
    std::memcpy(buffer, own.data + own.position, count);
    own.position += count;
    return static_cast<int64_t>(count);
}

int64_t Write(const Clap::OutputStream* stream, const void* buffer, uint64_t size)
{
    auto& bytes = *static_cast<std::vector<uint8_t>*>(stream->context);
    const auto* from = static_cast<const uint8_t*>(buffer);
    bytes.insert(bytes.end(), from, from + size);
    return static_cast<int64_t>(size);
}

const void* NoExtension(const Clap::Host*, const char*)
{
    return nullptr;
}
void Nothing(const Clap::Host*) {}

std::vector<uint8_t> Saved(const Clap::Plugin* plugin, const Clap::PluginState* state)
{
    std::vector<uint8_t> bytes;
    const Clap::OutputStream out{&bytes, Write};
    if (!state->save(plugin, &out))
        std::abort();
    return bytes;
}

bool Load(const Clap::Plugin* plugin, const Clap::PluginState* state, const uint8_t* data, size_t size,
          uint64_t piece, int failAfter)
{
    Stream stream{data, size, 0, piece, failAfter};
    const Clap::InputStream in{&stream, Read};
    return state->load(plugin, &in);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // One instance for the whole run, brought back to its built state after every accepted stream.
    static const Clap::Host host{Clap::kVersion, nullptr, "fuzzer", "", "", "", NoExtension, Nothing, Nothing,
                                 Nothing};
    static const Clap::Plugin* plugin = [] {
        clap_entry.init("/fuzz/MorlentDelay.clap");
        auto* factory = static_cast<const Clap::PluginFactory*>(clap_entry.getFactory(Clap::kPluginFactoryId));
        const Clap::Plugin* created = factory->createPlugin(factory, &host, MorlentClap::EffectId());
        created->init(created);
        return created;
    }();
    static const auto* state = static_cast<const Clap::PluginState*>(plugin->getExtension(plugin, Clap::kExtState));
    static const auto* params = static_cast<const Clap::PluginParams*>(plugin->getExtension(plugin, Clap::kExtParams));
    static const std::vector<uint8_t> built = Saved(plugin, state);

    const bool accepted = Load(plugin, state, data + 2, size - 2, data[0], data[1]);
    const std::vector<uint8_t> after = Saved(plugin, state);
    if (!accepted) {
        if (after != built)
            std::abort(); // a refused stream changed the plug-in
        return 0;
    }
    for (uint32_t index = 0; index < params->count(plugin); ++index) {
        Clap::ParamInfo info{};
        double value = 0.0;
        if (!params->getInfo(plugin, index, &info) || !params->getValue(plugin, info.id, &value) ||
            !(value >= info.minValue && value <= info.maxValue))
            std::abort();
    }
    if (!Load(plugin, state, after.data(), after.size(), 0, 0) || Saved(plugin, state) != after)
        std::abort();
    if (!Load(plugin, state, built.data(), built.size(), 0, 0))
        std::abort();
    return 0;
}
