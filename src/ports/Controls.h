#pragma once

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

// How high a window floats above the others.
enum class WindowLevel { normal, floating, maximum };

// A rectangle in a view's own coordinates.
struct Rect {
    double x = 0, y = 0, width = 0, height = 0;
};

// What every control shares: a tag, a title, visibility.
class Control {
  public:
    virtual ~Control() = default;
    virtual int tag() const = 0;
    virtual bool isHidden() const = 0;
    virtual void setHidden(bool hidden) = 0;
    virtual Rect bounds() const = 0;
};

class Window {
  public:
    virtual ~Window() = default;
    virtual void makeKeyAndOrderFront() = 0;
    virtual void setLevel(WindowLevel level) = 0;
    virtual void setStyleMask(unsigned mask) = 0;
    virtual bool isVisible() const = 0;
    virtual void miniaturize() = 0;
    virtual void close() = 0;
};

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

// Buttons, check boxes included. State 1 is on, 0 off.
class Button : public Control {
  public:
    virtual std::string title() const = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual int state() const = 0;
    virtual void setState(int state) = 0;
};

class PopUpButton : public Control {
  public:
    virtual void removeAllItems() = 0;
    virtual void addItemsWithTitles(const std::vector<std::string>& titles) = 0;
    virtual std::vector<std::string> itemTitles() const = 0;
    // Selects the item with that title; an unknown title selects nothing.
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

class Slider : public Control {
  public:
    virtual int integerValue() const = 0;
    virtual void setIntegerValue(int value) = 0;
};

class Popover {
  public:
    virtual ~Popover() = default;
    virtual bool isShown() const = 0;
    // Shows the popover next to `rect` of `view`, on its upper edge.
    virtual void showRelativeTo(const Rect& rect, const Control* view) = 0;
    virtual void close() = 0;
};

class Toolbar {
  public:
    virtual ~Toolbar() = default;
    virtual std::size_t itemCount() const = 0;
    virtual void removeItemAtIndex(std::size_t index) = 0;
};

}  // namespace lexoria
