#include "ui/window_title.h"

#include "storage/settings_store.h"
#include "ui/path_string.h"

namespace chanwright {

QString FileNameOnly(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    QString name = path.mid(cut + 1);
    // Letter by letter: QString::toLower turns a byte carried for a name that is not UTF-8 (a lone
    // surrogate) into U+FFFD.
    for (QChar& letter : name)
        letter = letter.isSurrogate() ? letter : letter.toLower();
    return name;
}

QString WindowTitleText(const SharedState& shared) {
    QString title = QString::fromStdString(shared.ModelCode) + QStringLiteral("  ") +
                    QLatin1String(SettingsStore::kApplicationTitle);
    // The name is the system's bytes; what cannot be read as text is shown as \xNN.
    if (!shared.CurrentFileName.empty())
        title +=
            QStringLiteral(" - ") + ShownPath(FileNameOnly(PathFromString(shared.CurrentFileName)));
    return title;
}

}  // namespace chanwright
