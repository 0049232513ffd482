#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

#include "ports/Application.h"

namespace lexoria {

// The program as a whole on Qt: its top-level windows and its end.
class ApplicationQt final : public Application {
  public:
    // Needs the QApplication to exist already.
    ApplicationQt();
    void activateIgnoringOtherApps() override;
    // Hides every window of the program; the window manager gives the focus back to
    // whoever had it before.
    void hide() override;
    void terminate() override;

  private:
    std::vector<QPointer<QWidget>> hidden_;
};

}  // namespace lexoria
