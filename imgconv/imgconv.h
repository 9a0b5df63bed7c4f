/* The image conversion library's public face: two conversions that read any
 * JPEG, BMP, TIFF, PNG, PCX or Photo CD file (found by content, never by
 * name) and write it as JPEG or PNG (chosen by the call, never by the
 * target's name). */
#ifndef IMGCONV_IMGCONV_H
#define IMGCONV_IMGCONV_H

#ifdef __cplusplus
extern "C" {
#endif

/* The result of both conversions. */
enum ConversionResult {
    Ok = 1,                /* the target was written completely */
    SourceMissing = -1,    /* nothing exists under the source path */
    SourceUnreadable = -3, /* no reader took the source, or it failed while reading */
    WriteFailed = -4,      /* the target could not be created or completed */
    BadArgument = -7       /* an argument is missing or out of range; nothing touched */
};

/* grey: exactly 1 writes a one-component greyscale JPEG, anything else colour;
 * quality 1..100; optimise non-zero asks for optimised Huffman tables;
 * smoothing 0..100. A null or empty path counts as missing. */
int ConvertToJpeg(const char* source, const char* target, int grey, int quality, int optimise,
                  int smoothing);

/* bitsPerPixel must be 24: the PNG written has 8-bit RGB samples, Adam7
 * interlaced. */
int ConvertToPng(const char* source, const char* target, int bitsPerPixel);

#ifdef __cplusplus
}
#endif

#endif
