#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lanzhou::test {

// An HTTP server on 127.0.0.1 for the update tests. Each connection's request
// head is read and recorded, then `respond` gives the raw bytes to send
// (status line, headers and body as the test wants them, a cut-off transfer
// included); the connection is closed after them.
class LoopbackHttpServer {
  public:
    using Responder = std::function<std::string(const std::string& requestHead)>;

    explicit LoopbackHttpServer(Responder respond);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:PORT" + path.
    std::string url(const std::string& path) const;
    std::vector<std::string> requests() const;

    // A whole answer: status line, Content-Length and Content-Type, body.
    static std::string response(int status, const std::string& body,
                                const std::string& contentType = "text/xml");

  private:
    void serve();
    void answer(int connection);

    Responder respond_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens.
int closedLoopbackPort();

}  // namespace lanzhou::test
