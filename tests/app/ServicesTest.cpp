#include <gtest/gtest.h>

#include "AppHarness.h"

namespace lexoria {
namespace {

using test::AppHarness;
using test::FakeServicePasteboard;

class Services : public ::testing::Test, protected AppHarness {
  protected:
    Services() {
        defaults.values = test::kLaterStart;
        started();
        loop.advance(0.2);
    }
    std::optional<std::string> request(FakeServicePasteboard& pboard,
                                       const std::string& port = "LX") {
        return services.ports.at(port)(pboard);
    }
};

TEST_F(Services, XmlComesBackIndentedAndIsTranslated) {
    FakeServicePasteboard pboard;
    pboard.text = "<note><to>Tove</to><body lang=\"en\">Hi</body></note>";
    EXPECT_EQ(request(pboard), std::nullopt);
    EXPECT_EQ(pboard.returned, "<note>\n  <to>Tove</to>\n  <body lang=\"en\">Hi</body>\n</note>");
    EXPECT_EQ(defaults.values.at("servicego"), "1");
    EXPECT_EQ(serviceRequests(), 0u) << "the caller is answered first";
    loop.advance(0);
    EXPECT_EQ(app().oldPasteboard(), pboard.text);
    EXPECT_EQ(pasteboard.text, pboard.text);
    EXPECT_EQ(ui.hudtextView.text, "Hallo");
    EXPECT_EQ(defaults.values.at("servicego"), "(null)");
}

// XML comes back mended and with its declaration; prose, and XML whose repair would drop
// text, get the parser's message and stay the caller's. All of it is translated.
TEST_F(Services, XmlIsMendedAndTheRestGetsTheParsersMessage) {
    const struct {
        std::string text;
        std::optional<std::string> message, returned;
    } rows[] = {
        {"<a><b>x</a>", std::nullopt, "<a>\n  <b>x</b>\n</a>"},
        {"<?xml version=\"1.0\"?><note><to>Tove</to></note>", std::nullopt,
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<note>\n  <to>Tove</to>\n</note>"},
        {"Hello world", "Start tag expected, '<' not found", std::nullopt},
        {"<b>Hello</b> world", "Extra content at the end of the document", std::nullopt},
        {"<p>a &nbsp; b</p>", "Entity 'nbsp' not defined", std::nullopt},
    };
    for (const auto& row : rows) {
        FakeServicePasteboard pboard;
        pboard.text = row.text;
        EXPECT_EQ(request(pboard), row.message) << row.text;
        EXPECT_EQ(pboard.returned, row.returned) << row.text;
        EXPECT_EQ(defaults.values.at("pboardString"), row.text);
    }
}

TEST_F(Services, WithoutTextThereIsNothingToDo) {
    FakeServicePasteboard pboard;
    pboard.offersString = false;
    EXPECT_EQ(services.applicationProvider(pboard), "Error: couldn't encrypt text.");
    EXPECT_EQ(defaults.values.count("pboardString"), 0u);
    pasteboard.text = "untouched";
    loop.advance(0);
    EXPECT_EQ(pasteboard.text, "untouched") << "service: with nothing pending";
    EXPECT_EQ(serviceRequests(), 0u);
}

TEST_F(Services, ARequestSurvivesARestart) {
    AppHarness restarted;
    restarted.defaults.values = test::kLaterStart;
    restarted.defaults.values.insert({{"pboardString", "left over"}, {"servicego", "1"}});
    restarted.started();
    restarted.loop.advance(0);
    EXPECT_EQ(restarted.app().oldPasteboard(), "left over");
    EXPECT_EQ(restarted.secure.lastRequest()->target, "/?langpair=en%7Cde&text=left%20over");
}

TEST_F(Services, ARequestRightAfterATranslationWaitsForTheThrottle) {
    app().setOldPasteboard("Hello");
    app().segmentService();
    loop.advance(0.1);
    FakeServicePasteboard pboard;
    pboard.text = "Good morning";
    request(pboard);
    loop.advance(0);
    EXPECT_EQ(serviceRequests(), 1u) << "0.1 s after a translation: held back";
    EXPECT_EQ(defaults.values.at("servicego"), "1") << "and still pending";
    loop.advance(0.2);
    EXPECT_EQ(serviceRequests(), 2u);
    EXPECT_EQ(secure.lastRequest()->target, "/?langpair=en%7Cde&text=Good%20morning");
    EXPECT_EQ(defaults.values.at("servicego"), "(null)");
    loop.advance(1);
    EXPECT_EQ(serviceRequests(), 2u) << "translated once";
}

}  // namespace
}  // namespace lexoria
