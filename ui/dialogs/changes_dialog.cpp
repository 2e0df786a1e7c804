#include "ui/dialogs/changes_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialogs/dialog_parts.h"

namespace chanwright {

ChangesDialog::ChangesDialog(const QString& title, const std::vector<std::string>& lines,
                             QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmChanges"));
    setWindowTitle(title);
    resize(560, 360);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("These changes will be made:"), this));
    AddLinesView(this, layout, lines, "txtChanges");
    const DialogButtons buttons = AddDialogButtons(this, layout, nullptr);
    connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace chanwright
