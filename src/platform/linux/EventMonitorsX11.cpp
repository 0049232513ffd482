#include "EventMonitorsX11.h"

#include "KeyDownFilterQt.h"
#include "ModifierMonitorXInput2.h"

namespace lexoria {

int EventMonitorsX11::addGlobalFlagsChangedMonitor(std::function<void(const KeyEvent&)> handler) {
    global_.addHandler(next_, std::move(handler));
    return next_++;
}

int EventMonitorsX11::addLocalKeyDownMonitor(std::function<KeyEvent(const KeyEvent&)> handler) {
    local_.addHandler(next_, std::move(handler));
    return next_++;
}

void EventMonitorsX11::removeMonitor(int monitor) {
    global_.removeHandler(monitor);
    local_.removeHandler(monitor);
}

}  // namespace lexoria
