#include "update/update_url.h"

#include <cstdlib>

namespace update {
namespace {

// httpGetBytes sends the name's bytes as UTF-8 percent escapes.
constexpr const char* kUpdateDocumentUrl = "https://update.lanzhou.example/澜舟.xml";
constexpr const char* kUrlVariable = "LANZHOU_UPDATE_URL";

}  // namespace

std::string updateUrl() {
    const char* replacement = std::getenv(kUrlVariable);
    if (replacement != nullptr && replacement[0] != '\0') return replacement;
    return kUpdateDocumentUrl;
}

}  // namespace update
