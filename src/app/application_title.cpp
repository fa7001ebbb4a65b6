#include "app/application_title.hpp"

#include <QCoreApplication>

namespace quill {

QString applicationTitleFor(const QString& executablePath) {
    QString name = executablePath.mid(executablePath.lastIndexOf(u'/') + 1);
    const qsizetype point = name.indexOf(u'.');
    if (point >= 0) name.truncate(point);
    if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString applicationTitle() {
    if (QCoreApplication::instance() == nullptr) return {};
    return applicationTitleFor(QCoreApplication::applicationFilePath());
}

}  // namespace quill
