#pragma once

// The desktop in memory: controls, tray, clipboard, alerts, browser, fonts and the
// application, each recording what a user would see and taking what a user would do.

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ports/Alerts.h"
#include "ports/Application.h"
#include "ports/Controls.h"
#include "ports/EventMonitors.h"
#include "ports/FileOperations.h"
#include "ports/Fonts.h"
#include "ports/Interface.h"
#include "ports/InterfaceLoader.h"
#include "ports/Log.h"
#include "ports/Pasteboard.h"
#include "ports/Services.h"
#include "ports/StatusBar.h"
#include "ports/Workspace.h"

namespace lexoria::test {

class FakeWindow final : public Window {
  public:
    void makeKeyAndOrderFront() override {
        visible = true;
        miniaturized = false;
        ++timesOrderedFront;
    }
    void setLevel(WindowLevel value) override { level = value; }
    void setStyleMask(unsigned mask) override { styleMask = mask; }
    bool isVisible() const override { return visible; }
    void miniaturize() override {
        miniaturized = true;
        visible = false;
    }
    void close() override { visible = false; }

    bool visible = false;
    bool miniaturized = false;
    int timesOrderedFront = 0;
    WindowLevel level = WindowLevel::normal;
    unsigned styleMask = 0;
};

template <typename Base>
class FakeControl : public Base {
  public:
    int tag() const override { return tagValue; }
    bool isHidden() const override { return hidden; }
    void setHidden(bool value) override { hidden = value; }
    Rect bounds() const override { return boundsValue; }

    int tagValue = 0;
    bool hidden = false;
    Rect boundsValue{0, 0, 80, 24};
};

class FakeTextView final : public FakeControl<TextView> {
  public:
    std::string string() const override { return text; }
    void setString(const std::string& value) override { text = value; }
    std::optional<Font> font() const override { return fontValue; }
    void setFont(const Font& value) override { fontValue = value; }
    void setTextColorBlack() override { textIsBlack = true; }
    void scrollToTop() override { scrolledToTop = true; }

    std::string text;
    std::optional<Font> fontValue;
    bool textIsBlack = false;
    bool scrolledToTop = false;
};

class FakeTextField final : public FakeControl<TextField> {
  public:
    std::string stringValue() const override { return text; }
    void setStringValue(const std::string& value) override { text = value; }
    std::string text;
};

class FakeButton final : public FakeControl<Button> {
  public:
    explicit FakeButton(std::string title = "") : titleValue(std::move(title)) {}
    std::string title() const override { return titleValue; }
    void setTitle(const std::string& value) override { titleValue = value; }
    int state() const override { return stateValue; }
    void setState(int value) override { stateValue = value; }

    std::string titleValue;
    int stateValue = 0;
};

class FakePopUpButton final : public FakeControl<PopUpButton> {
  public:
    void removeAllItems() override {
        items.clear();
        selected = -1;
    }
    void addItemsWithTitles(const std::vector<std::string>& titles) override;
    std::vector<std::string> itemTitles() const override { return items; }
    void selectItemWithTitle(const std::string& title) override;
    std::string titleOfSelectedItem() const override {
        return selected >= 0 ? items[static_cast<std::size_t>(selected)] : std::string();
    }
    void setTitle(const std::string& title) override;

    std::vector<std::string> items;
    int selected = -1;
};

class FakeSegmentedControl final : public FakeControl<SegmentedControl> {
  public:
    int selectedSegment() const override { return segment; }
    void setSelectedSegment(int value) override { segment = value; }
    int segment = 0;
};

class FakeSlider final : public FakeControl<Slider> {
  public:
    int integerValue() const override { return value; }
    void setIntegerValue(int newValue) override { value = newValue; }
    int value = 0;
};

class FakePopover final : public Popover {
  public:
    bool isShown() const override { return shown; }
    void showRelativeTo(const Rect& rect, const Control* view) override {
        shown = true;
        shownAt = rect;
        shownBy = view;
    }
    void close() override { shown = false; }

    bool shown = false;
    Rect shownAt;
    const Control* shownBy = nullptr;
};

class FakeToolbar final : public Toolbar {
  public:
    std::size_t itemCount() const override { return items.size(); }
    void removeItemAtIndex(std::size_t index) override;
    std::vector<std::string> items = {"General", "Shortcuts", "Download", "About"};
};

class FakeStatusItem final : public StatusItem {
  public:
    void setTitle(const std::string& value) override { title = value; }
    void setAction(std::function<void()> value) override { action = std::move(value); }
    void click() const { action(); }

    std::string title;
    std::function<void()> action;
};

class FakeStatusBar final : public StatusBar {
  public:
    std::shared_ptr<StatusItem> statusItemWithLength(double length) override;
    void removeStatusItem(const std::shared_ptr<StatusItem>& item) override;
    // The one item in the tray, or nullptr.
    FakeStatusItem* shownItem() const;

