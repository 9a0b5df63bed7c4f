#include "iconlist/desktop_entry.h"

#include <algorithm>
#include <string_view>

namespace lanzhou {
namespace {

constexpr std::string_view kGroup = "[Desktop Entry]";
constexpr std::string_view kIconKey = "Icon";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return std::string_view();
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += '\\';
                out += value[i];
                break;
        }
    }
    return out;
}

}  // namespace

std::string desktopEntryIcon(const char* text, std::size_t size) {
    const std::string_view whole(text, size);
    bool inGroup = false;
    for (std::size_t start = 0; start < whole.size();) {
        const std::size_t end = std::min(whole.find('\n', start), whole.size());
        const std::string_view line = trimmed(whole.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inGroup = line == kGroup;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inGroup || equals == std::string_view::npos) continue;
        if (trimmed(line.substr(0, equals)) == kIconKey)
            return unescaped(trimmed(line.substr(equals + 1)));
    }
    return std::string();
}

}  // namespace lanzhou
