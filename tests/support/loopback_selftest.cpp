#include "LoopbackServer.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <future>
#include <string>

namespace {

using lexoria::test::CannedAnswer;
using lexoria::test::LoopbackServer;
using namespace std::chrono_literals;

std::string allByteValues(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>(i * 7 % 256);
    return s;
}

TEST(LoopbackServer, ServesCannedAnswerVerbatim) {
    LoopbackServer server;
    const std::string body = "h\xC3\xA9llo \xFF\xFE\0 end" + std::string(2000, 'a');
    server.answer("/t", {201, "application/json", body, {{"X-Extra", "1"}}});

    httplib::Client cli(server.baseUrl());
    // Would make httplib compress text bodies if the server allowed it.
    auto res = cli.Get("/t", {{"Accept-Encoding", "gzip, deflate, br"}});
    ASSERT_TRUE(res) << httplib::to_string(res.error());
    EXPECT_EQ(res->status, 201);
    EXPECT_EQ(res->get_header_value_count("Content-Type"), 1u);
    EXPECT_EQ(res->get_header_value("Content-Type"), "application/json");
    EXPECT_FALSE(res->has_header("Content-Encoding"));
    EXPECT_EQ(res->get_header_value("X-Extra"), "1");
    EXPECT_EQ(res->body, body);
}

TEST(LoopbackServer, EmptyContentTypeSendsNoneAndLargeBodiesStayExact) {
    LoopbackServer server;
    const std::string big = allByteValues(17u << 20);
    server.answer("/big", {200, "", big, {}});

    httplib::Client cli(server.baseUrl());
    auto res = cli.Get("/big");
    ASSERT_TRUE(res) << httplib::to_string(res.error());
    EXPECT_FALSE(res->has_header("Content-Type"));
    EXPECT_FALSE(res->has_header("X-Lexoria-Loopback-Content-Type"));
    EXPECT_EQ(res->get_header_value("Content-Length"), std::to_string(big.size()));
    EXPECT_TRUE(res->body == big);
}

TEST(LoopbackServer, RecordsRequestsExactlyAsSent) {
    LoopbackServer server;
    server.answer("/a", {});

    httplib::Client cli(server.baseUrl());
    cli.set_url_encode(false);
    auto res = cli.Post("/a?b=%20c", {{"X-Token", "abc"}}, std::string("x\0y", 3),
                        "application/octet-stream");
    ASSERT_TRUE(res) << httplib::to_string(res.error());

    auto all = server.requests();
    ASSERT_EQ(all.size(), 1u);
    const auto& r = all.front();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, "/a?b=%20c");
    EXPECT_EQ(r.path, "/a");
    EXPECT_EQ(r.body, std::string("x\0y", 3));
    EXPECT_EQ(r.header("x-token"), "abc");
    EXPECT_EQ(r.header("CONTENT-TYPE"), "application/octet-stream");
    EXPECT_EQ(r.header("Host"), server.hostPort());
    EXPECT_FALSE(r.header("REMOTE_ADDR"));
    EXPECT_FALSE(r.header("LOCAL_PORT"));
    EXPECT_EQ(server.lastRequest()->target, r.target);
}

TEST(LoopbackServer, RoutesByDecodedPathForEveryMethod) {
    LoopbackServer server;
    server.answer("/x y", {202, "text/plain", "first", {}});
    server.answer("/x y", {203, "text/plain", "replaced", {}});

    httplib::Client cli(server.baseUrl());
    cli.set_url_encode(false);
    for (const auto& res : {cli.Get("/x%20y"), cli.Post("/x%20y", "p", "text/plain"),
                            cli.Put("/x%20y", "p", "text/plain"), cli.Delete("/x%20y")}) {
        ASSERT_TRUE(res) << httplib::to_string(res.error());
        EXPECT_EQ(res->status, 203);
        EXPECT_EQ(res->body, "replaced");
    }
    auto all = server.requests();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[3].method, "DELETE");
}

TEST(LoopbackServer, UnknownPathIs404ButRecordedUntilDefaultIsSet) {
    LoopbackServer server;
    httplib::Client cli(server.baseUrl());

    auto res = cli.Get("/nope?q=1");
    ASSERT_TRUE(res) << httplib::to_string(res.error());
    EXPECT_EQ(res->status, 404);
    EXPECT_EQ(res->body, "not found");
    ASSERT_TRUE(server.lastRequest());
    EXPECT_EQ(server.lastRequest()->target, "/nope?q=1");

    server.answerDefault({200, "text/html", "fallback", {}});
    res = cli.Get("/other");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->body, "fallback");
    EXPECT_EQ(server.requests().size(), 2u);

    server.clearRequests();
    EXPECT_TRUE(server.requests().empty());
    EXPECT_FALSE(server.lastRequest());
}

TEST(LoopbackServer, HttpsIsVerifiedAgainstGeneratedCertificate) {
    LoopbackServer server(LoopbackServer::Scheme::https);
    ASSERT_EQ(server.baseUrl(), "https://" + server.hostPort());
    ASSERT_FALSE(server.caFile().empty());
    server.answer("/s", {200, "text/plain", "secret", {}});

    httplib::SSLClient trusting("127.0.0.1", server.port());
    trusting.set_ca_cert_path(server.caFile().c_str());
    trusting.enable_server_certificate_verification(true);
    auto res = trusting.Get("/s");
    ASSERT_TRUE(res) << httplib::to_string(res.error());
    EXPECT_EQ(res->body, "secret");

    // Proves verification is really in force rather than silently skipped.
    httplib::SSLClient untrusting("127.0.0.1", server.port());
    untrusting.enable_server_certificate_verification(true);
    auto refused = untrusting.Get("/s");
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.error(), httplib::Error::SSLServerVerification);
}

TEST(LoopbackServer, HeldAnswerWaitsForRelease) {
    LoopbackServer server;
    CannedAnswer held{200, "text/plain", "late", {}};
    held.hold = true;
    server.answer("/slow", held);

    httplib::Client impatient(server.baseUrl());
    impatient.set_read_timeout(200ms);
    auto timedOut = impatient.Get("/slow");
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(timedOut.error(), httplib::Error::Read);

    auto pending = std::async(std::launch::async, [&] {
        httplib::Client cli(server.baseUrl());
        return cli.Get("/slow");
    });
    ASSERT_TRUE(server.waitForRequests(2));
    EXPECT_EQ(pending.wait_for(50ms), std::future_status::timeout);
    server.release();
    auto res = pending.get();
    ASSERT_TRUE(res) << httplib::to_string(res.error());
    EXPECT_EQ(res->body, "late");
}

TEST(LoopbackServer, ShutdownReleasesHeldAnswer) {
    std::future<httplib::Result> pending;
    {
        LoopbackServer server;
        CannedAnswer held{200, "text/plain", "bye", {}};
        held.hold = true;
        server.answerDefault(held);
        pending = std::async(std::launch::async, [url = server.baseUrl()] {
            httplib::Client cli(url);
            return cli.Get("/any");
        });
        ASSERT_TRUE(server.waitForRequests(1));
    }
    auto res = pending.get();
    ASSERT_TRUE(res) << httplib::to_string(res.error());
    EXPECT_EQ(res->body, "bye");
}

}  // namespace
