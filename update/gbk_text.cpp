#include "update/gbk_text.h"

#include <errno.h>
#include <iconv.h>

#include <cstring>

namespace update {
namespace {

constexpr const char* kGbk = "CP936";
constexpr const char* kUtf8 = "UTF-8";

// Bytes of the UTF-8 sequence that starts at `p` when it is well formed in
// its lead and continuation bytes, 1 otherwise.
size_t utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    size_t length = 1;
    if ((p[0] & 0xE0) == 0xC0)
        length = 2;
    else if ((p[0] & 0xF0) == 0xE0)
        length = 3;
    else if ((p[0] & 0xF8) == 0xF0)
        length = 4;
    if (length > static_cast<size_t>(end - p)) return 1;
    for (size_t i = 1; i < length; ++i)
        if ((p[i] & 0xC0) != 0x80) return 1;
    return length;
}

// The whole of `in` converted; every refused input becomes one "?". From
// UTF-8 a refused input is a whole character the target cannot hold or a
// single stray byte; from GBK it is one byte.
std::string convert(const char* to, const char* from, const char* in, size_t inLength) {
    const bool fromUtf8 = std::strcmp(from, kUtf8) == 0;
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    out.resize(inLength * 2 + 16);
    char* inPtr = const_cast<char*>(in);
    const char* inEnd = in + inLength;
    size_t inLeft = inLength;
    size_t written = 0;
    while (inLeft > 0) {
        char* outPtr = &out[written];
        size_t outLeft = out.size() - written;
        const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        written = out.size() - outLeft;
        if (result != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else if (errno == EILSEQ || errno == EINVAL) {
            if (written == out.size()) out.resize(out.size() * 2);
            out[written++] = '?';
            const size_t skip =
                fromUtf8 ? utf8SequenceLength(reinterpret_cast<const unsigned char*>(inPtr),
                                              reinterpret_cast<const unsigned char*>(inEnd))
                         : 1;
            inPtr += skip;
            inLeft -= skip;
        } else {
            break;
        }
    }
    iconv_close(cd);
    out.resize(written);
    return out;
}

}  // namespace

std::string utf8ToGbk(const std::string& text) {
    return convert(kGbk, kUtf8, text.c_str(), std::strlen(text.c_str()));
}

std::string gbkToUtf8(const std::string& text) {
    return convert(kUtf8, kGbk, text.data(), text.size());
}

}  // namespace update
