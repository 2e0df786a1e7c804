#include "ui/pages/settings_page.h"
#include "core/busy_guard.h"
#include "core/messages.h"
#include "ui/edit_keys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <QVariant>
#include <algorithm>

#include "image/setting_text.h"
#include "ui/pages/page_hints.h"

namespace chanwright {

namespace {

const char kComboHint[] = "[Up/Down]:1 step, [Page Up/Page Down]:10 steps, [Home/End]:Head/End";
const char kClearHint[] = "A Click Inicializes the number of User MMSI setting permission";
const char kAtisHint[] = "Numeric Only. Indispensable 10 figures.";

// The radio counts how often its User MMSI was set at this image address.
constexpr int kUserMmsiCountAddress = 341;
constexpr int kUserMmsiDigits = 9;
constexpr int kAtisDigits = 10;

// The panels were drawn in twips; the screen has 15 twips per pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int Pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// Row tops from the top of a panel, a row every 420 twips.
constexpr int kRowTops[] = {120, 580, 960, 1380, 1800, 2220, 2640, 3060};
constexpr int kCaptionLeft = 240;
constexpr int kCaptionWidth = 2100;
constexpr int kControlLeft = 2460;
constexpr int kComboWidth = 1500;
constexpr int kGap = 90;
constexpr int kCountWidth = 600;
constexpr int kClearWidth = 1050;
constexpr int kAtisWidth = 1650;
constexpr int kPanelMargin = 90;

// A stored value outside the list leaves the list's selection as it is.
void SelectIfListed(QComboBox* combo, int position) {
    if (position >= 0 && position < combo->count())
        combo->setCurrentIndex(position);
}

void SetItems(QComboBox* combo, const QStringList& items) {
    combo->clear();
    combo->addItems(items);
}

void PlaceRow(QWidget* caption, QWidget* control, int topTwips) {
    const int y = Pixels(topTwips);
    caption->move(caption->x(), y);
    control->move(control->x(), y);
}

QFrame* MakePanel(QWidget* parent, int index) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("pictFtbs"));
    panel->setProperty("index", index);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    return panel;
}

}  // namespace

