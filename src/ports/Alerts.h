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

// Modal alerts.
class Alerts {
  public:
    virtual ~Alerts() = default;
    // Shows the alert until the user answers; the index of the button pressed.
    virtual int runModal(const Alert& alert) = 0;
};

}  // namespace lexoria
