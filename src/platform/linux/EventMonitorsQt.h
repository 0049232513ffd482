#pragma once

#include <QObject>
#include <functional>
#include <map>

#include "RunLoopQt.h"
#include "ports/EventMonitors.h"

namespace lexoria {

class ModifierMonitorXInput2;

// Key presses in the program's own windows, as Qt receives them, in the program's key
// codes. Qt sees no keys of other programs: global monitors go to the desktop's own
// adapter, and are kept but never called where there is none (Wayland).
class EventMonitorsQt final : public QObject, public EventMonitors {
  public:
    EventMonitorsQt(RunLoopQt& runLoop, ModifierMonitorXInput2* desktopKeys = nullptr);
    ~EventMonitorsQt() override;
    int addGlobalFlagsChangedMonitor(std::function<void(const KeyEvent&)> handler) override;
    int addLocalKeyDownMonitor(std::function<KeyEvent(const KeyEvent&)> handler) override;
    void removeMonitor(int monitor) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    RunLoopQt& runLoop_;
    ModifierMonitorXInput2* desktopKeys_;
    std::map<int, std::function<KeyEvent(const KeyEvent&)>> local_;
    std::map<int, std::function<void(const KeyEvent&)>> global_;
    int next_ = 1;
};

// The program's own modifier bits for Qt's.
uint64_t modifierFlagsOf(Qt::KeyboardModifiers modifiers);
// The program's key code for a Qt key; keys::kUnknown for keys it has no code for.
uint16_t keyCodeOf(int qtKey);

}  // namespace lexoria
