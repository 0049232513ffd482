#include <gtest/gtest.h>

#include "AppHarness.h"
#include "engine/ServiceKeys.h"

namespace lexoria {
namespace {

using test::AppHarness;
using test::CannedAnswer;

const std::string kNotice = " This version of Lexoria is no longer supported . Please update .";

CannedAnswer manifest(const std::string& members) {
    return {200, "application/xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + members +
                "</dict></plist>"};
}

class UpdateCheck : public ::testing::Test, protected AppHarness {
  protected:
    void fromSiteBuild(const std::string& version) {
        overrideResource("Info.plist",
                         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                         "<key>fromsite</key><true/><key>CFBundleShortVersionString</key><string>" +
                             version + "</string></dict></plist>");
    }
};

TEST_F(UpdateCheck, AMatchingVersionGoesOn) {
    started();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"MAC version ", "?"}));
    EXPECT_EQ(site.targets(), (std::vector<std::string>{"/lx.plist", "/", "/lx.plist"}));
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_FALSE(application.terminated);
    EXPECT_TRUE(app().isRequest());
    EXPECT_EQ(ui.toolbar.items.size(), 4u);
}

TEST_F(UpdateCheck, AnotherVersionEndsTheProgramWithEitherButton) {
    site.answer("/lx.plist", manifest("<key>version</key><string>3.0.3</string>"));
    defaults.values = {{"rirstrun", "(null)"}, {"rightSim", "en"}};
    alerts.answers = {0};
    started();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].messageText, "Lexoria");
    EXPECT_EQ(alerts.shown[0].informativeText, kNotice) << "English stays as it is";
    EXPECT_EQ(alerts.shown[0].buttons,
              (std::vector<std::string>{"Download new version", "Cancel"}));
    EXPECT_EQ(workspace.opened,
              std::vector<std::string>{"http://" + site.hostPort() +
                                       "/data/uploads/lexoriasource/translator.dmg"});
    EXPECT_TRUE(application.terminated);
    EXPECT_TRUE(statusBar.items.empty()) << "start-up stopped at the check";
    EXPECT_EQ(serviceRequests(), 0u);

    for (const int answer : {1, kAlertClosed}) {  // closing the notice is its "Cancel"
        AppHarness cancelled;
        cancelled.site.answer("/lx.plist", manifest("<key>version</key><string>2.9</string>"));
        cancelled.defaults.values = {{"rirstrun", "(null)"}, {"rightSim", "en"}};
        cancelled.alerts.answers = {answer};
        cancelled.started();
        EXPECT_TRUE(cancelled.workspace.opened.empty()) << answer;
        EXPECT_TRUE(cancelled.application.terminated) << answer;
    }
}

TEST_F(UpdateCheck, TheNoticeIsTranslatedIntoTheUsersLanguage) {
    site.answer("/lx.plist", manifest(""));
    plain.answer("/V2/Http.svc/Translate",
                 {200, "application/xml",
                  "<string>Diese Version wird nicht mehr unterst\u00FCtzt.</string>"});
    defaults.values = {
        {"rirstrun", "(null)"}, {"autoDetectLang", "0"}, {"leftSim", "en"}, {"rightSim", "de"}};
    started();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].informativeText, "Diese Version wird nicht mehr unterst\u00FCtzt.");
    ASSERT_EQ(plain.requests().size(), 1u);
    EXPECT_EQ(plain.requests()[0].target, std::string("/V2/Http.svc/Translate?appId=") + kApiS +
                                              "&text=%20This%20version%20of%20Lexoria%20is%20no%"
                                              "20longer%20supported%20.%20Please%20update%20."
                                              "&from=en&to=de");
    EXPECT_TRUE(application.terminated);
}

TEST_F(UpdateCheck, NoManifestEndsTheProgramThroughTheNotice) {
    site.answer("/lx.plist", {404, "text/html", "<html>Not Found</html>"});
    defaults.values = {{"rirstrun", "(null)"}, {"rightSim", "en"}};
    started();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].informativeText, kNotice);
    EXPECT_TRUE(application.terminated);
    EXPECT_FALSE(app().mainDict().has_value());
}

TEST_F(UpdateCheck, AnUnreachableSiteEndsTheProgramWithTheConnectionNotice) {
    int closedPort;
    {
        test::LoopbackServer gone;
        closedPort = gone.port();
    }
    addresses.site = "127.0.0.1:" + std::to_string(closedPort);
    defaults.values = {{"rirstrun", "(null)"}, {"rightSim", "en"}};
    started();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].style, AlertStyle::informational);
    EXPECT_EQ(alerts.shown[0].messageText, "Lexoria");
    EXPECT_EQ(alerts.shown[0].informativeText, "No connection !");
    EXPECT_TRUE(application.terminated);
    EXPECT_EQ(log.lines, std::vector<std::string>{"MAC version "});
}

TEST_F(UpdateCheck, AHomePageThatIsNotAsciiCountsAsUnreachable) {
    site.answer("/", {200, "text/html; charset=utf-8", "<p>Caf\u00E9</p>"});
    EXPECT_FALSE(app().connectedToWeb());
    site.answer("/", {200, "text/html", ""});
    EXPECT_TRUE(app().connectedToWeb());
}

TEST_F(UpdateCheck, ASiteBuildComparesItsOwnVersionFirst) {
    fromSiteBuild("3.0.1");
    defaults.values = {{"rirstrun", "(null)"}, {"rightSim", "en"}};
    started();
    EXPECT_EQ(site.targets(), std::vector<std::string>{"/lx.plist"}) << "no connectivity test";
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].informativeText, kNotice);
    EXPECT_TRUE(application.terminated);

    AppHarness matching;
    matching.overrideResource(
        "Info.plist",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>fromsite</key><true/>"
        "<key>CFBundleShortVersionString</key><string>3.0.2</string></dict></plist>");
    matching.started();
    EXPECT_EQ(matching.ui.toolbar.items,
              (std::vector<std::string>{"General", "Shortcuts", "About"}));
    EXPECT_EQ(matching.log.lines, (std::vector<std::string>{"Site version ", "?"}));
    EXPECT_FALSE(matching.application.terminated);
}

}  // namespace
}  // namespace lexoria
