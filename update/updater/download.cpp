#include "update/updater/download.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <errno.h>
#include <unistd.h>

#include <cstring>

#include "update/http_get.h"

namespace updater {
namespace {

constexpr long kConnectTimeoutSeconds = 10;
// A transfer slower than one byte a second for this long has stalled.
constexpr long kStallSeconds = 30;
constexpr long kMaxRedirects = 5;

struct Transfer {
    int fd;
    const DownloadProgress* progress;
    int writeErrno = 0;
};

size_t writeToFile(char* data, size_t size, size_t count, void* context) {
    Transfer& transfer = *static_cast<Transfer*>(context);
    const size_t bytes = size * count;
    size_t done = 0;
    while (done < bytes) {
        const ssize_t written = write(transfer.fd, data + done, bytes - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            transfer.writeErrno = written < 0 ? errno : ENOSPC;
            return 0;
        }
        done += static_cast<size_t>(written);
    }
    return bytes;
}

int reportProgress(void* context, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) {
    const Transfer& transfer = *static_cast<Transfer*>(context);
    if (*transfer.progress) (*transfer.progress)(received, total);
    return 0;
}

// What went wrong in a few words, libcurl's own account after it.
std::string transferFailure(CURLcode result, const char* detail) {
    const char* what = "下载失败";
    switch (result) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
            what = "无法连接下载服务器";
            break;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_OPERATION_TIMEDOUT:
            what = "下载中断";
            break;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
            what = "无法与下载服务器建立安全连接";
            break;
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_TOO_MANY_REDIRECTS:
            what = "下载地址转去了不接受的地方";
            break;
        default:
            break;
    }
    return std::string(what) + "（" + (detail[0] != '\0' ? detail : curl_easy_strerror(result)) +
           "）";
}

bool isLoopbackHost(const std::string& host) {
    if (host == "[::1]") return true;
    unsigned char address[4];
    return inet_pton(AF_INET, host.c_str(), address) == 1 && address[0] == 127;
}

std::string urlPart(CURLU* url, CURLUPart part) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, 0) != CURLUE_OK) return "";
    std::string value = text;
    curl_free(text);
    return value;
}

}  // namespace

bool isAllowedDownloadAddress(const std::string& url) {
    CURLU* parsed = curl_url();
    if (parsed == nullptr) return false;
    bool allowed = false;
    if (curl_url_set(parsed, CURLUPART_URL, update::percentEncodeUrl(url).c_str(), 0) ==
        CURLUE_OK) {
        const std::string scheme = urlPart(parsed, CURLUPART_SCHEME);
        const std::string host = urlPart(parsed, CURLUPART_HOST);
        allowed =
            !host.empty() && (scheme == "https" || (scheme == "http" && isLoopbackHost(host)));
    }
    curl_url_cleanup(parsed);
    return allowed;
}

bool downloadToFile(const std::string& url, int fd, const DownloadProgress& progress,
                    std::string& error) {
    CURL* handle = curl_easy_init();
    if (handle == nullptr) {
        error = "无法开始下载";
        return false;
    }
    Transfer transfer{fd, &progress};
    char curlError[CURL_ERROR_SIZE] = "";
    const std::string encoded = update::percentEncodeUrl(url);
    curl_easy_setopt(handle, CURLOPT_URL, encoded.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(handle, CURLOPT_PROXY, "");
    curl_easy_setopt(handle, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "lanzhou-updater");
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, curlError);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, reportProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    const CURLcode result = curl_easy_perform(handle);
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(handle);

    if (transfer.writeErrno != 0) {
        error = std::string("无法写入下载的文件：") + std::strerror(transfer.writeErrno);
        return false;
    }
    if (result != CURLE_OK) {
        error = transferFailure(result, curlError);
        return false;
    }
    if (status < 200 || status > 299) {
        error = "下载失败：服务器回答 " + std::to_string(status);
        return false;
    }
    return true;
}

}  // namespace updater
