#include "ui/recent_files.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "storage/file_io.h"

namespace chanwright {

namespace {

// One file, however it was named: the dialogs give absolute paths, the settings file may not.
QString SamePathForm(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

}  // namespace

QStringList WithRecentFile(QStringList paths, const QString& path) {
    paths = WithoutRecentFile(std::move(paths), path);
    paths.prepend(SamePathForm(path));
    return paths.mid(0, kRecentFileCount);
}

QStringList WithoutRecentFile(QStringList paths, const QString& path) {
    const QString same = SamePathForm(path);
    paths.removeIf(
        [&](const QString& entry) { return SamePathForm(entry).compare(same, kPathCase) == 0; });
    return paths;
}

RecentFilesMenu::RecentFilesMenu(QMenu* menu, QAction* before,
                                 std::function<void(const QString&)> open)
    : bar_(menu->insertSeparator(before)), open_(std::move(open)) {
    bar_->setObjectName(QStringLiteral("mnuFileBar4"));
    // The items stay for the window's life: one may be chosen while the list changes.
    for (int i = 1; i <= kRecentFileCount; ++i) {
        auto* item = new QAction(menu);
        item->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i));
        QObject::connect(item, &QAction::triggered, menu,
                         [this, item] { open_(item->data().toString()); });
        menu->insertAction(bar_, item);
        items_ << item;
    }
    Show({});
}

void RecentFilesMenu::Show(const QStringList& paths) {
    for (int i = 0; i < items_.size(); ++i) {
        QAction* item = items_[i];
        item->setVisible(i < paths.size());
        if (i >= paths.size())
            continue;
        QString name = ShownPath(QFileInfo(paths[i]).fileName());
        name.replace(QLatin1Char('&'), QLatin1String("&&"));
        item->setText(QStringLiteral("&%1 %2").arg(QString::number(i + 1), name));
        item->setData(paths[i]);
        item->setStatusTip(ShownPath(QDir::toNativeSeparators(paths[i])));
        item->setToolTip(item->statusTip());
    }
    bar_->setVisible(!paths.isEmpty());
}

}  // namespace chanwright
