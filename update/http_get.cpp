#include "update/http_get.h"

#include <curl/curl.h>

namespace update {
namespace {

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr long kConnectTimeoutSeconds = 10;
constexpr long kTransferTimeoutSeconds = 30;
constexpr long kMaxRedirects = 5;

size_t appendUpToLimit(char* data, size_t size, size_t count, void* target) {
    std::string& body = *static_cast<std::string*>(target);
    const size_t bytes = size * count;
    const size_t room = kMaxBodyBytes - body.size();
    if (bytes > room) {
        body.append(data, room);
        return 0;  // ends the transfer; the body stays as cut
    }
    body.append(data, bytes);
    return bytes;
}

// The easy handle of the first call, reset and reused by every later one.
class HttpSession {
  public:
    HttpSession() : handle_(curl_easy_init()) {
        headers_ = curl_slist_append(headers_, "Accept: */*");
        headers_ = curl_slist_append(headers_, "Pragma: no-cache");
        headers_ = curl_slist_append(headers_, "Cache-Control: no-cache");
    }
    ~HttpSession() {
        curl_slist_free_all(headers_);
        if (handle_ != nullptr) curl_easy_cleanup(handle_);
    }
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    std::string get(const std::string& url) {
        std::string body;
        if (handle_ == nullptr) return body;
        curl_easy_reset(handle_);
        const std::string encoded = percentEncodeUrl(url);
        curl_easy_setopt(handle_, CURLOPT_URL, encoded.c_str());
        curl_easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(handle_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(handle_, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(handle_, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(handle_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(handle_, CURLOPT_USERAGENT, kUserAgent);
        curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers_);
        curl_easy_setopt(handle_, CURLOPT_PROXY, "");
        curl_easy_setopt(handle_, CURLOPT_NOPROXY, "*");
        curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
        curl_easy_setopt(handle_, CURLOPT_TIMEOUT, kTransferTimeoutSeconds);
        curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, appendUpToLimit);
        curl_easy_setopt(handle_, CURLOPT_WRITEDATA, &body);
        // The result does not matter: a broken transfer keeps what arrived,
        // a failed connection leaves the body empty.
        curl_easy_perform(handle_);
        return body;
    }

  private:
    CURL* handle_;
    curl_slist* headers_ = nullptr;
};

}  // namespace

// The update document's name is Chinese: a server expects it as UTF-8
// percent escapes.
std::string percentEncodeUrl(const std::string& url) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (unsigned char c : url) {
        if (c > 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::string httpGetBytes(const std::string& url) {
    static HttpSession session;
    return session.get(url);
}

}  // namespace update
