#include "ui/pages/directory_list_page.h"

#include <QVariant>
#include <vector>

#include "image/channel_text.h"

namespace chanwright {

namespace {

using Column = ListGrid::Column;

constexpr int kDirectoryNameColumn = 1;
const std::vector<Column> kDirectoryColumns = {
    {"No.", 800},
    {"STATION NAME", 2500},
    {"MMSI", 2150},
};

}  // namespace

DirectoryListPage::DirectoryListPage(AppState& app, QWidget* parent)
    : QWidget(parent), app_(app), grid_(ListGrid::FillingPage(this, "MSFlexGrid2")) {
    setObjectName(QStringLiteral("pictE"));
    connect(grid_, &ListGrid::RowActivated, this, &DirectoryListPage::RowActivated);
}

void DirectoryListPage::ShowDirectory(bool group) {
    // Both directories are shown by this one grid, so its help topic follows the directory.
    grid_->setProperty("helpContext", group ? 1067 : 1047);
    std::vector<Column> columns = kDirectoryColumns;
    if (group)
        columns[kDirectoryNameColumn].title = "GROUP NAME";
    const DirectoryEntry* entries =
        group ? app_.Data.GroupDirectory.data() : app_.Data.IndividualDirectory.data();
    const int count = group ? kGroupDirectorySize : kIndividualDirectorySize;
    grid_->BeginFill(columns, count);
    for (int i = 0; i < count; ++i) {
        grid_->SetText(i + 1, 0, QString::number(i + 1));
        grid_->SetText(i + 1, 1, entries[i].TagName);
        grid_->SetText(i + 1, 2, ShownMmsi(entries[i].Mmsid));
    }
    grid_->EndFill();
}

}  // namespace chanwright
