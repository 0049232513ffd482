#pragma once

#include <functional>
#include <memory>
#include <string>

namespace lexoria {

// An item of the system's status area (the tray).
class StatusItem {
  public:
    virtual ~StatusItem() = default;
    virtual void setTitle(const std::string& title) = 0;
    // Runs on a click (and on the menu's "Show", where the tray sends no clicks); an empty
    // action disconnects.
    virtual void setAction(std::function<void()> action) = 0;
};

class StatusBar {
  public:
    virtual ~StatusBar() = default;
    // A new item; a negative length means as wide as its title.
    virtual std::shared_ptr<StatusItem> statusItemWithLength(double length) = 0;
    virtual void removeStatusItem(const std::shared_ptr<StatusItem>& item) = 0;
};

}  // namespace lexoria
