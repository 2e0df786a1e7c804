#pragma once

#include <QIdentityProxyModel>
#include <QPersistentModelIndex>
#include <map>
#include <memory>
#include <vector>

#include "storage/file_system.h"

namespace chanwright {

// Qt's file system model over the widget file dialog, with the regular files that model leaves
// out: those whose names are not UTF-8 (a file copied from an old disk, named in Latin-1). They
// follow a folder's own rows, named as ShownPath writes them (\xNN for each odd byte), so that
// the user sees and chooses them; their path (FilePathRole) is that shown form, which the dialog
// turns back into the name's bytes.
class OddNamesModel : public QIdentityProxyModel {
  public:
    explicit OddNamesModel(QObject* parent = nullptr);

    // Whether the row is one of the added files.
    bool IsAdded(const QModelIndex& index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& index) const override;
    QModelIndex mapToSource(const QModelIndex& proxy) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    struct Folder {
        QPersistentModelIndex source;
        std::vector<FolderEntry> files;  // those whose names are not UTF-8
    };
    // The folder a row of the view stands for, listed once; none for a file.
    const Folder* FolderAt(const QModelIndex& parent) const;
    // The folder's added files that pass the dialog's name filter.
    std::vector<const FolderEntry*> Shown(const Folder& folder) const;
    const FolderEntry* EntryAt(const QModelIndex& index) const;

    mutable std::map<QString, std::unique_ptr<Folder>> folders_;
};

}  // namespace chanwright
