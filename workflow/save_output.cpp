#include "workflow/save_output.h"

#include <cstdio>

#include "imgconv/imgconv.h"
#include "imgconv/output_file.h"
#include "workflow/ico_file.h"
#include "workflow/ico_wrapping.h"
#include "workflow/intermediate_file.h"
#include "workflow/rgba_bitmap.h"
#include "workflow/snapshot.h"

namespace lanzhou::workflow {

using platform::Control;

namespace {

// Every PNG written is 8-bit RGB; every JPEG colour, quality 75, with
// optimised Huffman tables and no smoothing.
constexpr int kPngBitsPerPixel = 24;
constexpr int kJpegGrey = 0;
constexpr int kJpegQuality = 75;
constexpr int kJpegOptimise = 1;
constexpr int kJpegSmoothing = 0;

// The new file takes the old one's place only once it is whole.
bool writeWholeFile(const std::string& path, const PictureBytes& bytes) {
    if (bytes.empty()) return false;
    imgconv::OutputFile file;
    if (file.create(path.c_str()) == 0) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) != bytes.size()) return false;
    return file.commit() == 1;
}

bool convertFile(OutputFormat format, const std::string& source, const std::string& target) {
    const int result = format == OutputFormat::Png
                           ? ConvertToPng(source.c_str(), target.c_str(), kPngBitsPerPixel)
                           : ConvertToJpeg(source.c_str(), target.c_str(), kJpegGrey, kJpegQuality,
                                           kJpegOptimise, kJpegSmoothing);
    return result == Ok;
}

}  // namespace

bool makeSaveOutput(platform::Platform& platform, const SaveCase& saveCase,
                    const std::string& output) {
    const platform::WindowHandle preview = platform.windowHandle(Control::图片框1);
    const int32_t side = saveCase.side;
    if (saveCase.format == OutputFormat::Ico) {
        if (side != 0)
            return writeWholeFile(output,
                                  bitmapToIcoFile(snapshotPixels(platform, preview, side, side)));
        const PictureDecoder decode = [&platform](const PictureBytes& bytes) {
            return bitmapFromRgba(platform.decodePicture(bytes));
        };
        return writeWholeFile(output, previewToIcoFile(platform.picture(Control::图片框1), decode));
    }
    if (side == 0) return convertFile(saveCase.format, platform.text(Control::编辑框1), output);

    const PictureBytes capture = snapshotWindow(platform, preview, side, side);
    IntermediateFile intermediate;
    return !capture.empty() && intermediate.write(capture) &&
           convertFile(saveCase.format, intermediate.path(), output);
}

}  // namespace lanzhou::workflow
