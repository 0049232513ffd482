#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lexoria {

// A font as the program names it: a family and a size in points.
struct Font {
    std::string family;
    double size = 0;
    bool operator==(const Font&) const = default;
};

// How high a window floats above the others. Floating and higher keep the window above
// the windows of other programs; aboveScreenSaver is above everything, full-screen
// windows and the screen saver included.
enum class WindowLevel { normal, floating, maximum, aboveScreenSaver };

// How a window is framed.
enum class WindowStyle {
    titled,               // the desktop's usual frame with a title bar
    borderlessResizable,  // no title bar and no close button, but the user can resize it
};

// A rectangle in pixels. On the screen and in a window, y grows downward: y is the top
// edge, as on X11.
struct Rect {
    double x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

// What every control shares: a tag, visibility, bounds and one action.
class Control {
  public:
    virtual ~Control() = default;
    virtual int tag() const = 0;
    virtual bool isHidden() const = 0;
    virtual void setHidden(bool hidden) = 0;
    virtual Rect bounds() const = 0;
    // Runs `action` on the main thread whenever the user acts on the control (a click, a
    // choice from a pop-up or a segment, the release of a slider), after the control has
    // taken its new state. Never for changes the program makes itself (setState,
    // selectItemWithTitle, setIntegerValue...). A new action replaces the old one; an empty
    // one disconnects.
    virtual void setAction(std::function<void()> action) = 0;
};

// A view that a window shows as its whole content, such as one page of the preferences.
class View {
  public:
    virtual ~View() = default;
    // Its name in the interface description ("generalView").
    virtual std::string identifier() const = 0;
    // Its own size, which a window is fitted to when it shows the view; the position does
    // not matter.
    virtual Rect frame() const = 0;
};

// The geometry of a window, on the screen.
class WindowGeometry {
  public:
    virtual ~WindowGeometry() = default;
    // The window's outer rectangle, its frame and title bar included.
    virtual Rect frame() const = 0;
    // The part of a window with that frame that is not the desktop's frame: the toolbar, if
    // shown, and the content view.
    virtual Rect contentRectForFrameRect(const Rect& frame) const = 0;
    // The frame of a window whose content rectangle is `content`.
    virtual Rect frameRectForContentRect(const Rect& content) const = 0;
    // The view shown below the toolbar; nullptr when none was set.
    virtual View* contentView() const = 0;
    // The rectangle the content view fills now, below the toolbar when one is shown, in
    // the window's own coordinates.
    virtual Rect contentViewFrame() const = 0;
    // Shows `view` as the content. A view the adapter did not make itself (the shared blank
    // view) shows as empty content of its frame's size.
    virtual void setContentView(View* view) = 0;
    // Moves and resizes the window to `frame`; `animate`: the change is shown as a smooth
    // transition, and frame() reports the target at once.
    virtual void setFrame(const Rect& frame, bool display, bool animate) = 0;
};

class Window : public WindowGeometry {
  public:
    // Shows the window (also after it was minimised), above the program's other windows,
    // with the keyboard focus.
    virtual void makeKeyAndOrderFront() = 0;
    // Raises the window without taking the focus.
    virtual void orderFront() = 0;
    virtual void setLevel(WindowLevel level) = 0;
    // Set before the window is first shown, or without hiding a shown window.
    virtual void setStyle(WindowStyle style) = 0;
    // Shown on screen: false while closed, minimised or hidden with the application.
    virtual bool isVisible() const = 0;
    virtual void miniaturize() = 0;
    virtual void close() = 0;
};

// Text views. string() reads back exactly what setString() set, no-break spaces included;
// only a CR LF may come back as LF. Font sizes are points, as stored.
class TextView : public Control {
  public:
    virtual std::string string() const = 0;
    virtual void setString(const std::string& text) = 0;
    virtual std::optional<Font> font() const = 0;
    virtual void setFont(const Font& font) = 0;
    virtual void setTextColorBlack() = 0;
    virtual void scrollToTop() = 0;
};

// A label.
class TextField : public Control {
  public:
    virtual std::string stringValue() const = 0;
    virtual void setStringValue(const std::string& text) = 0;
};

// Buttons, check boxes included. State 1 is on, 0 off. The action of a check box runs
// after its state has changed.
class Button : public Control {
  public:
    virtual std::string title() const = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual int state() const = 0;
    virtual void setState(int state) = 0;
};

// A pop-up list of titles. Like the desktop's own, it keeps duplicate titles: adding a
// title twice lists it twice, and selecting by title takes the first.
class PopUpButton : public Control {
  public:
    virtual void removeAllItems() = 0;
    virtual void addItemsWithTitles(const std::vector<std::string>& titles) = 0;
    virtual std::vector<std::string> itemTitles() const = 0;
    // Selects the first item with that title; an unknown title selects nothing.
    virtual void selectItemWithTitle(const std::string& title) = 0;
    // The selected item's title; the empty text when nothing is selected.
    virtual std::string titleOfSelectedItem() const = 0;
    // Selects the item with that title, adding it first when there is none.
    virtual void setTitle(const std::string& title) = 0;
};

class SegmentedControl : public Control {
  public:
    virtual int selectedSegment() const = 0;
    virtual void setSelectedSegment(int segment) = 0;
};

// The font-size slider.
class SliderControl : public Control {
  public:
    virtual int integerValue() const = 0;
    virtual void setIntegerValue(int value) = 0;
};

// The close control of the borderless main window. Its action is the click; the adapter
// tells the core about every change of its size, and keeps the areas that follow the
// pointer where the core puts them.
class CloseViewControl : public Control {
  public:
    // Runs `action` after every change of the view's size (and once it is first laid out).
    virtual void setResizeAction(std::function<void()> action) = 0;
    // Installs an area that follows the pointer over `rect` of the view; `options` are
    // kept as given. The number names the area for removeTrackingArea.
    virtual int addTrackingArea(const Rect& rect, unsigned options) = 0;
    virtual void removeTrackingArea(int area) = 0;
};

class Popover {
  public:
    virtual ~Popover() = default;
    virtual bool isShown() const = 0;
    // Shows the popover next to `rect` of `view`, on its upper edge.
    virtual void showRelativeTo(const Rect& rect, const Control* view) = 0;
    virtual void close() = 0;
};

// The toolbar of the preferences window; its items carry the tags 0, 1 and 2.
class Toolbar {
  public:
    virtual ~Toolbar() = default;
    virtual std::size_t itemCount() const = 0;
    virtual void removeItemAtIndex(std::size_t index) = 0;
    // Runs `action` with the item's tag whenever the user chooses an item.
    virtual void setAction(std::function<void(int tag)> action) = 0;
};

}  // namespace lexoria
