#include "ui/dialogs/merge_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialogs/dialog_parts.h"

namespace chanwright {

namespace {

struct PartChoice {
    report::MergePart part;
    const char* name;
    const char* caption;
};
constexpr PartChoice kChoices[] = {
    {report::MergePart::Channels, "chkMergeChannels", "&Channels (USA, International, Canada)"},
    {report::MergePart::Wx, "chkMergeWx", "&WX channels"},
    {report::MergePart::Exp, "chkMergeExp", "&EXP channels"},
    {report::MergePart::Individual, "chkMergeIndividual", "&Individual directory"},
    {report::MergePart::Group, "chkMergeGroup", "&Group directory"},
    {report::MergePart::Settings, "chkMergeSettings", "&Settings"},
    {report::MergePart::Identity, "chkMergeIdentity", "I&dentity (user MMSI and ATIS number)"}};

}  // namespace

MergeDialog::MergeDialog(const QString& fileName, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMerge"));
    setWindowTitle(QStringLiteral("Merge from Data File"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Copy from %1:").arg(fileName), this));
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] = new QCheckBox(QLatin1String(kChoices[i].caption), this);
        boxes_[i]->setObjectName(QLatin1String(kChoices[i].name));
        boxes_[i]->setChecked(kChoices[i].part != report::MergePart::Identity);
        layout->addWidget(boxes_[i]);
    }
    const DialogButtons buttons = AddDialogButtons(this, layout, nullptr);
    connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
}

std::vector<report::MergePart> MergeDialog::Parts() const {
    std::vector<report::MergePart> parts;
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i]->isChecked())
            parts.push_back(kChoices[i].part);
    return parts;
}

}  // namespace chanwright
