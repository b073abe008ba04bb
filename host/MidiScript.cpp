#include "host/MidiScript.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace MorlentHost {

namespace {

bool ParseNumber(const std::string& word, int64_t& value)
{
    if (word.empty() || word[0] == '-' || word[0] == '+')
        return false;
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(word.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
    if (errno != 0 || end == nullptr || *end != '\0' || end == word.c_str() + (hex ? 2 : 0))
        return false;
    value = parsed;
    return true;
}

// Program change and channel pressure carry one data byte; the other channel messages two.
bool HasOneDataByte(uint8_t status) { return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0; }

} // namespace

bool ParseMidiScript(const std::string& text, std::vector<TimedMidi>& events, std::string& error)
{
    events.clear();
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.erase(comment);
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;)
            words.push_back(word);
        if (words.empty())
            continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        int64_t values[4] = {0, 0, 0, 0};
        for (size_t i = 0; i < words.size() && i < 4; ++i)
            if (!ParseNumber(words[i], values[i])) {
                error = where + "'" + words[i] + "' is not a non-negative decimal or 0x hex number";
                return false;
            }
        if (words.size() < 3) {
            error = where + "expected \"frame status data1 [data2]\", found " + std::to_string(words.size()) +
                    (words.size() == 1 ? " field" : " fields");
            return false;
        }
        if (values[1] < 0x80 || values[1] > 0xEF) {
            error = where + "status " + words[1] + " is not a channel message (0x80 to 0xEF)";
            return false;
        }
        const auto status = static_cast<uint8_t>(values[1]);
        const size_t expected = HasOneDataByte(status) ? 3 : 4;
        if (words.size() != expected && !(HasOneDataByte(status) && words.size() == 4)) {
            error = where + "expected \"frame status data1" + (expected == 4 ? " data2" : "") + "\", found " +
                    std::to_string(words.size()) + " fields";
            return false;
        }
        if (values[2] > 0x7F || values[3] > 0x7F) {
            error = where + "data bytes must be 0 to 127";
            return false;
        }
        events.push_back({values[0], {status, static_cast<uint8_t>(values[2]), static_cast<uint8_t>(values[3])}});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedMidi& a, const TimedMidi& b) { return a.frame < b.frame; });
    return true;
}

} // namespace MorlentHost
