#include "LoopbackServer.h"

#include "TestCertificate.h"

#include <httplib.h>

#include <strings.h>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace lexoria::test {
namespace {

using namespace std::chrono_literals;

// The answer's Content-Type travels from the route handler to the
// post-routing hook under this name. Setting the real header in the handler
// would let httplib compress the body for clients that send Accept-Encoding,
// and leaving it out would make httplib invent "text/plain"; swapping it in
// after both of those decisions keeps the bytes and headers exactly as canned.
constexpr const char* kPendingContentType = "X-Lexoria-Loopback-Content-Type";

bool isConnectionPseudoHeader(const std::string& name) {
    return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
           name == "LOCAL_PORT";
}

// Key generation and signing cost enough to matter when every HTTPS test
// builds its own server, and one certificate serves them all.
const TestCertificate& sharedCertificate() {
    static const TestCertificate certificate;
    return certificate;
}

CannedAnswer notFound() {
    CannedAnswer a;
    a.status = 404;
    a.body = "not found";
    return a;
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
    std::atomic<bool> listenReturned{false};
    int port = -1;

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::map<std::string, std::shared_ptr<const CannedAnswer>> answers;
    std::shared_ptr<const CannedAnswer> fallback = std::make_shared<const CannedAnswer>(notFound());
    std::vector<RecordedRequest> recorded;
    // Every request gets a ticket when it is recorded; release() frees all
    // tickets issued so far. Tying the two together under one lock means a
    // request seen in requests() can never miss a later release().
    std::uint64_t ticketsIssued = 0;
    std::uint64_t releasedUpTo = 0;
    bool stopping = false;

    void handle(const httplib::Request& req, httplib::Response& res);
};

void LoopbackServer::Impl::handle(const httplib::Request& req, httplib::Response& res) {
    RecordedRequest r;
    r.method = req.method;
    r.target = req.target;
    r.path = req.path;
    r.body = req.body;
    for (const auto& [key, value] : req.headers) {
        if (!isConnectionPseudoHeader(key))
            r.headers.emplace(key, value);
    }

    std::shared_ptr<const CannedAnswer> a;
    {
        std::unique_lock lock(mutex);
        auto it = answers.find(req.path);
        a = it != answers.end() ? it->second : fallback;
        recorded.push_back(std::move(r));
        const std::uint64_t ticket = ++ticketsIssued;
        changed.notify_all();
        if (a->hold) {
            changed.wait(lock, [&] { return stopping || releasedUpTo >= ticket; });
        }
    }

    res.status = a->status;
    res.body = a->body;
    // The marker is always present (possibly empty) so the post-routing hook
    // can tell our answers apart from httplib's own error responses.
    res.set_header(kPendingContentType, a->contentType);
    for (const auto& [key, value] : a->headers) {
        const bool isType = strcasecmp(key.c_str(), "Content-Type") == 0;
        res.set_header(isType ? kPendingContentType : key.c_str(), value);
    }
}

LoopbackServer::LoopbackServer(Scheme scheme) : impl_(std::make_unique<Impl>()) {
    Impl& impl = *impl_;
    impl.scheme = scheme;
    if (scheme == Scheme::https) {
        const TestCertificate& cert = sharedCertificate();
        impl.server =
            std::make_unique<httplib::SSLServer>(cert.certFile().c_str(), cert.keyFile().c_str());
    } else {
        impl.server = std::make_unique<httplib::Server>();
    }
    if (!impl.server->is_valid()) {
        throw std::runtime_error("LoopbackServer: httplib server is not valid");
    }

    // Held answers each pin a worker, so allow a few more than the default in
    // case a test piles up several timed-out requests.
    impl.server->new_task_queue = [] { return new httplib::ThreadPool(16); };

    const httplib::Server::Handler handler =
        [&impl](const httplib::Request& req, httplib::Response& res) { impl.handle(req, res); };
    // One catch-all route per method; the per-path lookup happens in handle()
    // against the decoded path.
    impl.server->Get(".*", handler)
        .Post(".*", handler)
        .Put(".*", handler)
        .Patch(".*", handler)
        .Delete(".*", handler)
        .Options(".*", handler);
    impl.server->set_post_routing_handler([](const httplib::Request&, httplib::Response& res) {
        auto [first, last] = res.headers.equal_range(kPendingContentType);
        if (first == last)
            return;
        std::vector<std::string> types;
        for (auto it = first; it != last; ++it) {
            if (!it->second.empty())
                types.push_back(it->second);
        }
        res.headers.erase(kPendingContentType);
        res.headers.erase("Content-Type");
        for (auto& type : types)
            res.headers.emplace("Content-Type", type);
    });

    impl.port = impl.server->bind_to_any_port("127.0.0.1");
    if (impl.port <= 0) {
        throw std::runtime_error("LoopbackServer: cannot bind 127.0.0.1");
    }
    impl.thread = std::thread([&impl] {
        impl.server->listen_after_bind();
        impl.listenReturned = true;
    });

    // stop() is a no-op until the accept loop runs, so the constructor must not
    // return (or bail out) before that point.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!impl.server->is_running() && !impl.listenReturned &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    if (!impl.server->is_running()) {
        while (!impl.listenReturned) {
            impl.server->stop();
            std::this_thread::sleep_for(1ms);
        }
        impl.thread.join();
        throw std::runtime_error("LoopbackServer: server did not start");
    }
}

LoopbackServer::~LoopbackServer() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopping = true;
    }
    impl_->changed.notify_all();
    impl_->server->stop();
    impl_->thread.join();
}

void LoopbackServer::answer(const std::string& path, CannedAnswer a) {
    auto shared = std::make_shared<const CannedAnswer>(std::move(a));
    std::lock_guard lock(impl_->mutex);
    impl_->answers[path] = std::move(shared);
}

void LoopbackServer::answerDefault(CannedAnswer a) {
    auto shared = std::make_shared<const CannedAnswer>(std::move(a));
    std::lock_guard lock(impl_->mutex);
    impl_->fallback = std::move(shared);
}

std::vector<RecordedRequest> LoopbackServer::requests() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->recorded;
}

std::optional<RecordedRequest> LoopbackServer::lastRequest() const {
    std::lock_guard lock(impl_->mutex);
    if (impl_->recorded.empty())
        return std::nullopt;
    return impl_->recorded.back();
}

void LoopbackServer::clearRequests() {
    std::lock_guard lock(impl_->mutex);
    impl_->recorded.clear();
}

bool LoopbackServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout, [&] { return impl_->recorded.size() >= count; });
}

void LoopbackServer::release() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->releasedUpTo = impl_->ticketsIssued;
    }
    impl_->changed.notify_all();
}

int LoopbackServer::port() const {
    return impl_->port;
}

std::string LoopbackServer::hostPort() const {
    return "127.0.0.1:" + std::to_string(impl_->port);
}

std::string LoopbackServer::baseUrl() const {
    return (impl_->scheme == Scheme::https ? "https://" : "http://") + hostPort();
}

std::string LoopbackServer::caFile() const {
    return impl_->scheme == Scheme::https ? sharedCertificate().certFile() : std::string();
}

std::vector<std::string> LoopbackServer::targets() const {
    std::vector<std::string> seen;
    for (const auto& request : requests()) {
        seen.push_back(request.target);
    }
    return seen;
}

}  // namespace lexoria::test
