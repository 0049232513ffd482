#pragma once

#include <QMainWindow>
#include <QWidget>
#include <memory>
#include <vector>

#include "CloseViewQt.h"
#include "ControlsQt.h"
#include "RunLoopQt.h"
#include "WindowQt.h"
#include "ports/Bundle.h"
#include "ports/InterfaceLoader.h"

namespace lexoria {

// The windows of the Qt Designer files in resources/ui, and an adapter for each control
// the controller uses. It owns both for the life of the program.
class InterfaceLoaderQt final : public InterfaceLoader {
  public:
    InterfaceLoaderQt(RunLoopQt& runLoop, const Bundle& bundle);
    ~InterfaceLoaderQt() override;
    Interface loadInterface() override;

    // The windows themselves, for whoever needs to find them (screenshots, tests).
    QWidget* mainWindow() const { return main_.get(); }
    QMainWindow* preferencesWindow() const { return preferences_.get(); }
    QWidget* settingsPopover() const { return settings_.get(); }
    QWidget* translatePopover() const { return translate_.get(); }

  private:
    template <typename Adapter, typename... Args>
    Adapter* make(Args&&... args) {
        auto adapter = std::make_unique<Adapter>(std::forward<Args>(args)...);
        Adapter* raw = adapter.get();
        owned_.push_back(std::move(adapter));
        return raw;
    }

    std::unique_ptr<QWidget> main_;
    std::unique_ptr<QMainWindow> preferences_;
    std::unique_ptr<QWidget> settings_;
    std::unique_ptr<QWidget> translate_;
    std::unique_ptr<QObject> mover_;
    std::vector<std::shared_ptr<void>> owned_;
    Interface interface_;
};

}  // namespace lexoria
