#include "update/update_offer.h"

#include "update/gbk_text.h"
#include "update/http_get.h"
#include "update/version_number.h"

namespace update {
namespace {

std::string gbkValue(const UpdateDocument& document, const char* attribute) {
    return document.attributeValue(utf8ToGbk(kVersionElementPath), utf8ToGbk(attribute));
}

}  // namespace

bool fetchUpdateDocument(UpdateDocument& document, const std::string& url) {
    const std::string body = httpGetBytes(url);
    if (body.empty()) return false;
    document.loadFromBytes(utf8ToGbk(body));
    return true;
}

std::string offerValue(const UpdateDocument& document, const char* attribute) {
    return gbkToUtf8(gbkValue(document, attribute));
}

double offeredVersion(const UpdateDocument& document) {
    return versionNumber(gbkValue(document, kVersionAttribute));
}

UpdaterValues offeredUpdaterValues(const UpdateDocument& document) {
    UpdaterValues values;
    values.downloadAddress = offerValue(document, kDownloadAddressAttribute);
    values.fileTitle = offerValue(document, kFileTitleAttribute);
    values.fileName = offerValue(document, kFileNameAttribute);
    values.releaseNotes = offerValue(document, kNotesAttribute);
    return values;
}

}  // namespace update
