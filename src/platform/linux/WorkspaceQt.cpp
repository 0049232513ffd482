#include "WorkspaceQt.h"

#include <QDesktopServices>
#include <QUrl>

namespace lexoria {

void WorkspaceQt::openURL(const std::string& url) {
    // The address comes percent-encoded: taken as it is, never encoded a second time.
    const QUrl address = QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::StrictMode);
    if (address.isValid()) {
        QDesktopServices::openUrl(address);
    }
}

}  // namespace lexoria
