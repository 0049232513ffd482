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
#include "ports/RunLoop.h"
#include "ports/Services.h"
#include "ports/StatusBar.h"
#include "ports/Workspace.h"

namespace lexoria::test {

class FakeView final : public View {
  public:
    FakeView(std::string name, double width, double height)
        : name(std::move(name)), size{0, 0, width, height} {}
    std::string identifier() const override { return name; }
    Rect frame() const override { return size; }
    std::string name;
    Rect size;
};

// A window on a screen whose y grows downward, framed by a title bar unless borderless,
// with an optional toolbar above its content view.
class FakeWindow final : public Window {
  public:
    void makeKeyAndOrderFront() override {
        visible = true;
        miniaturized = false;
        hiddenWithApplication = false;
    }
    void orderFront() override {}
    void setLevel(WindowLevel value) override { level = value; }
    void setStyle(WindowStyle value) override { style = value; }
    // Minimised or hidden with the application counts as not visible, as on the desktop.
    bool isVisible() const override { return visible && !miniaturized && !hiddenWithApplication; }
    void miniaturize() override { miniaturized = true; }
    void close() override { visible = false; }

    Rect frame() const override { return frameValue; }
    Rect contentRectForFrameRect(const Rect& frame) const override;
    Rect frameRectForContentRect(const Rect& content) const override;
    View* contentView() const override { return content; }
    Rect contentViewFrame() const override;
    void setContentView(View* view) override {
        content = view;
        contentHistory.push_back(view);
    }
    void setFrame(const Rect& value, bool display, bool animate) override {
        frameValue = value;
        framesSet.push_back({value, display, animate});
    }

    bool visible = false;
    bool miniaturized = false;
    bool hiddenWithApplication = false;
    WindowLevel level = WindowLevel::normal;
    WindowStyle style = WindowStyle::titled;
    Rect frameValue{100, 50, 400, 300};
    double titleBarHeight = 22;  // none when borderless
    double toolbarHeight = 0;    // 0: no toolbar
    bool toolbarShown = true;
    View* content = nullptr;
    std::vector<View*> contentHistory;
    struct FrameSet {
        Rect frame;
        bool display, animate;
    };
    std::vector<FrameSet> framesSet;
};

template <typename Base>
class FakeControl : public Base {
  public:
    int tag() const override { return tagValue; }
    bool isHidden() const override { return hidden; }
    void setHidden(bool value) override { hidden = value; }
    Rect bounds() const override { return boundsValue; }
    void setAction(std::function<void()> value) override { action = std::move(value); }
    // What the adapter does when the user acts on the control.
    void userActs() const {
        if (action) {
            action();
        }
    }

    int tagValue = 0;
    bool hidden = false;
    Rect boundsValue{0, 0, 80, 24};
    std::function<void()> action;
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

class FakeSlider final : public FakeControl<SliderControl> {
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

// The close control; a test resizes it as a layout would.
class FakeCloseView final : public FakeControl<CloseViewControl> {
  public:
    void setResizeAction(std::function<void()> value) override { resizeAction = std::move(value); }
    int addTrackingArea(const Rect& rect, unsigned options) override {
        areas[++lastArea] = {rect, options};
        return lastArea;
    }
    void removeTrackingArea(int area) override { areas.erase(area); }
    void resize(double width, double height) {
        boundsValue = {0, 0, width, height};
        if (resizeAction) {
            resizeAction();
        }
    }

    std::function<void()> resizeAction;
    std::map<int, std::pair<Rect, unsigned>> areas;
    int lastArea = 0;
};

class FakeToolbar final : public Toolbar {
  public:
    std::size_t itemCount() const override { return items.size(); }
    void removeItemAtIndex(std::size_t index) override;
    void setAction(std::function<void(int)> value) override { action = std::move(value); }
    // The user clicks the item with that tag.
    void choose(int tag) const {
        if (action) {
            action(tag);
        }
    }
    std::vector<std::string> items = {"General", "Shortcuts", "Download", "About"};
    std::function<void(int)> action;
};

class FakeStatusItem final : public StatusItem {
  public:
    void setTitle(const std::string& value) override { title = value; }
    void setAction(std::function<void()> value) override { action = std::move(value); }
    void click() const {
        if (action) {
            action();
        }
    }

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

// The clipboard, which other programs write in their own time on the loop's clock.
class FakePasteboard final : public Pasteboard {
  public:
    explicit FakePasteboard(const RunLoop& clock) : clock(clock) {}
    std::optional<std::string> string() const override {
        settle();
        return text;
    }
    void setString(const std::string& value) override {
        settle();
        text = value;
    }
    // Another program writes when the clock reaches `due`.
    void writeLater(double due, std::function<void()> write) {
        pending.emplace(due, std::move(write));
    }

