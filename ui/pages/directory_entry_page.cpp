#include "ui/pages/directory_entry_page.h"
#include "core/busy_guard.h"
#include "ui/edit_keys.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QVariant>

#include "core/messages.h"
#include "ui/pages/page_hints.h"

namespace chanwright {

namespace {

const char kNameHint[] = "A maximum of 10 characters.";
const char kDeleteQuestion[] = "Are you sure ?";
const char kIndividualMmsiTitle[] = "Individual Directory MMSI";
const char kGroupMmsiTitle[] = "Group Directory MMSI";

// A group MMSI always starts with "0": the label shows it and the box starts after it.
constexpr int kGroupIndent = 10;  // pixels (150 twips)

// Help topics, individual and group.
constexpr int kHelpEnable[2] = {1049, 1069};
constexpr int kHelpName[2] = {1050, 1070};
constexpr int kHelpMmsi[2] = {1051, 1071};

template <typename Widget>
Widget* MakeControl(QWidget* parent, const char* objectName) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

// The box shows what the user types: a group number without its leading "0", and neither
// without the radio's tenth digit.
QString BoxText(const DirectoryEntry& entry, bool group) {
    return QString::fromStdString(TypedMmsi(entry.Mmsid, group));
}

}  // namespace

DirectoryEntryPage::DirectoryEntryPage(AppState& app, Prompter& prompter, EntryPending& entry,
                                       QWidget* parent)
    : QWidget(parent), app_(app), prompter_(prompter), entry_(entry) {
    setObjectName(QStringLiteral("pictG"));

    entryFrame_ = MakeControl<QGroupBox>(this, "pictGG");
    enableCheck_ = MakeControl<QCheckBox>(entryFrame_, "chkGEnable");
    enableCheck_->setText(QStringLiteral("Add"));
    deleteCheck_ = MakeControl<QCheckBox>(entryFrame_, "chkGDelete");
    deleteCheck_->setText(QStringLiteral("Delete"));
    lblTag_ = MakeControl<QLabel>(entryFrame_, "lblTag");
    positionEdit_ = MakeControl<QLineEdit>(entryFrame_, "txtGPosi");
    positionEdit_->setMaxLength(kDirectoryTagLength);
    lblMmsi_ = MakeControl<QLabel>(entryFrame_, "lblMmsi");
    lblMmsi_->setText(QStringLiteral("MMSI"));

    // The MMSI row places its two controls itself: the box moves right for the group "0".
    mmsiBox_ = new QWidget(entryFrame_);
    lblGroup_ = MakeControl<QLabel>(mmsiBox_, "lblGroup");
    lblGroup_->setText(QStringLiteral("0"));
    lblGroup_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    mmsiEdit_ = MakeControl<QLineEdit>(mmsiBox_, "txtGMMSI");
    // A group's box takes 9 digits too, so that a whole group number typed or pasted with its "0"
    // is not cut short.
    mmsiEdit_->setMaxLength(kIndividualMmsiDigits);
    const int boxWidth =
        positionEdit_->fontMetrics().horizontalAdvance(QString(kDirectoryTagLength + 2, 'W'));
    const int boxHeight = mmsiEdit_->sizeHint().height();
    positionEdit_->setFixedWidth(boxWidth);
    mmsiBox_->setFixedSize(boxWidth, boxHeight);
    lblGroup_->setGeometry(0, 0, kGroupIndent, boxHeight);
    mmsiEdit_->setGeometry(0, 0, boxWidth, boxHeight);

    auto* checks = new QHBoxLayout;
    checks->addWidget(enableCheck_);
    checks->addSpacing(24);
    checks->addWidget(deleteCheck_);
    checks->addStretch(1);
    auto* grid = new QGridLayout(entryFrame_);
    grid->setHorizontalSpacing(16);
    grid->addLayout(checks, 0, 0, 1, 2);
    grid->addWidget(lblTag_, 1, 0);
    grid->addWidget(positionEdit_, 1, 1);
    grid->addWidget(lblMmsi_, 2, 0);
    grid->addWidget(mmsiBox_, 2, 1);

    auto* row = new QHBoxLayout;
    row->addWidget(entryFrame_);
    row->addStretch(1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(row);
    page->addStretch(1);

    for (QWidget* control :
         {static_cast<QWidget*>(enableCheck_), static_cast<QWidget*>(deleteCheck_),
          static_cast<QWidget*>(positionEdit_)})
        control->installEventFilter(this);
    // clicked() comes from the user only, never from the page's own setChecked().
    connect(enableCheck_, &QCheckBox::clicked, this, &DirectoryEntryPage::AddClicked);
    connect(deleteCheck_, &QCheckBox::clicked, this, [this] { DeleteClicked(); });
    // The name is taken as it is typed, so a Save chosen while the focus is still in the box
    // writes what the user sees.
    connect(positionEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        const std::optional<EntrySlot> slot = slot_;
        if (slot && isEnabled() && !app_.Shared.Busy)
            EntryAt(*slot).TagName = text.toStdString();
    });

    mmsiEntry_ = new DigitEntry(
        mmsiEdit_, entry_, QString::fromLatin1(kNineDigitHint), [this] { return isEnabled(); },
        [this](bool show) { return CheckMmsi(show); });
    connect(mmsiEntry_, &DigitEntry::StatusHint, this, &DirectoryEntryPage::StatusHint);

    SetupDirectoryEntryPage(false);
}

DirectoryEntry& DirectoryEntryPage::EntryAt(const EntrySlot& slot) {
    const auto index = static_cast<std::size_t>(slot.number - 1);
    return slot.group ? app_.Data.GroupDirectory[index] : app_.Data.IndividualDirectory[index];
}

int DirectoryEntryPage::CountUsedEntries(bool group) const {
    const DirectoryEntry* entries =
        group ? app_.Data.GroupDirectory.data() : app_.Data.IndividualDirectory.data();
    const int size = group ? kGroupDirectorySize : kIndividualDirectorySize;
    int used = 0;
    while (used < size && entries[used].Enable != 0)
        ++used;
    return used;
}

void DirectoryEntryPage::SetupDirectoryEntryPage(bool group) {
    lblGroup_->setVisible(group);
    const int left = group ? kGroupIndent : 0;
    mmsiEdit_->setGeometry(left, 0, mmsiBox_->width() - left, mmsiBox_->height());
    const int topic = group ? 1 : 0;
    enableCheck_->setProperty("helpContext", kHelpEnable[topic]);
    deleteCheck_->setProperty("helpContext", kHelpEnable[topic]);
    positionEdit_->setProperty("helpContext", kHelpName[topic]);
    mmsiEdit_->setProperty("helpContext", kHelpMmsi[topic]);
    lblTag_->setText(group ? QStringLiteral("Group Name") : QStringLiteral("Station Name"));
}

void DirectoryEntryPage::ShowEntry(bool group, int number) {
    const int size = group ? kGroupDirectorySize : kIndividualDirectorySize;
    slot_.reset();
    if (number < 1 || number > size)
        return;
    const EntrySlot slot{group, number};
    slot_ = slot;
    BusyGuard busy(app_.Shared.Busy);
    // Filling the box is no entry of the user's: nothing becomes pending.
    const QSignalBlocker quiet(mmsiEdit_);
    SetupDirectoryEntryPage(slot.group);

    const int used = CountUsedEntries(slot.group);
    const DirectoryEntry& entry = EntryAt(slot);
    positionEdit_->setText(QString::fromStdString(entry.TagName));
    mmsiEdit_->setText(BoxText(entry, slot.group));

    mmsiEntry_->Discard();

    // Only the first free entry can be added; the used block closes up on a delete.
    const bool inUse = slot.number <= used;
    const bool firstFree = slot.number == used + 1;
    enableCheck_->setChecked(inUse);
    deleteCheck_->setChecked(!inUse);
    const std::pair<QWidget*, bool> states[] = {
        {enableCheck_, firstFree}, {deleteCheck_, inUse}, {positionEdit_, inUse}, {lblTag_, inUse},
        {mmsiEdit_, inUse},        {lblMmsi_, inUse},     {lblGroup_, inUse}};
    // A control that closes under the focus would send it out of the page (to the tree, where
    // the next arrow key picks another entry). It goes to the name box of an editable entry, or
    // to Add, instead; those open first so that they can take it.
    QWidget* const focused = QApplication::focusWidget();
    for (const auto& [control, enabled] : states) {
        if (enabled)
            control->setEnabled(true);
    }
    QWidget* const landing = inUse       ? static_cast<QWidget*>(positionEdit_)
                             : firstFree ? static_cast<QWidget*>(enableCheck_)
                                         : nullptr;
    for (const auto& [control, enabled] : states) {
        if (!enabled && control == focused && landing)
            landing->setFocus(Qt::OtherFocusReason);
    }
    for (const auto& [control, enabled] : states) {
        if (!enabled)
            control->setEnabled(false);
    }
    emit DirectoryChanged(slot.group);
}

void DirectoryEntryPage::AddClicked(bool checked) {
    const std::optional<EntrySlot> slot = slot_;
    if (!slot || !isEnabled() || app_.Shared.Busy || !checked)
        return;
    EntryAt(*slot).Enable = kTrue;
    ShowEntry(slot->group, slot->number);
}

void DirectoryEntryPage::DeleteClicked() {
    const std::optional<EntrySlot> slot = slot_;
    if (!slot || !isEnabled() || app_.Shared.Busy)
        return;
    app_.Shared.Busy = true;
    const MessageAnswer answer = prompter_.Ask(kDeleteQuestion, messages::kAppTitle,
                                               MessageButtons::YesNo, MessageIcon::Critical);
    if (answer != MessageAnswer::Yes) {
        deleteCheck_->setChecked(false);
        app_.Shared.Busy = false;
        return;
    }
    // The entries after it move up one place, so the used block stays without a gap.
    const int size = slot->group ? kGroupDirectorySize : kIndividualDirectorySize;
    for (int number = slot->number; number < size; ++number)
        EntryAt({slot->group, number}) = EntryAt({slot->group, number + 1});
    EntryAt({slot->group, size}) = DirectoryEntry{kFalse, "", ""};
    ShowEntry(slot->group, slot->number);
    app_.Shared.Busy = false;
}

bool DirectoryEntryPage::CheckMmsi(bool show) {
    const std::optional<EntrySlot> slot = slot_;
    if (!slot)
        return true;
    DirectoryEntry& entry = EntryAt(*slot);
    const DigitCheck check =
        CheckMmsiText(mmsiEdit_->text(), slot->group ? MmsiRule::Group : MmsiRule::Individual,
                      slot->group ? "Group MMSI" : "MMSI");
    if (check.stored) {
        entry.Mmsid = *check.stored;
        // A group number typed whole moves its "0" to the label.
        if (mmsiEdit_->text() != BoxText(entry, slot->group)) {
            const QSignalBlocker quiet(mmsiEdit_);
            mmsiEdit_->setText(BoxText(entry, slot->group));
        }
        return true;
    }
    if (show)
        prompter_.ShowMessage(messages::WithReason(messages::kDataError, check.reason),
                              slot->group ? kGroupMmsiTitle : kIndividualMmsiTitle,
                              MessageIcon::Exclamation);
    else
        mmsiEdit_->setText(BoxText(entry, slot->group));
    return false;
}

bool DirectoryEntryPage::ValidatePendingEntry() {
    return mmsiEntry_->Validate();
}

bool DirectoryEntryPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == enableCheck_ || watched == deleteCheck_) {
        if (type == QEvent::FocusIn)
            emit StatusHint(QString::fromLatin1(kCheckBoxHint));
    } else if (watched == positionEdit_) {
        if (type == QEvent::FocusIn)
            emit StatusHint(QString::fromLatin1(kNameHint));
        if (NameBoxEvent(positionEdit_, event))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace chanwright
