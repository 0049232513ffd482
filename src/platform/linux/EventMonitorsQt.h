#pragma once

#include <QObject>
#include <functional>
#include <map>

#include "RunLoopQt.h"
#include "ports/EventMonitors.h"

namespace lexoria {

// Key presses in the program's own windows, as Qt receives them, in the program's key
// codes. Qt sees no keys of other programs: a global monitor is kept but never called
// here; the desktop's global keys come from their own adapter.
class EventMonitorsQt final : public QObject, public EventMonitors {
  public:
    explicit EventMonitorsQt(RunLoopQt& runLoop);
    ~EventMonitorsQt() override;
    int addGlobalFlagsChangedMonitor(std::function<void(const KeyEvent&)> handler) override;
    int addLocalKeyDownMonitor(std::function<KeyEvent(const KeyEvent&)> handler) override;
    void removeMonitor(int monitor) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    RunLoopQt& runLoop_;
    std::map<int, std::function<KeyEvent(const KeyEvent&)>> local_;
    std::map<int, std::function<void(const KeyEvent&)>> global_;
    int next_ = 1;
};

// The modifiers held now, as Qt last heard of them.
class KeyboardStateQt final : public KeyboardState {
  public:
    uint64_t modifierFlags() const override;
};

// The program's own modifier bits for Qt's.
uint64_t modifierFlagsOf(Qt::KeyboardModifiers modifiers);
// The program's key code for a Qt key; keys::kUnknown for keys it has no code for.
uint16_t keyCodeOf(int qtKey);

}  // namespace lexoria
