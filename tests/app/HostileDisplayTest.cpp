// Answers written by whoever is on the path reach the result view without the control
// characters that could disguise or hide what they say.
#include <gtest/gtest.h>

#include "AppHarness.h"

namespace lexoria {
namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
const std::string kHostile("Hallo\x1B[8m\r\x07Welt\x00!\tja\nnein\x7F", 26);
const std::string kShown = "Hallo[8mWelt!\tja\nnein";

class HostileDisplay : public ::testing::Test, protected test::AppHarness {
  protected:
    HostileDisplay() {
        defaults.values = test::kLaterStart;
        started();
        app().setOldPasteboard("Hello world");
    }
};

TEST_F(HostileDisplay, TheResultViewGetsNoControlCharactersButLineFeedAndTab) {
    secure.answer("/api/v1.5/tr/translate",
                  {200, "text/xml; charset=utf-8",
                   kDeclaration + "<Translation><text>" + kHostile + "</text></Translation>"});
    ui.serviceSegment.segment = 2;
    app().segmentService();
    EXPECT_EQ(ui.hudtextView.text, kShown);

    // PROMT's answer arrives through the settings and the poll.
    plain.answer("/services/TranslationService.asmx/GetTranslateNew",
                 {200, "application/json",
                  R"({"d":{"resultNoTags":"Hallo\u001b[8m\r\u0007Welt!\tja\nnein\u007f"}})"});
    loop.advance(0.25);  // past the throttle
    ui.serviceSegment.segment = 3;
    app().segmentService();
    while (async->running() > 0) {
        ASSERT_TRUE(loop.waitForPosted(std::chrono::seconds(10)));
    }
    loop.advance(0.5);
    EXPECT_EQ(ui.hudtextView.text, kShown);
    EXPECT_EQ(defaults.values.count("promt_"), 0u) << "the poll took it";
}

}  // namespace
}  // namespace lexoria
