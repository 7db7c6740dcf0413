#include "runtime/qt/qt_font.h"

#include <QFontDatabase>

namespace virevi {

QString JapaneseFace(const QStringList& preferred, bool fixedPitch) {
    const QStringList families = QFontDatabase::families();
    for (const QString& name : preferred) {
        if (families.contains(name, Qt::CaseInsensitive)) {
            return name;
        }
    }
    for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
        if (QFontDatabase::isFixedPitch(family) == fixedPitch) {
            return family;
        }
    }
    return {};
}

} // namespace virevi
