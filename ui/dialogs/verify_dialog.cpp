#include "ui/dialogs/verify_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/messages.h"

namespace chanwright {

VerifyDialog::VerifyDialog(const std::vector<std::string>& lines, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmVerify"));
    setWindowTitle(QString::fromLatin1(messages::kVerifyRadio));
    resize(560, 360);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("The radio differs from the data being edited:"), this));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("txtDifferences"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList all;
    for (const std::string& line : lines)
        all << QString::fromStdString(line);
    text_->setPlainText(all.join(QLatin1Char('\n')));
    layout->addWidget(text_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

}  // namespace chanwright
