#pragma once

#include <QMenu>
#include <QSystemTrayIcon>
#include <memory>

#include "RunLoopQt.h"
#include "ports/Application.h"
#include "ports/StatusBar.h"

namespace lexoria {

// An item of the desktop's tray. Its title is drawn as its icon. Several tray hosts
// never report a click, so its menu offers the same action ("Show") and "Quit".
class StatusItemQt final : public StatusItem {
  public:
    StatusItemQt(RunLoopQt& runLoop, Application& application);
    void setTitle(const std::string& title) override;
    void setAction(std::function<void()> action) override { action_ = std::move(action); }
    void remove();

  private:
    void clicked();

    RunLoopQt& runLoop_;
    QSystemTrayIcon icon_;
    QMenu menu_;
    std::function<void()> action_;
};

class StatusBarQt final : public StatusBar {
  public:
    StatusBarQt(RunLoopQt& runLoop, Application& application)
        : runLoop_(runLoop), application_(application) {}
    std::shared_ptr<StatusItem> statusItemWithLength(double length) override;
    void removeStatusItem(const std::shared_ptr<StatusItem>& item) override;

  private:
    RunLoopQt& runLoop_;
    Application& application_;
};

// The title drawn with a colour emoji font where one is installed.
QIcon iconOfTitle(const std::string& title);

}  // namespace lexoria
