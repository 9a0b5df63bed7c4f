#pragma once

#include <cstddef>
#include <cstdint>

namespace imgconv {

// The library's owned text: file and folder names in the system's multibyte
// encoding (UTF-8 here). A multibyte character counts as one character in
// length, substring, left and right. An empty string owns no buffer at all;
// every buffer is allocated at exactly the size it needs. Operations return 1
// on success and 0 on failure; a failed operation leaves the string as it was.
class PathString {
  public:
    PathString() = default;
    explicit PathString(const char* text) { assign(text); }
    PathString(const PathString& other) { assign(other); }
    PathString& operator=(const PathString& other);
    ~PathString() { clear(); }

    int assign(const char* text);
    int assign(const PathString& other) { return assign(other.text_); }
    int append(const char* text);
    int append(const PathString& other) { return append(other.text_); }
    int appendNumber(int32_t value);

    // Character positions count from 1.
    int substring(PathString& out, int start, int count) const;
    int left(PathString& out, int n) const;
    int right(PathString& out, int n) const;

    // 1 when equal: exactly, or with ASCII letters compared without case.
    int equals(const char* text, int ignoreCase) const;

    int clear();

    // Null when empty.
    const char* text() const { return text_; }
    // Characters, not bytes.
    int length() const { return length_; }
    // Bytes including the terminating zero; 0 when empty.
    std::size_t size() const { return size_; }
    bool empty() const { return text_ == nullptr; }

  private:
    int replaceWith(char* buffer, std::size_t size);

    char* text_ = nullptr;
    int length_ = 0;
    std::size_t size_ = 0;
};

// Bytes the character starting at text[0] takes: a lead byte and the
// continuation bytes that follow it, never reaching past the terminator.
int characterBytes(const char* text);

}  // namespace imgconv
