#pragma once

#include "ports/EventMonitors.h"

namespace lexoria {

class KeyDownFilterQt;
class ModifierMonitorXInput2;

// The keyboard monitors of an X11 desktop: modifier changes anywhere from XInput2, key
// presses in our own windows from Qt.
class EventMonitorsX11 final : public EventMonitors {
  public:
    EventMonitorsX11(ModifierMonitorXInput2& global, KeyDownFilterQt& local)
        : global_(global), local_(local) {}

    int addGlobalFlagsChangedMonitor(std::function<void(const KeyEvent&)> handler) override;
    int addLocalKeyDownMonitor(std::function<KeyEvent(const KeyEvent&)> handler) override;
    void removeMonitor(int monitor) override;

  private:
    ModifierMonitorXInput2& global_;
    KeyDownFilterQt& local_;
    int next_ = 1;
};

}  // namespace lexoria
