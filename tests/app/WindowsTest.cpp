// The preferences window's view switching and links, and the main window's close control.
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "windows/CloseView.h"
#include "windows/Slider.h"
#include "windows/WindowAdditions.h"

namespace lexoria {
namespace {

using namespace test;

struct Preferences {
    Preferences() {
        window.toolbarHeight = 56;
        window.titleBarHeight = 22;
    }
    Slider& slider() {
        if (!made) {
            made = std::make_unique<Slider>(
                window, Slider::Views{&general, &info, &reviewers}, workspace,
                [](const std::string& path) { return "http://site.test" + path; },
                "help@site.test");
        }
        return *made;
    }

    FakeWindow window;
    FakeView general{"generalView", 480, 320}, info{"infoView", 300, 200},
        reviewers{"reviewersView", 560, 400};
    FakeWorkspace workspace;
    std::unique_ptr<Slider> made;
};

TEST(Windows, SwitchingFitsTheWindowBelowTheToolbarAndKeepsTheTopEdge) {
    struct Row {
        const char* name;
        double toolbar;
        bool toolbarShown;
        int tag;
        Rect expected;  // the frame after the switch from the reviewers view
    };
    // The window starts at (100, 50); 22 of title bar; the view's size below the toolbar.
    const Row rows[] = {
        {"tall to short", 56, true, 1, {100, 50, 300, 22 + 56 + 200}},
        {"short to tall", 56, true, 0, {100, 50, 480, 22 + 56 + 320}},
        {"no toolbar", 0, true, 1, {100, 50, 300, 22 + 200}},
        {"hidden toolbar", 56, false, 1, {100, 50, 300, 22 + 200}},
    };
    for (const Row& row : rows) {
        Preferences prefs;
        prefs.window.toolbarHeight = row.toolbar;
        prefs.window.toolbarShown = row.toolbarShown;
        prefs.window.content = &prefs.reviewers;
        prefs.slider().changeView(row.tag);
        ASSERT_EQ(prefs.window.framesSet.size(), 1u) << row.name;
        EXPECT_EQ(prefs.window.framesSet[0].frame, row.expected) << row.name;
        EXPECT_TRUE(prefs.window.framesSet[0].animate && prefs.window.framesSet[0].display);
        View* const shown = row.tag == 0 ? &prefs.general : &prefs.info;
        EXPECT_EQ(prefs.window.contentHistory, (std::vector<View*>{&blankView(), shown}))
            << row.name << ": blank while it resizes";
    }
}

TEST(Windows, TheShownViewOrAnUnknownTagChangesNothing) {
    Preferences prefs;
    prefs.slider().awakeFromNib();
    EXPECT_EQ(prefs.window.contentView(), &prefs.general) << "the general view comes first";
    const auto frames = prefs.window.framesSet.size();
    for (const int tag : {0, 3, -1}) {
        prefs.slider().changeView(tag);
    }
    EXPECT_EQ(prefs.window.framesSet.size(), frames);
    EXPECT_EQ(prefs.window.contentView(), &prefs.general);
    EXPECT_EQ(toolbarHeight(prefs.window), 56);
}

// The other links are rows of the display test.
TEST(Windows, MailAddressesAreEncoded) {
    struct Row {
        std::function<void(Slider&)> act;
        std::string opened;
    };
    const Row rows[] = {
        {[](Slider& s) { s.sendEmailWithMail("", "a@b.test", "Two words", "x & y?"); },
         "mailto:a@b.test?Subject=Two%20words&body=x%20%26%20y%3F"},
        {[](Slider& s) { s.sendEmailWithMail("", "a@b.test", "caf\u00E9", "1+1=2#"); },
         "mailto:a@b.test?Subject=caf%C3%A9&body=1%2B1%3D2%23"},
    };
    for (const Row& row : rows) {
        Preferences prefs;
        row.act(prefs.slider());
        EXPECT_EQ(prefs.workspace.opened, std::vector<std::string>{row.opened});
    }
}

// What the close control does is a row of the display test.
TEST(Windows, TheCloseViewTracksItsBounds) {
    FakeApplication application;
    FakeCloseView view;
    CloseView closeView(view, application);
    view.resize(16, 16);
    view.resize(24, 20);
    ASSERT_EQ(view.areas.size(), 1u) << "the old area is gone";
    EXPECT_EQ(view.areas.begin()->second.first, (Rect{0, 0, 24, 20}));
    EXPECT_EQ(view.areas.begin()->second.second, 129u);
}

}  // namespace
}  // namespace lexoria
