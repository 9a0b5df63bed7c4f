#include "workflow/ico_wrapping.h"

#include "workflow/ico_file.h"

namespace lanzhou::workflow {

PictureBytes previewToIcoFile(const PictureBytes& preview, const PictureDecoder& decode) {
    if (isIcoFile(preview)) return preview;
    if (preview.empty() || !decode) return PictureBytes();
    const Bitmap picture = decode(preview);
    if (picture.empty()) return PictureBytes();
    return bitmapToIcoFile(fitIcoSize(picture));
}

}  // namespace lanzhou::workflow
