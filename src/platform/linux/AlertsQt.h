#pragma once

#include "RunLoopQt.h"
#include "ports/Alerts.h"

namespace lexoria {

// Alerts as QMessageBox. While one is up the program's own work waits: the box's
// nested event loop would otherwise run timers and requests under it.
class AlertsQt final : public Alerts {
  public:
    explicit AlertsQt(RunLoopQt& runLoop) : runLoop_(runLoop) {}
    int runModal(const Alert& alert) override;

  private:
    RunLoopQt& runLoop_;
};

}  // namespace lexoria
