#include "FontsQt.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace lexoria {

std::vector<std::string> FontsQt::familyNames() const {
    std::vector<std::string> names;
    for (const QString& family : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(family)) {
            names.push_back(family.toStdString());
        }
    }
    return names;
}

std::optional<Font> FontsQt::fontWithName(const std::string& name, double size) const {
    if (!QFontDatabase::hasFamily(QString::fromStdString(name))) {
        return std::nullopt;
    }
    return Font{name, size};
}

std::string FontsQt::substituteFamily(const std::string& family) const {
    const QString name = QString::fromStdString(family);
    if (QFontDatabase::hasFamily(name)) {
        return family;
    }
    // The family fontconfig matches in its place (Helvetica: usually Nimbus Sans).
    return QFontInfo(QFont(name)).family().toStdString();
}

}  // namespace lexoria
