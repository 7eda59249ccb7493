#include "ProgramVersion.h"

#include <algorithm>
#include <charconv>

std::string NormaliseVersion(std::string_view raw) {
    const std::string kNone = "0.0.0.0";
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!raw.empty() && isSpace(raw.front()))
        raw.remove_prefix(1);
    while (!raw.empty() && isSpace(raw.back()))
        raw.remove_suffix(1);
    if (raw.empty()) return kNone;
    std::string version;
    int parts = 0;
    for (std::size_t start = 0; parts < 4 && start <= raw.size(); ++parts) {
        const std::size_t dot = std::min(raw.find('.', start), raw.size());
        const std::string_view part = raw.substr(start, dot - start);
        // Each part is a 16-bit number in the program file's version block.
        unsigned number = 0;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), number);
        if (part.empty() || ec != std::errc() || end != part.data() + part.size() || number > 65535)
            return kNone;
        if (parts > 0) version += '.';
        version += std::to_string(number);
        start = dot + 1;
    }
    for (; parts < 4; ++parts)
        version += ".0";
    return version;
}
