#include "PasteboardQt.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace lexoria {

std::optional<std::string> PasteboardQt::string() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText()) {
        return std::nullopt;
    }
    return data->text().toStdString();
}

void PasteboardQt::setString(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text), QClipboard::Clipboard);
}

}  // namespace lexoria
