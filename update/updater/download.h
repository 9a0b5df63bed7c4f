#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace updater {

// Called while a download runs with the bytes received and the expected
// total (0 while unknown).
using DownloadProgress = std::function<void(int64_t received, int64_t total)>;

// Only https, or plain http to a loopback address (127.0.0.0/8, ::1): a
// program fetched over plain http from elsewhere could be swapped on the way.
bool isAllowedDownloadAddress(const std::string& url);

// GET of `url` into the open file `fd`. Redirects are followed to https
// addresses only. False, with `error` in plain words, when the connection or
// the transfer fails, the server answers with a status other than 2xx, or the
// file cannot be written.
bool downloadToFile(const std::string& url, int fd, const DownloadProgress& progress,
                    std::string& error);

}  // namespace updater