    std::vector<std::shared_ptr<FakeStatusItem>> items;
    int created = 0;
};

class FakePasteboard final : public Pasteboard {
  public:
    std::optional<std::string> string() const override { return text; }
    void setString(const std::string& value) override { text = value; }
    std::optional<std::string> text;
};

class FakeAlerts final : public Alerts {
  public:
    int runModal(const Alert& alert) override;
    std::vector<Alert> shown;
    std::deque<int> answers;  // the buttons the user will press; empty: the first
};

class FakeWorkspace final : public Workspace {
  public:
    void openURL(const std::string& url) override { opened.push_back(url); }
    std::vector<std::string> opened;
};

class FakeFonts final : public Fonts {
  public:
    std::vector<std::string> familyNames() const override { return families; }
    std::optional<Font> fontWithName(const std::string& name, double size) const override;
    std::string substituteFamily(const std::string& family) const override;

    std::vector<std::string> families = {"DejaVu Sans", "Liberation Serif", "Nimbus Sans"};
    // What the system puts in place of Helvetica, which it does not have.
    std::string helveticaStandIn = "Nimbus Sans";
};

class FakeApplication final : public Application {
  public:
    void activateIgnoringOtherApps() override { ++activations; }
    void hide() override { hidden = true; }
    void terminate() override { terminated = true; }

    int activations = 0;
    bool hidden = false;
    bool terminated = false;
};

// The keyboard: a test presses and releases keys; the monitors hear what the program
// would hear.
class FakeKeyboard final : public EventMonitors, public KeyboardState, public SyntheticKeys {
  public:
    void addGlobalFlagsChangedMonitor(std::function<void(const KeyEvent&)> handler) override {
        flagsChanged.push_back(std::move(handler));
    }
    void addLocalKeyDownMonitor(std::function<KeyEvent(const KeyEvent&)> handler) override {
        keyDown.push_back(std::move(handler));
    }
    uint64_t modifierFlags() const override { return held; }
    void postKeyEvent(uint16_t keyCode, std::optional<uint64_t> flags, bool down) override;

    // A modifier key goes down or up in some other program.
    void modifier(uint16_t keyCode, bool down, uint64_t flag = 0);
    // A key typed into the program's own window; returns what the monitors passed on.
    KeyEvent type(uint16_t keyCode);

    struct Posted {
        uint16_t keyCode;
        std::optional<uint64_t> flags;
        bool down;
    };
    std::vector<std::function<void(const KeyEvent&)>> flagsChanged;
    std::vector<std::function<KeyEvent(const KeyEvent&)>> keyDown;
    uint64_t held = 0;
    std::vector<Posted> posted;
    // What the program with the focus does on a copy keystroke.
    std::function<void()> onCopy;
};

class FakeServicePasteboard final : public ServicePasteboard {
  public:
    bool hasString() const override { return offersString; }
    std::optional<std::string> string() const override { return text; }
    void setString(const std::string& value) override { returned = value; }

    bool offersString = true;
    std::optional<std::string> text;
    std::optional<std::string> returned;
};

class FakeServicesRegistry final : public ServicesRegistry {
  public:
    void registerServicesProvider(const std::string& portName, Handler handler) override;
    void setServicesProvider(Handler handler) override { applicationProvider = std::move(handler); }

    std::map<std::string, Handler> ports;
    Handler applicationProvider;
};

// Files in memory; a confined program can write none of them.
class FakeFiles final : public FileOperations {
  public:
    std::string homeDirectory() const override { return "/home/user"; }
    bool createDirectories(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& contents) override;
    bool fileExists(const std::string& path) const override { return files.count(path) > 0; }
    bool removeFile(const std::string& path) override { return files.erase(path) > 0; }

    bool confined = false;
    std::set<std::string> folders = {"/home/user"};
    std::map<std::string, std::string> files;
    std::vector<std::string> written;
};

class LogLines final : public Log {
  public:
    void line(const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

// The controls of the interface, built as the interface description would.
struct FakeInterface final : InterfaceLoader {
    FakeInterface();
    Interface loadInterface() override;

    FakeWindow window, prefPane;
    FakeToolbar toolbar;
    FakePopover popover, translatePopover;
    FakeTextView hudtextView, consoleTabTranslate, reviewTView;
    FakeSegmentedControl serviceSegment, menuSegment;
    FakePopUpButton leftLanButton, rightLanButton, choiseShortcuts, allFontStyleButFirst;
    FakeButton reloadBut, autoDetectLang{"Detect language"}, autoClipboardTranslateBox{"Clipboard"},
        lblIcon{"Icon"}, butMail{"Help"}, butItWork{"Web site"}, guideBtn{"Guide"},
        popclipBtn{"PopClip"};
    FakeSlider slider;
    FakeTextField labelFont, labelFontSize;
};

}  // namespace lexoria::test
