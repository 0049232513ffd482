#include "AlertsQt.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace lexoria {

namespace {

// A message box that reports Escape and the window manager's close as what they are.
// QMessageBox would take them as a press of one of its buttons.
class MessageBoxClosable final : public QMessageBox {
  public:
    bool closedWithoutButton = false;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Cancel)) {
            closeWithoutButton();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        if (!clickedButton()) {
            closeWithoutButton();
        }
    }

  private:
    void closeWithoutButton() {
        closedWithoutButton = true;
        done(QDialog::Rejected);
    }
};

QMessageBox::Icon iconOf(AlertStyle style) {
    switch (style) {
        case AlertStyle::informational:
            return QMessageBox::Information;
        case AlertStyle::critical:
            return QMessageBox::Critical;
        case AlertStyle::warning:
            break;
    }
    return QMessageBox::Warning;
}

}  // namespace

int AlertsQt::runModal(const Alert& alert) {
    MessageBoxClosable box;
    box.setWindowTitle(QString::fromUtf8(alert.messageText));
    box.setIcon(iconOf(alert.style));
    box.setText(QString::fromUtf8(alert.messageText));
    box.setInformativeText(QString::fromUtf8(alert.informativeText));
    // The main window floats above the others; the alert must not open behind it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    std::vector<QAbstractButton*> buttons;
    buttons.reserve(alert.buttons.size() + 1);
    const std::vector<std::string> titles =
        alert.buttons.empty() ? std::vector<std::string>{"OK"} : alert.buttons;
    for (const std::string& title : titles) {
        buttons.push_back(box.addButton(QString::fromUtf8(title), QMessageBox::AcceptRole));
    }
    box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));

    runLoop_.hold();
    box.exec();
    runLoop_.release();

    if (box.closedWithoutButton) {
        return kAlertClosed;
    }
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i] == box.clickedButton()) {
            return static_cast<int>(i);
        }
    }
    return kAlertClosed;
}

}  // namespace lexoria
