#pragma once

#include <QObject>
#include <functional>
#include <map>

#include "ports/EventMonitors.h"

namespace lexoria {

// Key presses in the program's own windows, seen before the widget with the focus
// handles them.
class KeyDownFilterQt final : public QObject {
  public:
    KeyDownFilterQt();
    ~KeyDownFilterQt() override;

    void addHandler(int id, std::function<KeyEvent(const KeyEvent&)> handler);
    void removeHandler(int id);

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

  private:
    std::map<int, std::function<KeyEvent(const KeyEvent&)>> handlers_;
};

}  // namespace lexoria
