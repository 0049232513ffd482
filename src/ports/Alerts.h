#pragma once

#include <string>
#include <vector>

namespace lexoria {

enum class AlertStyle { warning = 0, informational = 1, critical = 2 };

struct Alert {
    AlertStyle style = AlertStyle::warning;
    std::string messageText;
    std::string informativeText;
    std::vector<std::string> buttons;  // none means one "OK"
};

// The answer of an alert that the user closed without pressing a button (Escape, the
// window manager's close). It is never a button: each caller decides what it means.
inline constexpr int kAlertClosed = -1;

// Modal alerts.
class Alerts {
  public:
    virtual ~Alerts() = default;
    // Shows the alert until the user answers: the index of the button pressed, or
    // kAlertClosed. An alert is modal for the program's own work as well: while it is up
    // no timer, posted action, clipboard-watch tick, PROMT poll, Services request or
    // monitor callback of the program runs; they run after it, in their order.
    virtual int runModal(const Alert& alert) = 0;
};

}  // namespace lexoria
