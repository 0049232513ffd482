// Hostile and awkward servers on loopback: every request completes or fails at once, and
// no answer is taken from where it must not come.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "DefaultsMemory.h"
#include "FakeDesktop.h"
#include "LocaleFixed.h"
#include "LoopbackServer.h"
#include "engine/HttpFetch.h"
#include "engine/Promt.h"
#include "engine/SelfTranslators.h"

namespace lexoria {
namespace {

using test::CannedAnswer;
using test::LoopbackServer;

HttpOptions trusting(const LoopbackServer& server, double timeoutSeconds) {
    HttpOptions options;
    options.caFile = server.caFile();
    options.timeoutSeconds = timeoutSeconds;
    return options;
}

// A Google or Yandex request for a long Cyrillic text: its URL alone is over 128 KiB.
TEST(HostileNetwork, AnHttpsRequestOverTwiceTheUploadBufferGoesOutWhole) {
    LoopbackServer server(LoopbackServer::Scheme::https);
    const std::string url = server.baseUrl() + "/translate_a/t?q=" + std::string(300000, 'a');
    const auto start = std::chrono::steady_clock::now();
    const std::optional<HttpAnswer> answer = httpGet(url, trusting(server, 20), "test");
    ASSERT_TRUE(answer) << "the request did not go out whole";
    // The loopback server reads the whole request before it refuses a URI of that size.
    EXPECT_EQ(answer->status, 414);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(HostileNetwork, AUrlTooLongForAnyRequestFailsAtOnceWithALogLine) {
    LoopbackServer server(LoopbackServer::Scheme::https);
    test::LogLines log;
    HttpOptions options = trusting(server, 20);
    options.log = &log;
    const std::string url = server.baseUrl() + "/t?q=" + std::string(kMaxUrlBytes, 'a');
    EXPECT_EQ(httpGet(url, options, "test"), std::nullopt);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("not sent"), std::string::npos) << log.lines[0];
    EXPECT_NE(log.lines[0].find(server.baseUrl()), std::string::npos) << log.lines[0];
    EXPECT_TRUE(server.requests().empty());
}

TEST(HostileNetwork, ARedirectFromHttpsToPlainHttpIsRefused) {
    LoopbackServer secure(LoopbackServer::Scheme::https);
    LoopbackServer plain;
    plain.answer("/t", {200, "text/plain", "written by whoever is on the path"});
    secure.answer("/t", {302, "text/html", "", {{"Location", plain.baseUrl() + "/t"}}});
    EXPECT_EQ(httpGet(secure.baseUrl() + "/t", trusting(secure, 20), "test"), std::nullopt);
    EXPECT_TRUE(plain.requests().empty());
    // Staying on https is still followed.
    LoopbackServer other(LoopbackServer::Scheme::https);
    other.answer("/t", {200, "text/plain", "fine"});
    secure.answer("/t", {302, "text/html", "", {{"Location", other.baseUrl() + "/t"}}});
    const std::optional<HttpAnswer> answer =
        httpGet(secure.baseUrl() + "/t", trusting(secure, 20), "test");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->body, "fine");
}

// Peak memory, in KiB, that `work` adds in a child process of its own.
long peakGrowthKiB(const std::function<void()>& work) {
    int out[2];
    if (::pipe(out) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        work();
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        const long growth = after.ru_maxrss - before.ru_maxrss;
        (void)!::write(out[1], &growth, sizeof growth);
        ::_exit(0);
    }
    ::close(out[1]);
    long growth = -1;
    if (::read(out[0], &growth, sizeof growth) != sizeof growth) {
        growth = -1;
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return growth;
}

TEST(HostileNetwork, DeeplyNestedJsonAnswersAreRefusedWithoutTheMemoryTheyAskFor) {
    const std::string deep = std::string(6000000, '[') + std::string(6000000, ']');
    const std::string wrapped = "{\"d\":" + deep + "}";
    const long promt = peakGrowthKiB([&] {
        if (promtTranslationOfAnswer(wrapped) != std::nullopt) {
            ::_exit(1);
        }
    });
    const long babylon = peakGrowthKiB([&] {
        test::DefaultsMemory defaults;
        test::LocaleFixed locale;
        EngineContext context{defaults, locale, {}, {}};
        SelfTranslators translators(context);
        translators.setOsnova("babylon.setTranslation('babylon'," + wrapped + ");");
        (void)translators.babylonHtmlStr();
    });
    EXPECT_GE(promt, 0);
    EXPECT_LT(promt, 64 * 1024) << "KiB for a 12 MB answer";
    EXPECT_GE(babylon, 0);
    // The extraction's own copies of the text, more under the address sanitizer.
    EXPECT_LT(babylon, 192 * 1024) << "KiB for a 12 MB answer";
    // Real answers nest a few levels.
    EXPECT_EQ(promtTranslationOfAnswer(R"({"d":{"resultNoTags":"ok","list":[[1]]}})"), "ok");
}

}  // namespace
}  // namespace lexoria
