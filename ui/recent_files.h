#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;

namespace chanwright {

// File ▸ 1 … 6: the data files last opened or saved, most recent first.
constexpr int kRecentFileCount = 6;

// The list with path (made absolute) first and nowhere else, kRecentFileCount long at most.
QStringList WithRecentFile(QStringList paths, const QString& path);
QStringList WithoutRecentFile(QStringList paths, const QString& path);

// The recent-file items of the File menu, just above `before` (Exit) with a separator of their own
// between; the separator shows only while there are items.
class RecentFilesMenu {
  public:
    RecentFilesMenu(QMenu* menu, QAction* before, std::function<void(const QString&)> open);

    // "&1 boat.dat" … for the first kRecentFileCount paths; the full path is the item's tip.
    void Show(const QStringList& paths);

  private:
    QAction* bar_;
    QList<QAction*> items_;
    std::function<void(const QString&)> open_;
};

}  // namespace chanwright