    const RunLoop& clock;
    std::optional<std::string> text;

  private:
    void settle() const;
    mutable std::multimap<double, std::function<void()>> pending;
};

// Alerts that hold the program while they are up: the user takes `secondsUp` of the
// loop's time to answer, and nothing of the program runs meanwhile.
class FakeAlerts final : public Alerts {
  public:
    explicit FakeAlerts(RunLoop& loop) : loop(loop) {}
    int runModal(const Alert& alert) override;
    RunLoop& loop;
    double secondsUp = 0;
    std::vector<Alert> shown;
    // The buttons the user will press, or kAlertClosed; empty: the first button.
    std::deque<int> answers;
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
    // What the system puts in place of families it does not have; any other missing
    // family becomes the first installed one.
    std::map<std::string, std::string> substitutes = {{"Helvetica", "Nimbus Sans"}};
};

// Hiding the application hides its windows until the next activation.
class FakeApplication final : public Application {
  public:
    void activateIgnoringOtherApps() override;
    void hide() override;
    void terminate() override { terminated = true; }

    std::vector<FakeWindow*> windows;
    int activations = 0;
    bool hidden = false;
    bool terminated = false;
};

// The keyboard: a test presses and releases keys; the monitors hear what the program
// would hear, never the program's own copy keystroke.
class FakeKeyboard final : public EventMonitors, public KeyboardState, public SyntheticKeys {
  public:
    explicit FakeKeyboard(FakePasteboard& pasteboard) : pasteboard(pasteboard) {}
    int addGlobalFlagsChangedMonitor(std::function<void(const KeyEvent&)> handler) override {
        flagsChanged[++lastMonitor] = std::move(handler);
        return lastMonitor;
    }
    int addLocalKeyDownMonitor(std::function<KeyEvent(const KeyEvent&)> handler) override {
        keyDown[++lastMonitor] = std::move(handler);
        return lastMonitor;
    }
    void removeMonitor(int monitor) override {
        flagsChanged.erase(monitor);
        keyDown.erase(monitor);
    }
    uint64_t modifierFlags() const override { return held; }
    // The program with the focus copies `copyDelay` seconds later.
    void postCopy() override;

    // A modifier key goes down or up in some other program.
    void modifier(uint16_t keyCode, bool down, uint64_t flag = 0);
    // A key typed into the program's own window; returns what the monitors passed on.
    KeyEvent type(uint16_t keyCode);

    FakePasteboard& pasteboard;
    std::map<int, std::function<void(const KeyEvent&)>> flagsChanged;
    std::map<int, std::function<KeyEvent(const KeyEvent&)>> keyDown;
    int lastMonitor = 0;
    uint64_t held = 0;
    int copies = 0;
    double copyDelay = 0.1;
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
    FakeView generalView{"generalView", 480, 320}, infoView{"infoView", 480, 200},
        reviewersView{"reviewersView", 560, 400};
    FakePopover popover, translatePopover;
    FakeTextView hudtextView, consoleTabTranslate, reviewTView;
    FakeSegmentedControl serviceSegment, menuSegment;
    FakePopUpButton leftLanButton, rightLanButton, choiseShortcuts, allFontStyleButFirst,
        hoverTranslate;
    FakeButton reloadBut, autoDetectLang{"Detect language"}, autoClipboardTranslateBox{"Clipboard"},
        lblIcon{"Icon"}, wordBox{"Words"}, ctrlBox{"Control"}, butMail{"Help"},
        butItWork{"Web site"}, guideBtn{"Guide"}, popclipBtn{"PopClip"}, copyResultButton{"Copy"},
        eraseSourceButton{"Erase"}, settingsPopoverButton{"Settings"},
        translatePopoverButton{"Translate"}, preferencesButton{"Preferences"}, quitButton{"Quit"};
    FakeCloseView closeView;
    FakeSlider slider;
    FakeTextField labelFont, labelFontSize;
};

}  // namespace lexoria::test
