#pragma once

// The recovery point of the JPEG codec: libjpeg reports an error by calling
// the error manager's exit handler, which must not return into libjpeg. Ours
// jumps back to the point the running codec operation set with setjmp.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace imgconv {

// Every scan of a progressive file passes over the whole picture, and a scan
// can take a few bytes: without a limit a small file keeps the decoder busy
// for minutes. libjpeg-turbo suggests this limit for files it does not trust.
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
