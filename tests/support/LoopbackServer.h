#pragma once

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
    // Never answers: the request waits until the server stops, for client time-outs.
    bool hold = false;
};

struct RecordedRequest {
    std::string method;
    std::string target;  // raw path + query exactly as on the request line
    std::multimap<std::string, std::string> headers;
    std::string body;

    // Case-insensitive lookup; first value if the header was sent repeatedly.
    std::optional<std::string> header(const std::string& name) const;
};

// An HTTP or HTTPS server on 127.0.0.1 with an ephemeral port that serves canned
// answers and records every request it sees. HTTPS uses a certificate the build makes,
// which is also the only authority to trust (caFile()).
class LoopbackServer {
  public:
    enum class Scheme { http, https };

    // Returns once the server accepts connections; throws if it cannot start.
    explicit LoopbackServer(Scheme scheme = Scheme::http);
    ~LoopbackServer();

    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Keyed by the decoded path, for any method; other paths get 404 "not found".
    void answer(const std::string& path, CannedAnswer a);

    std::vector<RecordedRequest> requests() const;
    // The raw path and query of every request so far, in order.
    std::vector<std::string> targets() const;
    std::optional<RecordedRequest> lastRequest() const;

    std::string hostPort() const;  // "127.0.0.1:<port>"
    std::string baseUrl() const;   // "http://127.0.0.1:<port>" or "https://..."
    std::string caFile() const;    // PEM to trust for https; empty for http

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace lexoria::test
