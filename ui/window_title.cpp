#include "ui/window_title.h"

#include "storage/settings_store.h"

namespace chanwright {

QString FileNameOnly(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1).toLower();
}

QString WindowTitleText(const SharedState& shared) {
    QString title = QString::fromStdString(shared.ModelCode) + QStringLiteral("  ") +
                    QLatin1String(SettingsStore::kApplicationTitle);
    if (!shared.CurrentFileName.empty()) {
        title +=
            QStringLiteral(" - ") + FileNameOnly(QString::fromStdString(shared.CurrentFileName));
    }
    return title;
}

}  // namespace chanwright
