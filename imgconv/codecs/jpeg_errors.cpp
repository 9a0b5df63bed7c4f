#include "imgconv/codecs/jpeg_errors.h"

#include <jerror.h>

namespace imgconv {

namespace {

// Nothing is shown to the user: the message is dropped and the operation
// that set the recovery point turns the error into its 0 result.
[[noreturn]] void jumpToRecoveryPoint(j_common_ptr codec) {
    std::longjmp(reinterpret_cast<JpegErrors*>(codec->err)->recovery, 1);
}

void stopAfterTooManyScans(j_common_ptr codec) {
    if (!codec->is_decompressor) return;
    if (reinterpret_cast<j_decompress_ptr>(codec)->input_scan_number > kMaxJpegScans)
        ERREXIT(codec, JERR_NOTIMPL);
}

}  // namespace

jpeg_error_mgr* installJpegErrors(JpegErrors& errors) {
    jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpToRecoveryPoint;
    return &errors.manager;
}

void limitJpegScans(jpeg_decompress_struct& decompressor, jpeg_progress_mgr& monitor) {
    monitor = jpeg_progress_mgr{};
    monitor.progress_monitor = stopAfterTooManyScans;
    decompressor.progress = &monitor;
}

}  // namespace imgconv
