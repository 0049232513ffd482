// The asynchronous PROMT client against a loopback server that answers as PROMT does;
// its events arrive on the virtual run loop.
#include <gtest/gtest.h>

#include "DefaultsMemory.h"
#include "FakeDesktop.h"
#include "LocaleFixed.h"
#include "LoopbackServer.h"
#include "RunLoopVirtual.h"
#include "engine/AsyncHttp.h"
#include "engine/Promt.h"
#include "engine/SelfTranslators.h"

namespace lexoria {
namespace {

using test::CannedAnswer;
using test::LoopbackServer;

const std::string kPath = "/services/TranslationService.asmx/GetTranslateNew";

class PromtClient : public ::testing::Test {
  protected:
    PromtClient() {
        context.addresses.promt = server.hostPort();
        defaults.values["autoDetectLang"] = "0";
    }

    // Runs the loop until every request has delivered its last event.
    void finishRequests() {
        while (async.running() > 0) {
            ASSERT_TRUE(loop.waitForPosted(std::chrono::seconds(10))) << "no event arrived";
        }
    }
    std::string translate(const std::string& text, const std::string& from = "en",
                          const std::string& to = "ru") {
        return SelfTranslators(context).setService("PROMT", text, from, to, std::nullopt, 1);
    }

    LoopbackServer server;
    test::RunLoopVirtual loop;
    test::DefaultsMemory defaults;
    test::LocaleFixed locale;
    test::LogLines log;
    HttpOptions http;
    AsyncHttp async{loop, http};
    EngineContext context{defaults, locale, {}, http, nullptr, &async, &log};
};

TEST_F(PromtClient, PostsTheTextAndLeavesTheAnswerInTheSettings) {
    server.answer(
        kPath,
        {200, "application/json; charset=utf-8",
         R"({"d":{"result":"<b>x</b>","resultNoTags":"\u043f\u0440\u0438\u0432\u0435\u0442\n\u043c\u0438\u0440"}})"});
    EXPECT_EQ(translate("hello & <world>"), "?\u00BF") << "the answer comes later";
    EXPECT_EQ(defaults.values.count("promt_"), 0u);
    finishRequests();
    EXPECT_EQ(defaults.values.at("promt_"),
              "\u043F\u0440\u0438\u0432\u0435\u0442\n\u043C\u0438\u0440");

    const auto request = server.lastRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "POST");
    EXPECT_EQ(request->target, kPath);
    const std::string body =
        "{dirCode:'en-ru',template:'General',text:'hello  and  "
        "\u2A7Dworld\u2A7E',lang:'ru',limit:3000,"
        "useAutoDetect:false,key:'',ts:'MainSite',tid:'',IsMobile:true}";
    EXPECT_EQ(request->body, body);
    EXPECT_EQ(request->header("Content-Type"), "application/json; charset=UTF-8");
    EXPECT_EQ(request->header("Content-Length"), std::to_string(body.size()));
}

TEST_F(PromtClient, ALongTextIsSentWholeWithTheLimitUnchangedAndNoExpectHeader) {
    server.answer(kPath, {200, "application/json", R"({"d":{"resultNoTags":"ok"}})"});
    const std::string text(std::size_t{1} << 20, 'a');  // libcurl asks to "Expect" above 1 MiB
    translate(text);
    finishRequests();
    EXPECT_NE(server.lastRequest()->body.find("text:'" + text + "',"), std::string::npos);
    EXPECT_NE(server.lastRequest()->body.find("limit:3000,"), std::string::npos);
    EXPECT_EQ(server.lastRequest()->header("Expect"), std::nullopt);
}

TEST_F(PromtClient, OnlyTheBodyAfterTheLastResponseIsRead) {
    Promt client(context);
    client.connectionDidReceiveResponse();
    client.connectionDidReceiveData(R"({"d":{"resultNoTags":"redirect page"}})");
    client.connectionDidReceiveResponse();
    client.connectionDidReceiveData(R"({"d":{"resultNoTags":)");
    client.connectionDidReceiveData(R"("final"}})");
    client.connectionDidFinishLoading();
    EXPECT_EQ(defaults.values.at("promt_"), "final");
    EXPECT_EQ(client.osnova(), "final");
}

TEST_F(PromtClient, FailuresStoreNothingAndLogOnce) {
    server.answer(kPath, {500, "text/html", "<html>Server Error</html>"});
    translate("x");
    finishRequests();
    EXPECT_EQ(defaults.values.count("promt_"), 0u) << "an answer that is no JSON object";
    EXPECT_TRUE(log.lines.empty());

    // No server: the client outlives the call that made it, to tell.
    {
        EngineContext shortLived{defaults, locale, {}, http, nullptr, &async, &log};
        shortLived.addresses.promt = "127.0.0.1:1";
        SelfTranslators(shortLived).setService("PROMT", "x", "en", "ru", std::nullopt, 1);
    }
    finishRequests();
    EXPECT_EQ(defaults.values.count("promt_"), 0u);
    EXPECT_EQ(log.lines, std::vector<std::string>{"something very bad happened here"});
}

TEST_F(PromtClient, AnErrorObjectStoresTheServicesMessageNotNull) {
    server.answer(
        kPath,
        {500, "application/json",
         R"({"Message":"There was an error processing the request.","StackTrace":"","ExceptionType":""})"});
    translate("x");
    finishRequests();
    EXPECT_EQ(defaults.values.at("promt_"), "There was an error processing the request.");
}

// A redirect that would turn the POST into a GET (which kept the hand-set Content-Length
// and waited for a body), or take the text to another server, is not followed.
TEST_F(PromtClient, ARedirectedPostIsFollowedOnlyAsAPostToTheSameServer) {
    LoopbackServer elsewhere;
    elsewhere.answer("/moved", {200, "application/json", R"({"d":{"resultNoTags":"elsewhere"}})"});
    server.answer("/moved", {200, "application/json", R"({"d":{"resultNoTags":"moved"}})"});
    const struct {
        int status;
        std::string location;
    } rows[] = {
        {301, "/moved"}, {302, "/moved"}, {303, "/moved"}, {307, elsewhere.baseUrl() + "/moved"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.status);
        const std::size_t before = server.targets().size();
        log.lines.clear();
        server.answer(kPath, {row.status, "text/html", "moved", {{"Location", row.location}}});
        translate("hello");
        finishRequests();
        const std::vector<std::string> targets = server.targets();
        EXPECT_EQ(
            std::vector<std::string>(targets.begin() + static_cast<long>(before), targets.end()),
            std::vector<std::string>{kPath});
        EXPECT_TRUE(log.lines.empty()) << log.lines.front();
        EXPECT_EQ(defaults.values.count("promt_"), 0u) << "no answer came";
    }
    EXPECT_TRUE(elsewhere.requests().empty());
}

TEST_F(PromtClient, ASilentServiceFailsAfterTheTimeOut) {
    server.answer(kPath, {200, "application/json", "{}", {}, /*hold=*/true});
    HttpOptions impatient;
    impatient.timeoutSeconds = 0.3;
    AsyncHttp quick(loop, impatient);
    EngineContext silent{defaults, locale, context.addresses, impatient, nullptr, &quick, &log};
    std::make_shared<Promt>(silent)->stringForTranslate("x", "en", "ru");
    while (quick.running() > 0) {
        ASSERT_TRUE(loop.waitForPosted(std::chrono::seconds(10)));
    }
    EXPECT_EQ(log.lines, std::vector<std::string>{"something very bad happened here"});
    EXPECT_EQ(defaults.values.count("promt_"), 0u);
}

}  // namespace
}  // namespace lexoria
