// A window of known text, all of it selected and with the focus, that reports on standard
// output every key it receives with its modifiers: the program a user copies from.
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>

namespace {

class ReportingEdit final : public QPlainTextEdit {
  protected:
    void keyPressEvent(QKeyEvent* event) override {
        // "key c ctrl+shift": the key and exactly the modifiers that came with it.
        const auto mods = event->modifiers();
        QStringList held;
        if (mods & Qt::ControlModifier)
            held << "ctrl";
        if (mods & Qt::AltModifier)
            held << "alt";
        if (mods & Qt::ShiftModifier)
            held << "shift";
        if (mods & Qt::MetaModifier)
            held << "meta";
        std::printf("key %s %s\n", QKeySequence(event->key()).toString().toLower().toUtf8().data(),
                    held.isEmpty() ? "none" : held.join('+').toUtf8().data());
        std::fflush(stdout);
        QPlainTextEdit::keyPressEvent(event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString text = argc > 1 ? QString::fromUtf8(argv[argc - 1]) : "selected words";
    ReportingEdit edit;
    edit.setPlainText(text);
    edit.selectAll();
    edit.resize(400, 120);
    edit.show();
    edit.activateWindow();
    edit.setFocus();
    // Ready once the window really has the focus.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (edit.hasFocus() && edit.isActiveWindow()) {
            std::printf("ready\n");
            std::fflush(stdout);
            poll.stop();
        }
    });
    poll.start(20);
    return app.exec();
}
