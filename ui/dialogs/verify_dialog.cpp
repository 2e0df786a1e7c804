#include "ui/dialogs/verify_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/messages.h"
#include "ui/dialogs/dialog_parts.h"

namespace chanwright {

VerifyDialog::VerifyDialog(const std::vector<std::string>& lines, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmVerify"));
    setWindowTitle(QString::fromLatin1(messages::kVerifyRadio));
    resize(560, 360);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("The radio differs from the data being edited:"), this));
    text_ = AddLinesView(this, layout, lines, "txtDifferences");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

}  // namespace chanwright
