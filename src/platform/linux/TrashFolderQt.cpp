#include "TrashFolderQt.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace lexoria {

bool TrashFolderQt::moveToTrash(const std::string& path) {
    if (path.empty() || path.front() != '/') {
        return false;
    }
    // Without the data folder Qt 6.4 builds a relative Trash path: it then reports
    // success and has moved the item into the current folder.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || !QDir().mkpath(dataHome)) {
        return false;
    }
    QString trashed;
    if (!QFile::moveToTrash(QString::fromStdString(path), &trashed)) {
        return false;
    }
    if (QDir::isAbsolutePath(trashed)) {
        return true;
    }
    // Put it back where it was rather than leave it lost in the current folder.
    QDir().rename(trashed, QString::fromStdString(path));
    return false;
}

}  // namespace lexoria
