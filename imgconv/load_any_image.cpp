#include "imgconv/load_any_image.h"

#include <sys/stat.h>

#include <utility>

#include "imgconv/codecs/bmp_reader.h"
#include "imgconv/codecs/jpeg_codec.h"
#include "imgconv/codecs/pcd_reader.h"
#include "imgconv/codecs/pcx_reader.h"
#include "imgconv/codecs/png_codec.h"
#include "imgconv/codecs/tiff_reader.h"
#include "imgconv/file_util.h"
#include "imgconv/imgconv.h"

namespace imgconv {

namespace {

// The Photo CD reader decodes its largest picture.
constexpr int kPcdResolution = 2;

enum class Offer { Declined, Loaded, Failed };

// One reader's turn: a declined open closes it again; a reader that accepted
// the file either loads it or fails, and then no other reader is asked.
template <typename Reader, typename... OpenArguments>
Offer offerTo(Reader& reader, OpenArguments&&... arguments) {
    if (reader.open(std::forward<OpenArguments>(arguments)...) == 0) {
        reader.close();
        return Offer::Declined;
    }
    if (reader.read() == 1) return Offer::Loaded;
    reader.close();
    return Offer::Failed;
}

// A FIFO or a device would block the first reader's open for ever, and a
// folder holds no picture: only regular files are offered to the readers.
bool isRegularFile(const char* path) {
    struct stat status;
    return stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

int LoadAnyImage(const char* path, PixelImage& image) {
    if (path == nullptr || fileUtil.fileExists(path) == 0) return SourceMissing;
    if (!isRegularFile(path)) return SourceUnreadable;

    JpegCodec jpeg;
    BmpReader bmp;
    TiffReader tiff;
    PngCodec png;
    PcxReader pcx;
    PcdReader pcd;
    Offer offer = offerTo(jpeg, path, image, nullptr);
    if (offer == Offer::Declined) offer = offerTo(bmp, path, image, nullptr);
    if (offer == Offer::Declined) offer = offerTo(tiff, path, image, nullptr);
    if (offer == Offer::Declined) offer = offerTo(png, path, image, nullptr);
    if (offer == Offer::Declined) offer = offerTo(pcx, path, image, nullptr);
    if (offer == Offer::Declined) offer = offerTo(pcd, path, image, kPcdResolution, nullptr);
    if (offer == Offer::Loaded) return Ok;
    // A reader that failed half way may have filled the image in part.
    image.release();
    return SourceUnreadable;
}

}  // namespace imgconv
