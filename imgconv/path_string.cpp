#include "imgconv/path_string.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace imgconv {

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

int expectedBytes(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF7) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

int countCharacters(const char* text) {
    int count = 0;
    for (const char* p = text; *p != '\0'; p += characterBytes(p)) ++count;
    return count;
}

char* allocateText(std::size_t size) {
    return new (std::nothrow) char[size]();
}

}  // namespace

int characterBytes(const char* text) {
    const int expected = expectedBytes(static_cast<unsigned char>(text[0]));
    int bytes = 1;
    while (bytes < expected && isContinuation(static_cast<unsigned char>(text[bytes]))) ++bytes;
    return bytes;
}

PathString& PathString::operator=(const PathString& other) {
    if (this != &other) {
        if (other.empty())
            clear();
        else
            assign(other);
    }
    return *this;
}

int PathString::replaceWith(char* buffer, std::size_t size) {
    delete[] text_;
    text_ = buffer;
    size_ = size;
    length_ = countCharacters(buffer);
    return 1;
}

int PathString::assign(const char* text) {
    if (text == nullptr || text[0] == '\0') {
        clear();
        return 0;
    }
    if (text == text_) return 1;
    const std::size_t size = std::strlen(text) + 1;
    char* buffer = allocateText(size);
    if (buffer == nullptr) return 0;
    std::memcpy(buffer, text, size);
    return replaceWith(buffer, size);
}

int PathString::append(const char* text) {
    if (empty()) return assign(text);
    if (text == nullptr || text[0] == '\0') return 0;
    const std::size_t added = std::strlen(text);
    char* buffer = allocateText(size_ + added);
    if (buffer == nullptr) return 0;
    std::memcpy(buffer, text_, size_ - 1);
    std::memcpy(buffer + size_ - 1, text, added);
    return replaceWith(buffer, size_ + added);
}

int PathString::appendNumber(int32_t value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%ld", static_cast<long>(value));
    return append(digits);
}

int PathString::substring(PathString& out, int start, int count) const {
    if (start < 1 || count < 1 || static_cast<long>(start) + count - 1 > length_) return 0;
    const char* first = text_;
    for (int skipped = 0; skipped < start - 1; ++skipped) first += characterBytes(first);
    const char* end = first;
    for (int taken = 0; taken < count; ++taken) end += characterBytes(end);

    const std::size_t bytes = static_cast<std::size_t>(end - first);
    char* buffer = allocateText(bytes + 1);
    if (buffer == nullptr) return 0;
    std::memcpy(buffer, first, bytes);
    const int result = out.assign(buffer);
    delete[] buffer;
    return result;
}

int PathString::left(PathString& out, int n) const {
    if (n > length_) return 0;
    return substring(out, 1, n);
}

int PathString::right(PathString& out, int n) const {
    if (n > length_) return 0;
    return substring(out, length_ - n + 1, n);
}

int PathString::equals(const char* text, int ignoreCase) const {
    const char* mine = text_ != nullptr ? text_ : "";
    const char* theirs = text != nullptr ? text : "";
    if (ignoreCase != 1) return std::strcmp(mine, theirs) == 0 ? 1 : 0;
    for (;; ++mine, ++theirs) {
        unsigned char a = static_cast<unsigned char>(*mine);
        unsigned char b = static_cast<unsigned char>(*theirs);
        if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
        if (a != b) return 0;
        if (a == '\0') return 1;
    }
}

int PathString::clear() {
    delete[] text_;
    text_ = nullptr;
    length_ = 0;
    size_ = 0;
    return 1;
}

}  // namespace imgconv
