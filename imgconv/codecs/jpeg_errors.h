#pragma once

// The recovery point of the JPEG codec: libjpeg reports an error by calling
// the error manager's exit handler, which must not return into libjpeg. Ours
// jumps back to the point the running codec operation set with setjmp.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace imgconv {

// Progressive files are decoded in full for every scan; a few bytes per scan
// could otherwise keep the decoder busy for minutes. libjpeg-turbo uses the
// same limit for files it does not trust.
constexpr int kMaxJpegScans = 500;

struct JpegErrors {
    jpeg_error_mgr manager;  // first, so that libjpeg's pointer to it is one to us
    std::jmp_buf recovery;
};

// Resets the manager to libjpeg's standard one with our exit handler and
// returns it for the `err` field. Warnings keep libjpeg's own handling.
jpeg_error_mgr* installJpegErrors(JpegErrors& errors);

// Makes the decompressor raise an error once a file goes past kMaxJpegScans
// scans. `monitor` must live as long as the decompressor.
void limitJpegScans(jpeg_decompress_struct& decompressor, jpeg_progress_mgr& monitor);

}  // namespace imgconv
