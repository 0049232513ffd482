// A Qt window with a line of known text and a label marked "💡", at the given position.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    QWidget window;
    window.setWindowTitle("capture test (Qt)");
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(20);
    auto* line = new QLineEdit(QString::fromUtf8("foo-bar (baz) 😀word"));
    line->setReadOnly(true);
    layout->addWidget(line);
    layout->addWidget(new QLabel(QString::fromUtf8("💡")));
    window.resize(400, 150);
    window.move(arguments.value(1).toInt(), arguments.value(2).toInt());
    window.show();
    return QApplication::exec();
}
