#include <gtest/gtest.h>

#include "AppHarness.h"
#include "engine/ServiceKeys.h"

namespace lexoria {
namespace {

using test::CannedAnswer;

const std::string kNotice = " This version of Lexoria is no longer supported . Please update .";
const Alert kUpdate{AlertStyle::warning, "Lexoria", kNotice, {"Download new version", "Cancel"}};
const Alert kNoConnection{AlertStyle::informational, "Lexoria", "No connection !", {}};
const std::string kGerman = "Diese Version wird nicht mehr unterst\u00FCtzt.";

CannedAnswer manifest(const std::string& version) {
    return {200, "application/xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
            "<key>version</key><string>" +
                version + "</string></dict></plist>"};
}

const std::vector<std::string> kFullCheck{"/lx.plist", "/", "/lx.plist"};
const std::vector<std::string> kMacLog{"MAC version ", "?"};

struct Case {
    const char* name;
    const char* ownVersion = nullptr;  // a build from the site, of this version
    std::optional<CannedAnswer> manifest, home;
    bool siteDown = false;
    const char* language = "en";
    int button = 0;
    const Alert* notice = nullptr;
    bool download = false, ends = true;
    std::vector<std::string> log = kMacLog, siteTargets = kFullCheck;
    std::size_t toolbarItems = 4;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class UpdateCheck : public ::testing::TestWithParam<Case> {};

TEST_P(UpdateCheck, Start) {
    const Case& c = GetParam();
    test::AppHarness h;
    if (c.ownVersion) {
        h.overrideResource("Info.plist",
                           std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                       "<key>fromsite</key><true/><key>CFBundleShortVersionString"
                                       "</key><string>") +
                               c.ownVersion + "</string></dict></plist>");
    }
    if (c.manifest) {
        h.site.answer("/lx.plist", *c.manifest);
    }
    if (c.home) {
        h.site.answer("/", *c.home);
    }
    if (c.siteDown) {
        std::string closed;
        {
            test::LoopbackServer gone;
            closed = gone.hostPort();
        }
        h.addresses.site = closed;
    }
    h.plain.answer("/V2/Http.svc/Translate",
                   {200, "application/xml", "<string>" + kGerman + "</string>"});
    h.defaults.values = test::kLaterStart;
    h.defaults.values["rightSim"] = c.language;
    h.alerts.answers = {c.button};
    h.started();

    ASSERT_EQ(h.alerts.shown.size(), c.notice ? 1u : 0u);
    if (c.notice) {
        const Alert& a = h.alerts.shown[0];
        EXPECT_EQ(std::tie(a.style, a.messageText, a.informativeText, a.buttons),
                  std::tie(c.notice->style, c.notice->messageText, c.notice->informativeText,
                           c.notice->buttons));
    }
    EXPECT_EQ(h.workspace.opened,
              c.download ? std::vector<std::string>{"http://" + h.addresses.site +
                                                    "/data/uploads/lexoriasource/translator.dmg"}
                         : std::vector<std::string>{});
    EXPECT_EQ(h.application.terminated, c.ends);
    EXPECT_EQ(h.ui.window.visible, !c.ends) << "start-up goes on exactly when nothing ends it";
    EXPECT_EQ(h.log.lines, c.log);
    EXPECT_EQ(h.site.targets(), c.siteTargets);
    EXPECT_EQ(h.ui.toolbar.items.size(), c.toolbarItems);
    EXPECT_EQ(h.plain.targets(),
              c.language == std::string("en")
                  ? std::vector<std::string>{}
                  : std::vector<std::string>{
                        std::string("/V2/Http.svc/Translate?appId=") + kApiS +
                        "&text=%20This%20version%20of%20Lexoria%20is%20no%20longer%20supported"
                        "%20.%20Please%20update%20.&from=en&to=de"});
    EXPECT_TRUE(h.secure.requests().empty());
}

const Alert kGermanUpdate{AlertStyle::warning, "Lexoria", kGerman, kUpdate.buttons};

const CannedAnswer kNotFound{404, "text/html", "<html>Not Found</html>"};
const CannedAnswer kNotAscii{200, "text/html; charset=utf-8", "<p>Caf\u00E9</p>"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(, UpdateCheck, ::testing::Values(
    Case{.name = "MatchingVersionGoesOn", .ends = false},
    Case{.name = "OtherVersion", .manifest = manifest("3.0.3"), .notice = &kUpdate,
         .download = true},
    Case{.name = "OtherVersionCancelled", .manifest = manifest("2.9"), .button = 1,
         .notice = &kUpdate},
    // Closing the notice is its "Cancel", never the download.
    Case{.name = "OtherVersionClosed", .manifest = manifest("2.9"), .button = kAlertClosed,
         .notice = &kUpdate},
    Case{.name = "NoticeInTheUsersLanguage", .manifest = manifest(""), .language = "de",
         .button = 1, .notice = &kGermanUpdate},
    Case{.name = "MissingManifest", .manifest = kNotFound, .notice = &kUpdate, .download = true},
    Case{.name = "SiteDown", .siteDown = true, .notice = &kNoConnection, .log = {"MAC version "},
         .siteTargets = {}},
    Case{.name = "HomePageNotAscii", .home = kNotAscii, .notice = &kNoConnection,
         .log = {"MAC version "}, .siteTargets = {"/lx.plist", "/"}},
    Case{.name = "EmptyHomePage", .home = CannedAnswer{200, "text/html", ""}, .ends = false},
    // A build from the site compares its own version first, without the reachability test.
    Case{.name = "SiteBuildOfAnotherVersion", .ownVersion = "3.0.1", .button = 1,
         .notice = &kUpdate, .log = {}, .siteTargets = {"/lx.plist"}, .toolbarItems = 3},
    Case{.name = "SiteBuildWithoutManifest", .ownVersion = "3.0.2", .manifest = kNotFound,
         .button = 1, .notice = &kUpdate, .log = {}, .siteTargets = {"/lx.plist"},
         .toolbarItems = 3},
    Case{.name = "SiteBuildOfItsVersion", .ownVersion = "3.0.2", .ends = false,
         .log = {"Site version ", "?"}, .toolbarItems = 3}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
}  // namespace lexoria
