#include "update/version_number.h"

#include <locale.h>
#include <stdlib.h>

namespace update {
namespace {

constexpr double kNewerThreshold = 0.0000001;

constexpr unsigned char kFullWidthLead = 0xA3;  // trail 0xA1..0xFE: ASCII 0x21..0x7E
constexpr unsigned char kSymbolLead = 0xA1;     // 0xA1 0xA1: the full-width space
constexpr unsigned char kFirstLead = 0x81;

std::string toHalfWidth(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < kFirstLead || c == 0xFF || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const unsigned char trail = static_cast<unsigned char>(text[i + 1]);
        if (c == kFullWidthLead && trail >= 0xA1 && trail <= 0xFE) {
            out += static_cast<char>(trail - 0x80);
        } else if (c == kSymbolLead && trail == 0xA1) {
            out += ' ';
        } else {
            out += text[i];
            out += text[i + 1];
        }
        ++i;
    }
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// White space of the C locale, whatever the process's locale says.
bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The length of the decimal number at the start of `s` (after white space),
// 0 when there is none. Hexadecimal forms, "inf" and "nan" are not numbers
// here.
size_t decimalPrefixLength(const char* s) {
    size_t i = 0;
    while (isSpace(s[i])) ++i;
    if (s[i] == '+' || s[i] == '-') ++i;
    size_t digits = 0;
    while (isDigit(s[i])) ++i, ++digits;
    if (s[i] == '.') {
        ++i;
        while (isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (s[i] == 'e' || s[i] == 'E') {
        size_t j = i + 1;
        if (s[j] == '+' || s[j] == '-') ++j;
        if (isDigit(s[j])) {
            while (isDigit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

}  // namespace

double versionNumber(const std::string& gbkText) {
    const std::string text = toHalfWidth(gbkText);
    const size_t length = decimalPrefixLength(text.c_str());
    if (length == 0) return 0;
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return strtod_l(text.substr(0, length).c_str(), nullptr, cLocale);
}

bool isNewerVersion(double version) {
    return version - kOwnVersion > kNewerThreshold;
}

}  // namespace update
