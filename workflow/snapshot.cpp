#include "workflow/snapshot.h"

#include "workflow/bmp_bytes.h"
#include "workflow/rgba_bitmap.h"

namespace lanzhou::workflow {

PictureBytes snapshotWindow(platform::Platform& platform, platform::WindowHandle window,
                            int32_t width, int32_t height) {
    return bitmapToBmpBytes(bitmapFromRgba(platform.grabWindow(window)), width, height,
                            platform.screenDepth());
}

Bitmap snapshotPixels(platform::Platform& platform, platform::WindowHandle window, int32_t width,
                      int32_t height) {
    return bitmapAtTargetSize(bitmapFromRgba(platform.grabWindow(window)), width, height,
                              platform.screenDepth());
}

}  // namespace lanzhou::workflow
