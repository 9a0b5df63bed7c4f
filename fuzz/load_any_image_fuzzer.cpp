// Any bytes as a dropped file: offered to every reader through the two
// conversions, written as PNG and as JPEG.
#include <unistd.h>

#include <cstdint>

#include "fuzz/fuzz_folder.h"
#include "imgconv/imgconv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lanzhou::fuzz;
    const std::string source = privateFolder() + "/input";
    const std::string png = privateFolder() + "/output.png";
    const std::string jpeg = privateFolder() + "/output.jpg";
    if (!writeWhole(source, data, size)) return 0;

    const int toPng = ConvertToPng(source.c_str(), png.c_str(), 24);
    const int toJpeg = ConvertToJpeg(source.c_str(), jpeg.c_str(), 0, 75, 1, 0);
    // Reading does not depend on the writer (writing may: JPEG holds at most
    // 65,500 pixels a side, PNG more).
    if ((toPng == SourceUnreadable) != (toJpeg == SourceUnreadable)) std::abort();

    expectNoTemporaryFiles();
    unlink(png.c_str());
    unlink(jpeg.c_str());
    return 0;
}
