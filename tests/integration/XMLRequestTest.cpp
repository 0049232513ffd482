#include <gtest/gtest.h>

#include "LoopbackServer.h"
#include "engine/XMLRequest.h"

namespace lexoria {
namespace {

using test::CannedAnswer;
using test::LoopbackServer;

// "Привет" in the Cyrillic code page windows-1251.
const std::string kPrivetCp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
const std::string kPrivet = "\u041F\u0440\u0438\u0432\u0435\u0442";

class XMLRequestTest : public ::testing::Test {
  protected:
    std::optional<std::string> fetch(const std::string& url, HttpOptions options = {}) {
        XMLRequest request(std::move(options));
        request.request(url);
        return request.returnDataStr();
    }
    std::optional<std::string> serve(CannedAnswer answer) {
        server.answer("/page", std::move(answer));
        return fetch(server.baseUrl() + "/page");
    }

    LoopbackServer server;
};

TEST_F(XMLRequestTest, DecodesWithTheDeclaredCharacterSet) {
    EXPECT_EQ(serve({200, "text/html; charset=windows-1251", kPrivetCp1251}), kPrivet);
    EXPECT_EQ(serve({200, "text/html; charset=\"WINDOWS-1251\"", kPrivetCp1251}), kPrivet);
    EXPECT_EQ(serve({200, "text/xml;charset=KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4"}), kPrivet);
    EXPECT_EQ(serve({200, "text/plain; charset=ISO-8859-1", "caf\xE9"}), "caf\u00E9");
    EXPECT_EQ(serve({200, "text/html; level; charset = windows-1251 ; q=1", kPrivetCp1251}),
              kPrivet);
}

TEST_F(XMLRequestTest, MissingOrUnknownCharacterSetsMeanUtf8) {
    EXPECT_EQ(serve({200, "text/html", kPrivet}), kPrivet);
    EXPECT_EQ(serve({200, "", kPrivet}), kPrivet);
    EXPECT_EQ(serve({200, "text/html; charset=x-no-such-set", kPrivet}), kPrivet);
    EXPECT_EQ(serve({200, "text/html; charset=", kPrivet}), kPrivet);
}

TEST_F(XMLRequestTest, UndecodableBodiesAreTheEmptyTextAndErrorPagesTheirBody) {
    EXPECT_EQ(serve({200, "text/html; charset=utf-8", "ok\xFF\xFE"}), "");
    EXPECT_EQ(serve({200, "text/html", kPrivetCp1251}), "") << "windows-1251 bytes read as UTF-8";
    EXPECT_EQ(serve({200, "text/plain; charset=us-ascii", "caf\xE9"}), "");
    EXPECT_EQ(serve({200, "text/html", ""}), "") << "an empty body is a text";
    EXPECT_EQ(serve({500, "text/plain", "server trouble"}), "server trouble") << "any status";
    EXPECT_EQ(fetch(server.baseUrl() + "/unknown"), "not found");
}

TEST_F(XMLRequestTest, NoAnswerIsNothing) {
    EXPECT_EQ(fetch(""), std::nullopt);
    EXPECT_EQ(fetch(server.baseUrl() + "/a b"), std::nullopt) << "a space makes no URL";
    EXPECT_EQ(fetch(server.baseUrl() + "/%zz"), std::nullopt);
    EXPECT_EQ(fetch("ftp://" + server.hostPort() + "/"), std::nullopt);
    EXPECT_EQ(fetch("not a url"), std::nullopt);
    EXPECT_TRUE(server.requests().empty()) << "none of these reached the server";
    EXPECT_EQ(fetch("http://127.0.0.1:1/"), std::nullopt);
}

TEST_F(XMLRequestTest, SendsAPlainGetWithItsOwnUserAgentOnly) {
    server.answer("/t", {200, "text/plain", "x"});
    ASSERT_EQ(fetch(server.baseUrl() + "/t?text=%D0%BF&lang=en-ru"), "x");
    const auto request = server.lastRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "GET");
    EXPECT_EQ(request->target, "/t?text=%D0%BF&lang=en-ru");
    EXPECT_EQ(request->header("User-Agent"), "Lexoria/3.0.2");
    for (const auto& [name, value] : request->headers) {
        EXPECT_TRUE(name == "Host" || name == "User-Agent" || name == "Accept")
            << name << ": " << value;
    }
}

TEST_F(XMLRequestTest, FollowsRedirectsAndUsesTheFinalAnswer) {
    server.answer("/old", {302, "text/html; charset=utf-8", "moved", {{"Location", "/new"}}});
    server.answer("/new", {200, "text/html; charset=windows-1251", kPrivetCp1251});
    EXPECT_EQ(fetch(server.baseUrl() + "/old"), kPrivet);
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST_F(XMLRequestTest, AnswersBeyondSixteenMebibytesCountAsNone) {
    const std::size_t limit = std::size_t{16} << 20;
    const auto atLimit = serve({200, "text/plain", std::string(limit, 'a')});
    ASSERT_TRUE(atLimit);
    EXPECT_EQ(atLimit->size(), limit);
    EXPECT_EQ(serve({200, "text/plain", std::string(limit + 1, 'a')}), std::nullopt);
}

TEST_F(XMLRequestTest, ASilentServerEndsInTheTimeOut) {
    server.answer("/slow", {200, "text/plain", "late", {}, /*hold=*/true});
    HttpOptions options;
    options.timeoutSeconds = 0.3;
    EXPECT_EQ(fetch(server.baseUrl() + "/slow", options), std::nullopt);
}

TEST(XMLRequestHttps, VerifiesTheServerAgainstTheGivenAuthorities) {
    LoopbackServer secure(LoopbackServer::Scheme::https);
    secure.answer("/s", {200, "text/plain; charset=utf-8", "secret"});
    HttpOptions trusting;
    trusting.caFile = secure.caFile();
    XMLRequest trusted(trusting);
    trusted.request(secure.baseUrl() + "/s");
    EXPECT_EQ(trusted.returnDataStr(), "secret");

    XMLRequest untrusted;  // the system's authorities do not know the test certificate
    untrusted.request(secure.baseUrl() + "/s");
    EXPECT_EQ(untrusted.returnDataStr(), std::nullopt);
}

}  // namespace
}  // namespace lexoria