SettingsPage::SettingsPage(AppState& app, Prompter& prompter, EntryPending& entry, QWidget* parent)
    : QWidget(parent), app_(app), prompter_(prompter), entry_(entry) {
    setObjectName(QStringLiteral("pictF"));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    tabsWithoutAtis_ = new QTabBar(this);
    tabsWithoutAtis_->setObjectName(QStringLiteral("tbsFNE"));
    tabsWithoutAtis_->addTab(QStringLiteral("Radio Setup"));
    tabsWithoutAtis_->addTab(QStringLiteral("DSC Setup"));
    tabsWithAtis_ = new QTabBar(this);
    tabsWithAtis_->setObjectName(QStringLiteral("tbsF"));
    tabsWithAtis_->addTab(QStringLiteral("Radio Setup"));
    tabsWithAtis_->addTab(QStringLiteral("DSC Setup"));
    tabsWithAtis_->addTab(QStringLiteral("ATIS Setup"));
    tabsWithAtis_->hide();
    for (QTabBar* strip : {tabsWithoutAtis_, tabsWithAtis_})
        strip->setDrawBase(false);
    rowHeight_ = QComboBox().sizeHint().height();
    stack_ = new QStackedWidget(this);
    for (int i = 0; i < kSubPages; ++i) {
        QFrame* panel = MakePanel(stack_, i);
        stack_->addWidget(panel);
        subPages_[static_cast<std::size_t>(i)] = panel;
    }
    BuildRadioSetup(subPages_[0]);
    BuildDscSetup(subPages_[1]);
    BuildAtisSetup(subPages_[2]);
    // The panels place their rows themselves; a data area narrower or shorter than the panel on
    // show scrolls it, so that every control can still be reached.
    for (std::size_t i = 0; i < subPages_.size(); ++i) {
        const QPoint extent = subPages_[i]->childrenRect().bottomRight();
        extents_[i] = QSize(extent.x() + Pixels(kPanelMargin), extent.y() + Pixels(kPanelMargin));
    }
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("pictFScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(stack_);
    layout->addWidget(tabsWithoutAtis_);
    layout->addWidget(tabsWithAtis_);
    layout->addWidget(scroll, 1);
    for (QTabBar* strip : {tabsWithoutAtis_, tabsWithAtis_}) {
        connect(strip, &QTabBar::currentChanged, this,
                [this, strip](int tab) { OnTabChosen(strip, tab); });
    }
    Reset();
    ApplyModelLayout();
    SelectSubPage(0);
}

QComboBox* SettingsPage::MakeCombo(QWidget* frame, const char* name,
                                   std::function<void(int)> store) {
    auto* combo = new QComboBox(frame);
    combo->setObjectName(QLatin1String(name));
    combo->resize(Pixels(kComboWidth), rowHeight_);
    combo->installEventFilter(this);
    GuardWheel(combo);
    // activated() comes from the user only, never from Fill()'s setCurrentIndex().
    connect(combo, &QComboBox::activated, this, [this, store = std::move(store)](int position) {
        if (!app_.Shared.Busy && position >= 0)
            store(position);
    });
    return combo;
}

QCheckBox* SettingsPage::MakeCheck(QWidget* frame, const char* name, const QString& text,
                                   Bool16 CommonSettings::*field) {
    auto* box = new QCheckBox(text, frame);
    box->setObjectName(QLatin1String(name));
    // As tall as a list, so that its box lines up with the caption like the lists do.
    box->resize(box->sizeHint().width(), rowHeight_);
    box->installEventFilter(this);
    connect(box, &QCheckBox::clicked, this, [this, field](bool checked) {
        if (!app_.Shared.Busy)
            app_.Data.Common.*field = ToBool16(checked);
    });
    return box;
}

SettingsPage::Row SettingsPage::AddRow(QWidget* frame, const char* caption, QWidget* control,
                                       int topTwips) {
    auto* label = new QLabel(QLatin1String(caption), frame);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A check box's caption is part of it: a click on it toggles the box.
    if (qobject_cast<QCheckBox*>(control)) {
        label->setBuddy(control);
        label->installEventFilter(this);
    }
    label->setGeometry(Pixels(kCaptionLeft), 0, Pixels(kCaptionWidth), control->height());
    control->move(Pixels(kControlLeft), 0);
    PlaceRow(label, control, topTwips);
    return {label, control};
}

void SettingsPage::BuildRadioSetup(QWidget* frame) {
    CommonSettings& common = app_.Data.Common;
    contrastList_ = MakeCombo(frame, "cmbFCont",
                              [&common](int position) { common.Contrast = int16_t(position); });
    contrastRow_ = AddRow(frame, "Contrast Level", contrastList_, kRowTops[0]);
    dimmerList_ = MakeCombo(frame, "cmbFDim", [&common](int position) {
        common.Dimmer = int16_t(IndexToLevel(position));
    });
    dimmerRow_ = AddRow(frame, "Dimmer Status", dimmerList_, kRowTops[1]);
    offsetList_ = MakeCombo(frame, "cmbFOffset",
                            [&common](int position) { common.OffsetTime = int16_t(position); });
    offsetRow_ = AddRow(frame, "Offset Time", offsetList_, kRowTops[2]);
    beepCheck_ = MakeCheck(frame, "chkFBeep", QStringLiteral("[On]"), &CommonSettings::KeyBeep);
    beepRow_ = AddRow(frame, "Key Beep", beepCheck_, kRowTops[3]);
    wxAlertCheck_ = MakeCheck(frame, "chkFWX", QStringLiteral("[On]"), &CommonSettings::WxAlert);
    wxRow_ = AddRow(frame, "WX Alert", wxAlertCheck_, kRowTops[4]);
    scanList_ = MakeCombo(frame, "cmbFScan",
                          [&common](int position) { common.ScanType = int16_t(position); });
    scanRow_ = AddRow(frame, "Scan Type", scanList_, kRowTops[5]);
    scramblerList_ = MakeCombo(frame, "cmbFScrambler",
                               [&common](int position) { common.Scrambler = int16_t(position); });
    AddRow(frame, "Voice Scrambler", scramblerList_, kRowTops[6]);
    // No model shows the bearing choice; the value still travels with the data set.
    magneticCheck_ =
        MakeCheck(frame, "chkFMAG", QStringLiteral("[Magnetic On]"), &CommonSettings::TrueMAG);
    magneticCheck_->removeEventFilter(this);
    const Row mag = AddRow(frame, "True MAG", magneticCheck_, kRowTops[7]);
    mag.caption->hide();
    mag.control->hide();
}

void SettingsPage::BuildDscSetup(QWidget* frame) {
    userMmsiEdit_ = new QLineEdit(frame);
    userMmsiEdit_->setObjectName(QStringLiteral("txtFUser"));
    userMmsiEdit_->setMaxLength(kUserMmsiDigits);
    userMmsiEdit_->resize(Pixels(kComboWidth), rowHeight_);
    AddRow(frame, "User MMSI", userMmsiEdit_, kRowTops[0]);
    userEntry_ = new DigitEntry(
        userMmsiEdit_, entry_, QString::fromLatin1(kNineDigitHint), [this] { return isEnabled(); },
        [this](bool show) { return CheckUserMmsi(show); });
    connect(userEntry_, &DigitEntry::StatusHint, this, &SettingsPage::StatusHint);

    // The count and its Clear sit beside the number they limit.
    int left = Pixels(kControlLeft + kComboWidth + kGap);
    permissionCountEdit_ = new QLineEdit(frame);
    permissionCountEdit_->setObjectName(QStringLiteral("txtFCount"));
    permissionCountEdit_->setReadOnly(true);
    permissionCountEdit_->setAlignment(Qt::AlignRight);
    permissionCountEdit_->setGeometry(left, userMmsiEdit_->y(), Pixels(kCountWidth),
                                      userMmsiEdit_->height());
    left += Pixels(kCountWidth + kGap);
    clearButton_ = new QPushButton(QStringLiteral("Clear"), frame);
    clearButton_->setObjectName(QStringLiteral("cmdFClear"));
    clearButton_->setGeometry(left, userMmsiEdit_->y(), Pixels(kClearWidth),
                              userMmsiEdit_->height());
    clearButton_->installEventFilter(this);
    connect(clearButton_, &QPushButton::clicked, this, &SettingsPage::ClearRequested);

    CommonSettings& common = app_.Data.Common;
    individualRingerList_ = MakeCombo(frame, "cmbFIND", [&common](int position) {
        common.Ind = int16_t(IndexToLevel(position));
    });
    AddRow(frame, "Individual Ringer", individualRingerList_, kRowTops[1]);
    // A ticked box says what the radio then does: answers by itself, acknowledges a call as able
    // to comply, scans for DSC calls.
    individualReplyCheck_ =
        MakeCheck(frame, "chkFindReply", QStringLiteral("[Auto]"), &CommonSettings::IndReply);
    AddRow(frame, "Individual Reply", individualReplyCheck_, kRowTops[2]);
    individualAckCheck_ =
        MakeCheck(frame, "chkFindAck", QStringLiteral("[Able to Comply]"), &CommonSettings::IndACK);
    AddRow(frame, "Individual ACK", individualAckCheck_, kRowTops[3]);
    positionReplyCheck_ =
        MakeCheck(frame, "chkFposRR", QStringLiteral("[Auto]"), &CommonSettings::POSRR);
    AddRow(frame, "POS Request Reply", positionReplyCheck_, kRowTops[4]);
    dscScanCheck_ = MakeCheck(frame, "chkFDSC", QStringLiteral("[On]"), &CommonSettings::DscScan);
    AddRow(frame, "DSC Scan", dscScanCheck_, kRowTops[5]);
}

void SettingsPage::BuildAtisSetup(QWidget* frame) {
    static const std::array<Bool16 CommonSettings::*, 3> fields = {
        &CommonSettings::AtisOnOffUSA, &CommonSettings::AtisOnOffInternational,
        &CommonSettings::AtisOnOffCanada};
    static const std::array<const char*, 3> names = {"USA", "INTERNATIONAL", "CANADA"};
    for (std::size_t i = 0; i < atisChecks_.size(); ++i) {
        auto* box = new QCheckBox(QLatin1String(names[i]), frame);
        box->setObjectName(QStringLiteral("chkFATIS"));
        box->setProperty("index", static_cast<int>(i));
        box->move(Pixels(kCaptionLeft), Pixels(kRowTops[i]));
        box->resize(box->sizeHint().width(), rowHeight_);
        box->installEventFilter(this);
        // The ATIS switches are stored whatever the page is doing.
        const auto field = fields[i];
        connect(box, &QCheckBox::clicked, this,
                [this, field](bool checked) { app_.Data.Common.*field = ToBool16(checked); });
        atisChecks_[i] = box;
    }
    atisNumberEdit_ = new QLineEdit(frame);
    atisNumberEdit_->setObjectName(QStringLiteral("txtFATISNo"));
    atisNumberEdit_->setMaxLength(kAtisDigits);
    atisNumberEdit_->resize(Pixels(kAtisWidth), rowHeight_);
    AddRow(frame, "ATIS NUMBER", atisNumberEdit_, kRowTops[3]);
    atisEntry_ = new DigitEntry(
        atisNumberEdit_, entry_, QString::fromLatin1(kAtisHint), [this] { return isEnabled(); },
        [this](bool show) { return CheckAtisNo(show); });
    connect(atisEntry_, &DigitEntry::StatusHint, this, &SettingsPage::StatusHint);
}

bool SettingsPage::CheckUserMmsi(bool show) {
    std::string& stored = app_.Data.Common.UserMmsid;
    const DigitCheck check =
        CheckMmsiText(userMmsiEdit_->text(), MmsiRule::Individual, "User MMSI");
    if (check.stored) {
        stored = *check.stored;
        return true;
    }
    if (show)
        prompter_.ShowMessage(messages::WithReason(messages::kDataError, check.reason), "User MMSI",
                              MessageIcon::Exclamation);
    else
        userMmsiEdit_->setText(QString::fromStdString(stored));
    return false;
}

bool SettingsPage::CheckAtisNo(bool show) {
    std::string& stored = app_.Data.Common.AtisNo;
    const DigitCheck check = CheckAtisText(atisNumberEdit_->text());
    if (check.stored) {
        stored = *check.stored;
        return true;
    }
    if (show)
        prompter_.ShowMessage(messages::WithReason(messages::kDataError, check.reason), "ATISNo",
                              MessageIcon::Exclamation);
    else
        atisNumberEdit_->setText(QString::fromStdString(stored));
    return false;
}

void SettingsPage::OnTabChosen(QTabBar* strip, int tab) {
    if (tab == stack_->currentIndex())
        return;
    // A refused entry keeps its panel up, so the focus can go back into the box.
    if (!ValidatePendingEntry()) {
        const QSignalBlocker quiet(strip);
        strip->setCurrentIndex(stack_->currentIndex());
        return;
    }
    SelectSubPage(tab);
}

void SettingsPage::SelectSubPage(int index) {
    if (index < 0 || index >= kSubPages)
        return;
    for (int i = 0; i < kSubPages; ++i)
        subPages_[static_cast<std::size_t>(i)]->setEnabled(i == index);
    stack_->setMinimumSize(extents_[static_cast<std::size_t>(index)]);
    stack_->setCurrentIndex(index);
    for (QTabBar* strip : {tabsWithoutAtis_, tabsWithAtis_}) {
        if (index < strip->count()) {
            const QSignalBlocker quiet(strip);
            strip->setCurrentIndex(index);
        }
    }
}

void SettingsPage::FillLists() {
    QStringList contrast;
    for (int level = 0; level <= 7; ++level)
        contrast << QString::number(level);
    SetItems(contrastList_, contrast);
    SetItems(dimmerList_, {"HI", "MID", "LO", "OFF"});
    QStringList offsets;
    for (const std::string& text : OffsetTimeList())
        offsets << QString::fromStdString(text);
    SetItems(offsetList_, offsets);
    SetItems(scanList_, {"Memory", "Priority"});
    SetItems(scramblerList_, {"OFF", "0", "1", "2", "3"});
    SetItems(individualRingerList_, {"3 min", "15 times", "10 times", "5 times"});
}

void SettingsPage::Reset() {
    FillLists();
    for (QComboBox* combo : {contrastList_, dimmerList_, offsetList_, scanList_, scramblerList_,
                             individualRingerList_})
        combo->setCurrentIndex(-1);
    for (QCheckBox* box : {beepCheck_, magneticCheck_, dscScanCheck_})
        box->setChecked(false);
    for (QCheckBox* box : atisChecks_)
        box->setChecked(false);
    atisNumberEdit_->clear();
    userMmsiEdit_->clear();
    permissionCountEdit_->clear();
    // Emptied boxes hold nothing the user typed.
    userEntry_->Discard();
    atisEntry_->Discard();
}

void SettingsPage::Fill() {
    {
        BusyGuard busy(app_.Shared.Busy);
        const CommonSettings& common = app_.Data.Common;
        SelectIfListed(contrastList_, common.Contrast);
        SelectIfListed(dimmerList_, LevelToIndex(common.Dimmer));
        SelectIfListed(scramblerList_, ScramblerIndex(common.Scrambler));
        SelectIfListed(scanList_, common.ScanType);
        SelectIfListed(individualRingerList_, LevelToIndex(common.Ind));
        SelectIfListed(offsetList_, common.OffsetTime);
        beepCheck_->setChecked(common.KeyBeep != 0);
        magneticCheck_->setChecked(common.TrueMAG != 0);
        wxAlertCheck_->setChecked(common.WxAlert != 0);
        individualReplyCheck_->setChecked(common.IndReply != 0);
        individualAckCheck_->setChecked(common.IndACK != 0);
        positionReplyCheck_->setChecked(common.POSRR != 0);
        dscScanCheck_->setChecked(common.DscScan != 0);
        atisChecks_[0]->setChecked(common.AtisOnOffUSA != 0);
        atisChecks_[1]->setChecked(common.AtisOnOffInternational != 0);
        atisChecks_[2]->setChecked(common.AtisOnOffCanada != 0);
        atisNumberEdit_->setText(QString::fromStdString(common.AtisNo));
        userMmsiEdit_->setText(QString::fromStdString(common.UserMmsid));
        permissionCountEdit_->setText(QString::number(app_.Image[kUserMmsiCountAddress]));
        // The boxes now show what is stored: nothing is waiting to be checked.
        userEntry_->Discard();
        atisEntry_->Discard();
    }
    ApplyModelLayout();
    SelectSubPage(0);
}

void SettingsPage::ApplyModelLayout() {
    // The TQ5300 has no contrast, dimmer or key beep setting; its other rows move up.
    const bool full = app_.Shared.ModelNum != Model::TQ5300;
    for (const Row* row : {&contrastRow_, &dimmerRow_, &beepRow_}) {
        row->caption->setVisible(full);
        row->control->setVisible(full);
    }
    PlaceRow(contrastRow_.caption, contrastRow_.control, kRowTops[0]);
    PlaceRow(dimmerRow_.caption, dimmerRow_.control, kRowTops[1]);
    PlaceRow(offsetRow_.caption, offsetRow_.control, full ? kRowTops[2] : kRowTops[0]);
    PlaceRow(beepRow_.caption, beepRow_.control, kRowTops[3]);
    PlaceRow(wxRow_.caption, wxRow_.control, full ? kRowTops[4] : kRowTops[1]);
    PlaceRow(scanRow_.caption, scanRow_.control, full ? kRowTops[5] : kRowTops[2]);
}

bool SettingsPage::ValidatePendingEntry() {
    return userEntry_->Validate() && atisEntry_->Validate();
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (auto* combo = qobject_cast<QComboBox*>(watched)) {
        if (type == QEvent::FocusIn)
            emit StatusHint(QString::fromLatin1(kComboHint));
        if (type == QEvent::KeyPress) {
            if (const std::optional<int> to =
                    PageStepIndex(combo, static_cast<QKeyEvent*>(event))) {
                if (*to != combo->currentIndex()) {
                    combo->setCurrentIndex(*to);
                    emit combo->activated(*to);
                }
                return true;
            }
        }
    } else if (auto* caption = qobject_cast<QLabel*>(watched);
               caption && type == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            caption->rect().contains(mouse->position().toPoint())) {
            auto* box = static_cast<QCheckBox*>(caption->buddy());
            box->setFocus(Qt::MouseFocusReason);
            box->click();
            return true;
        }
    } else if (type == QEvent::FocusIn) {
        if (qobject_cast<QCheckBox*>(watched))
            emit StatusHint(QString::fromLatin1(kCheckBoxHint));
        else if (watched == clearButton_)
            emit StatusHint(QString::fromLatin1(kClearHint));
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace chanwright
