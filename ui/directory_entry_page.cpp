#include "ui/directory_entry_page.h"

namespace chanwright {

DirectoryEntryPage::DirectoryEntryPage(AppState& app, Prompter& prompter, EntryPending& entry,
                                       QWidget* parent)
    : QWidget(parent), app_(app), prompter_(prompter), entry_(entry) {
    setObjectName(QStringLiteral("pictG"));
}

void DirectoryEntryPage::ShowEntry(const QString& key) {
    key_ = key;
}

bool DirectoryEntryPage::ValidateFocusedEntry() {
    return true;
}

}  // namespace chanwright
