#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "ports/EventMonitors.h"

namespace lexoria {

// Key presses in the program's own windows, seen before the widget with the focus
// handles them.
class KeyDownFilterQt final : public QObject {
  public:
    KeyDownFilterQt();
    ~KeyDownFilterQt() override;

    void addHandler(std::function<KeyEvent(const KeyEvent&)> handler);

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

  private:
    std::vector<std::function<KeyEvent(const KeyEvent&)>> handlers_;
};

}  // namespace lexoria
