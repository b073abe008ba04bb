#pragma once
// The factory bank's programs as LV2 presets: a URI made from each program's name and the
// control ports' values that give the program's parameter values.

#include "description/FactoryPrograms.h"
#include "lv2/Lv2Ports.h"

#include <cctype>
#include <cstdint>
#include <string>

namespace MorlentLv2 {

// The program's name in lower case, with every run of other characters made one hyphen:
// "Split 1/8 & 1/4" is "split-1-8-1-4".
inline std::string PresetSlug(const char* name)
{
    std::string slug;
    bool gap = false;
    for (const char* c = name; *c != '\0'; ++c) {
        const unsigned char character = static_cast<unsigned char>(*c);
        if (std::isalnum(character) != 0 && character < 0x80) {
            if (gap && !slug.empty())
                slug += '-';
            gap = false;
            slug += static_cast<char>(std::tolower(character));
        } else {
            gap = true;
        }
    }
    return slug;
}

inline std::string PresetUri(int32_t program)
{
    return std::string(kPresetUriBase) + PresetSlug(FactoryBank::kPrograms[program].name);
}

inline float PresetPortValue(int32_t program, uint32_t port)
{
    return ExactPortValue(port, FactoryBank::NormalisedValue(FactoryBank::kPrograms[program],
                                                             static_cast<int32_t>(port)));
}

} // namespace MorlentLv2
