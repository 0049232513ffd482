#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lexoria::test {

struct CannedAnswer {
    int status = 200;
    // Sent verbatim; an empty string means no Content-Type header at all.
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    // Extra response headers, e.g. Location for redirects.
    std::vector<std::pair<std::string, std::string>> headers;
    // Keeps the request waiting until release() or server shutdown, so client
    // time-outs can be tested without sleeping.
    bool hold = false;
};

struct RecordedRequest {
    std::string method;
    std::string target;  // raw path + query exactly as on the request line
    std::string path;    // percent-decoded path
    std::multimap<std::string, std::string> headers;
    std::string body;

    // Case-insensitive lookup; first value if the header was sent repeatedly.
    std::optional<std::string> header(const std::string& name) const;
};

// An HTTP or HTTPS server on 127.0.0.1 with an ephemeral port that serves
// canned answers and records every request it sees.
class LoopbackServer {
  public:
    enum class Scheme { http, https };

    // Returns once the server accepts connections; throws if it cannot start.
    explicit LoopbackServer(Scheme scheme = Scheme::http);
    ~LoopbackServer();

    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Keyed by the decoded path, for any method. Replaces an earlier answer.
    void answer(const std::string& path, CannedAnswer a);
    // Used for paths without their own answer; without it those get 404.
    void answerDefault(CannedAnswer a);

    std::vector<RecordedRequest> requests() const;
    // The raw path and query of every request so far, in order.
    std::vector<std::string> targets() const;
    std::optional<RecordedRequest> lastRequest() const;
    void clearRequests();
    // Blocks until at least `count` requests were recorded since the last
    // clearRequests(); false on time-out. Needed to release a held request
    // only after it really arrived.
    bool waitForRequests(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    // Lets every request that has been recorded so far and is being held
    // answer. Requests arriving later are held again.
    void release();

    int port() const;
    std::string hostPort() const;  // "127.0.0.1:<port>"
    std::string baseUrl() const;   // "http://127.0.0.1:<port>" or "https://..."
    std::string caFile() const;    // PEM to trust for https; empty for http

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace lexoria::test
