// The least a Qt program can do to put text on the screen: one frameless window with a
// line of text. Start-up and memory of the desktop program are measured against it.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLabel label(QStringLiteral("Lexoria floor"));
    label.setWindowFlags(Qt::FramelessWindowHint);
    label.resize(320, 120);
    label.show();
    return application.exec();
}
