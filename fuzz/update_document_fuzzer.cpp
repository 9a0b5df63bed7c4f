// Any bytes as the body the update server sent, read as the update check
// reads it.
#include <cstdint>
#include <string>

#include "update/gbk_text.h"
#include "update/update_document.h"
#include "update/update_offer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    update::UpdateDocument document;
    document.loadFromBytes(update::utf8ToGbk(body));
    update::offeredVersion(document);
    update::offeredUpdaterValues(document);
    // The raw bytes as a document too, without the text conversion.
    document.loadFromBytes(body);
    update::offerValue(document, update::kNotesAttribute);
    document.release();
    return 0;
}
