#include "ui/odd_names_model.h"

#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QLocale>
#include <QRegularExpression>

#include "storage/file_io.h"

namespace chanwright {

namespace {

// Carried bytes stand in a name as U+DC80 to U+DCFF; Qt's own listing has no such names.
bool NotUtf8(const QString& name) {
    return std::any_of(name.begin(), name.end(),
                       [](QChar c) { return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF; });
}

}  // namespace

OddNamesModel::OddNamesModel(QObject* parent) : QIdentityProxyModel(parent) {}

bool OddNamesModel::IsAdded(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return false;
    return std::any_of(folders_.begin(), folders_.end(), [&](const auto& folder) {
        return folder.second.get() == index.internalPointer();
    });
}

const OddNamesModel::Folder* OddNamesModel::FolderAt(const QModelIndex& parent) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || !parent.isValid() || IsAdded(parent))
        return nullptr;
    const QModelIndex source = mapToSource(parent);
    if (!source.isValid() || !files->isDir(source))
        return nullptr;
    const QString path = files->filePath(source);
    std::unique_ptr<Folder>& folder = folders_[path];
    if (!folder) {
        folder = std::make_unique<Folder>();
        folder->source = source;
        for (FolderEntry& entry : ListFiles(path))
            if (NotUtf8(entry.name))
                folder->files.push_back(std::move(entry));
    }
    return folder.get();
}

std::vector<const FolderEntry*> OddNamesModel::Shown(const Folder& folder) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    std::vector<QRegularExpression> patterns;
    for (const QString& filter : files->nameFilters())
        patterns.emplace_back(QRegularExpression::wildcardToRegularExpression(filter),
                              QRegularExpression::CaseInsensitiveOption);
    std::vector<const FolderEntry*> shown;
    for (const FolderEntry& entry : folder.files) {
        const QString name = ShownPath(entry.name);
        if (patterns.empty() || std::any_of(patterns.begin(), patterns.end(), [&](const auto& p) {
                return p.match(name).hasMatch();
            }))
            shown.push_back(&entry);
    }
    return shown;
}

const FolderEntry* OddNamesModel::EntryAt(const QModelIndex& index) const {
    if (!IsAdded(index))
        return nullptr;
    const auto* folder = static_cast<const Folder*>(index.internalPointer());
    const std::vector<const FolderEntry*> shown = Shown(*folder);
    const int at = index.row() - sourceModel()->rowCount(folder->source);
    return at >= 0 && at < static_cast<int>(shown.size()) ? shown[static_cast<std::size_t>(at)]
                                                          : nullptr;
}

int OddNamesModel::rowCount(const QModelIndex& parent) const {
    if (IsAdded(parent))
        return 0;
    const Folder* folder = FolderAt(parent);
    return QIdentityProxyModel::rowCount(parent) +
           (folder ? static_cast<int>(Shown(*folder).size()) : 0);
}

int OddNamesModel::columnCount(const QModelIndex& parent) const {
    return IsAdded(parent) ? 0 : QIdentityProxyModel::columnCount(parent);
}

bool OddNamesModel::hasChildren(const QModelIndex& parent) const {
    return !IsAdded(parent) && QIdentityProxyModel::hasChildren(parent);
}

bool OddNamesModel::canFetchMore(const QModelIndex& parent) const {
    return !IsAdded(parent) && QIdentityProxyModel::canFetchMore(parent);
}

QModelIndex OddNamesModel::index(int row, int column, const QModelIndex& parent) const {
    const int own =
        parent.isValid() && !IsAdded(parent) ? QIdentityProxyModel::rowCount(parent) : 0;
    if (row < own || !parent.isValid())
        return QIdentityProxyModel::index(row, column, parent);
    const Folder* folder = FolderAt(parent);
    if (!folder || row >= rowCount(parent) || column < 0 || column >= columnCount(parent))
        return {};
    return createIndex(row, column, const_cast<Folder*>(folder));
}

QModelIndex OddNamesModel::parent(const QModelIndex& child) const {
    if (!IsAdded(child))
        return QIdentityProxyModel::parent(child);
    return mapFromSource(static_cast<const Folder*>(child.internalPointer())->source);
}

QModelIndex OddNamesModel::sibling(int row, int column, const QModelIndex& index) const {
    if (!IsAdded(index) && row == index.row())
        return QIdentityProxyModel::sibling(row, column, index);
    return this->index(row, column, parent(index));
}

QModelIndex OddNamesModel::mapToSource(const QModelIndex& proxy) const {
    return IsAdded(proxy) ? QModelIndex() : QIdentityProxyModel::mapToSource(proxy);
}

QVariant OddNamesModel::data(const QModelIndex& index, int role) const {
    if (!IsAdded(index))
        return QIdentityProxyModel::data(index, role);
    const FolderEntry* entry = EntryAt(index);
    if (!entry)
        return {};
    if (role == QFileSystemModel::FilePathRole || role == Qt::ToolTipRole)
        return ShownPath(entry->path);
    if (role == QFileSystemModel::FileNameRole)
        return ShownPath(entry->name);
    if (role == Qt::DecorationRole && index.column() == 0)
        return QFileIconProvider().icon(QAbstractFileIconProvider::File);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
        case 0:
            return ShownPath(entry->name);
        case 2:
            return QStringLiteral("File");
        case 3:
            return QLocale().toString(entry->modified, QLocale::ShortFormat);
        default:
            return {};
    }
}

Qt::ItemFlags OddNamesModel::flags(const QModelIndex& index) const {
    if (!IsAdded(index))
        return QIdentityProxyModel::flags(index);
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace chanwright
