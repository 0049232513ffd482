#include "LoopbackServer.h"

#include <httplib.h>
#include <strings.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace lexoria::test {
namespace {

// The answer's Content-Type travels from the route handler to the post-routing hook
// under this name. Setting the real header in the handler would let httplib compress
// the body for clients that send Accept-Encoding, and leaving it out would make httplib
// invent "text/plain"; swapping it in after both decisions keeps the answer as canned.
constexpr const char* kPendingContentType = "X-Lexoria-Loopback-Content-Type";

bool isConnectionPseudoHeader(const std::string& name) {
    return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
           name == "LOCAL_PORT";
}

}  // namespace

std::optional<std::string> RecordedRequest::header(const std::string& name) const {
    for (const auto& [key, value] : headers) {
        if (strcasecmp(key.c_str(), name.c_str()) == 0)
            return value;
    }
    return std::nullopt;
}

struct LoopbackServer::Impl {
    Scheme scheme = Scheme::http;
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int port = -1;

    mutable std::mutex mutex;
    std::condition_variable stopped;
    bool stopping = false;
    std::map<std::string, CannedAnswer> answers;
    std::vector<RecordedRequest> recorded;

    void handle(const httplib::Request& req, httplib::Response& res) {
        RecordedRequest r{req.method, req.target, {}, req.body};
        for (const auto& [key, value] : req.headers) {
            if (!isConnectionPseudoHeader(key))
                r.headers.emplace(key, value);
        }
        std::unique_lock lock(mutex);
        recorded.push_back(std::move(r));
        const auto it = answers.find(req.path);
        CannedAnswer a{404, "text/plain", "not found", {}};
        if (it != answers.end()) {
            a = it->second;
        }
        if (a.hold) {
            stopped.wait(lock, [this] { return stopping; });
        }
        lock.unlock();
        res.status = a.status;
        res.body = a.body;
        // Always present, so the hook can tell our answers from httplib's own errors.
        res.set_header(kPendingContentType, a.contentType);
        for (const auto& [key, value] : a.headers) {
            const bool isType = strcasecmp(key.c_str(), "Content-Type") == 0;
            res.set_header(isType ? kPendingContentType : key.c_str(), value);
        }
    }
};

LoopbackServer::LoopbackServer(Scheme scheme) : impl_(std::make_unique<Impl>()) {
    Impl& impl = *impl_;
    impl.scheme = scheme;
    if (scheme == Scheme::https) {
        impl.server = std::make_unique<httplib::SSLServer>(LEXORIA_TEST_CERT, LEXORIA_TEST_KEY);
    } else {
        impl.server = std::make_unique<httplib::Server>();
    }
    if (!impl.server->is_valid()) {
        throw std::runtime_error("LoopbackServer: httplib server is not valid");
    }
    const httplib::Server::Handler handler =
        [&impl](const httplib::Request& req, httplib::Response& res) { impl.handle(req, res); };
    impl.server->Get(".*", handler).Post(".*", handler);
    // One request per connection, announced with "Connection: close": a client that keeps
    // connections alive would otherwise hold the server's stop for its keep-alive time.
    impl.server->set_keep_alive_max_count(1);
    impl.server->set_post_routing_handler([](const httplib::Request&, httplib::Response& res) {
        const auto pending = res.headers.find(kPendingContentType);
        if (pending == res.headers.end())
            return;
        const std::string type = pending->second;
        res.headers.erase(kPendingContentType);
        res.headers.erase("Content-Type");
        if (!type.empty())
            res.headers.emplace("Content-Type", type);
    });
    impl.port = impl.server->bind_to_any_port("127.0.0.1");
    if (impl.port <= 0) {
        throw std::runtime_error("LoopbackServer: cannot bind 127.0.0.1");
    }
    impl.thread = std::thread([&impl] { impl.server->listen_after_bind(); });
    // stop() does nothing before the accept loop runs.
    while (!impl.server->is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

LoopbackServer::~LoopbackServer() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopping = true;
    }
    impl_->stopped.notify_all();
    impl_->server->stop();
    impl_->thread.join();
}

void LoopbackServer::answer(const std::string& path, CannedAnswer a) {
    std::lock_guard lock(impl_->mutex);
    impl_->answers[path] = std::move(a);
}

std::vector<RecordedRequest> LoopbackServer::requests() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->recorded;
}

std::vector<std::string> LoopbackServer::targets() const {
    std::vector<std::string> seen;
    for (const auto& request : requests()) {
        seen.push_back(request.target);
    }
    return seen;
}

std::optional<RecordedRequest> LoopbackServer::lastRequest() const {
    std::lock_guard lock(impl_->mutex);
    if (impl_->recorded.empty())
        return std::nullopt;
    return impl_->recorded.back();
}

std::string LoopbackServer::hostPort() const {
    return "127.0.0.1:" + std::to_string(impl_->port);
}

std::string LoopbackServer::baseUrl() const {
    return (impl_->scheme == Scheme::https ? "https://" : "http://") + hostPort();
}

std::string LoopbackServer::caFile() const {
    return impl_->scheme == Scheme::https ? LEXORIA_TEST_CERT : "";
}

}  // namespace lexoria::test
