#pragma once

namespace imgconv {

// The file layouts the codecs read or write. A codec records the code of its
// current file and dispatches on it; a PixelImage does not carry one.
enum PixelFormat : int {
    PcdBase16 = 11,  // Photo CD 192 x 128
    PcdBase4 = 12,   // Photo CD 384 x 256
    PcdBase = 13,    // Photo CD 768 x 512
    JpegRgb = 14,
    JpegGrey = 15,
    Bmp1 = 16,
    Bmp4 = 17,
    Bmp8 = 18,
    Bmp16 = 19,
    Bmp24 = 20,
    Bmp32 = 21,
    BmpRle4 = 22,
    BmpRle8 = 23,
    Os2Bmp1 = 24,
    Os2Bmp4 = 25,
    Os2Bmp8 = 26,
    Os2Bmp24 = 27,
    PngGrey = 31,
    PngRgb = 33,
    PngRgba = 34,
    PngPalette = 38,
    TiffRgba = 40,
};

}  // namespace imgconv
