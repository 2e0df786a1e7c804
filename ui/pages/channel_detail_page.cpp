#include "ui/pages/channel_detail_page.h"

#include "core/busy_guard.h"
#include "ui/edit_keys.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <algorithm>
#include <utility>

#include "image/channel_text.h"
#include "ui/pages/page_hints.h"

namespace chanwright {

namespace {

const char kPositionHint[] = "[Up/Down]:1 step, [Page Up/Page Down]:10 steps, [Home/End]:Head/End";

// The cascade's dependent boxes sit one step to the right of the box they depend on.
constexpr int kIndent = 20;

template <typename Widget>
Widget* Make(QWidget* parent, const char* objectName) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

template <typename Widget>
Widget* Make(QWidget* parent, const char* objectName, const char* text) {
    auto* widget = Make<Widget>(parent, objectName);
    widget->setText(QString::fromLatin1(text));
    return widget;
}

// A read-only value, drawn sunken like a box the user cannot type into.
QLabel* MakeValue(QWidget* parent, const char* objectName) {
    auto* label = Make<QLabel>(parent, objectName);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(80);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

}  // namespace

ChannelDetailPage::ChannelDetailPage(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("pictC"));

    positionLabel_ = Make<QLabel>(this, "lblCPosition", "Channel Number");
    channelLabel_ = MakeValue(this, "txtCN");
    positionList_ = Make<QComboBox>(this, "cmbCN");
    for (int position = 0; position <= kExpPlanLast; ++position)
        positionList_->addItem(QString::number(position));
    positionList_->setMaxVisibleItems(10);
    positionList_->hide();
    GuardWheel(positionList_);
    auto* rxCaption = Make<QLabel>(this, "lblCRF", "Rx Frequency");
    rxFrequencyLabel_ = MakeValue(this, "txtCRF");
    auto* txCaption = Make<QLabel>(this, "lblCTF", "Tx Frequency");
    txFrequencyLabel_ = MakeValue(this, "txtCTF");

    auto* frame = Make<QGroupBox>(this, "pictCC");
    enableCheck_ = Make<QCheckBox>(frame, "chkCEnable", "Enable");
    txEnableCheck_ = Make<QCheckBox>(frame, "chkCTXEnable", "Tx Enable");
    txOnlyCheck_ = Make<QCheckBox>(frame, "chkCTXOnly", "Only Low Power");
    txPowerCheck_ = Make<QCheckBox>(frame, "chkCTXPower", "Power Up");
    duplexCheck_ = Make<QCheckBox>(frame, "chkCDup", "Duplex");
    scanCheck_ = Make<QCheckBox>(frame, "chkCScan", "Scan Memory");
    // The VS memory flag is carried with the channel but not offered on these radios.
    vsMemoryCheck_ = Make<QCheckBox>(frame, "chkCVSmemory", "VS Memory");
    vsMemoryCheck_->hide();

    tagLabel_ = Make<QLabel>(this, "lblCTag", "CH Name");
    tagEdit_ = Make<QLineEdit>(this, "txtCTag");
    tagEdit_->setMaxLength(kChannelTagLength);
    // Room for twelve of the widest characters the radio shows, and the cursor.
    tagEdit_->setMinimumWidth(tagEdit_->fontMetrics().horizontalAdvance(QString(13, 'W')));

    auto* boxes = new QGridLayout(frame);
    boxes->setColumnMinimumWidth(0, kIndent);
    boxes->setColumnMinimumWidth(1, kIndent);
    boxes->addWidget(enableCheck_, 0, 0, 1, 3, Qt::AlignLeft);
    boxes->addWidget(txEnableCheck_, 1, 0, 1, 3, Qt::AlignLeft);
    boxes->addWidget(txOnlyCheck_, 2, 1, 1, 2, Qt::AlignLeft);
    boxes->addWidget(txPowerCheck_, 3, 2, Qt::AlignLeft);
    boxes->addWidget(duplexCheck_, 4, 0, 1, 3, Qt::AlignLeft);
    boxes->addWidget(scanCheck_, 5, 0, 1, 3, Qt::AlignLeft);
    boxes->addWidget(vsMemoryCheck_, 6, 0, 1, 3, Qt::AlignLeft);
    boxes->setColumnStretch(2, 1);

    auto* grid = new QGridLayout(this);
    grid->addWidget(positionLabel_, 0, 0);
    grid->addWidget(channelLabel_, 0, 1);
    grid->addWidget(positionList_, 0, 1);
    grid->addWidget(rxCaption, 1, 0);
    grid->addWidget(rxFrequencyLabel_, 1, 1);
    grid->addWidget(txCaption, 2, 0);
    grid->addWidget(txFrequencyLabel_, 2, 1);
    grid->addWidget(frame, 3, 0, 1, 2);
    grid->addWidget(tagLabel_, 4, 0);
    grid->addWidget(tagEdit_, 4, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(5, 1);
    grid->setVerticalSpacing(8);

    for (QWidget* control : std::initializer_list<QWidget*>{
             positionList_, enableCheck_, txEnableCheck_, txOnlyCheck_, txPowerCheck_, duplexCheck_,
             scanCheck_, vsMemoryCheck_, tagEdit_})
        control->installEventFilter(this);

    // clicked() comes only from the user, never from ShowChannel()'s setChecked().
    connect(enableCheck_, &QCheckBox::clicked, this, &ChannelDetailPage::EnableClicked);
    connect(txEnableCheck_, &QCheckBox::clicked, this, [this] {
        if (Editable())
            Cascade(Step::TxEnable, true);
    });
    connect(txOnlyCheck_, &QCheckBox::clicked, this, [this] {
        if (Editable())
            Cascade(Step::LowPower, true);
    });
    const auto store = [this](QCheckBox* box, Bool16 PlanChannel::*field) {
        connect(box, &QCheckBox::clicked, this, [this, field](bool checked) {
            PlanChannel* record = Record();
            if (!Editable() || !record)
                return;
            record->*field = ToBool16(checked);
            if (field == &PlanChannel::Duplex)
                ShowRxFreq();
        });
    };
    store(txPowerCheck_, &PlanChannel::PowUp);
    store(duplexCheck_, &PlanChannel::Duplex);
    store(scanCheck_, &PlanChannel::ScanMemory);
    store(vsMemoryCheck_, &PlanChannel::VsMemory);

    connect(tagEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        PlanChannel* record = Record();
        if (Editable() && record)
            record->ChTag = text.toStdString();
    });
    // activated() is the user's choice (keys, wheel or list); setCurrentIndex() stays quiet.
    connect(positionList_, &QComboBox::activated, this, &ChannelDetailPage::PositionChosen);
}

PlanChannel* ChannelDetailPage::Record() {
    if (channel_.exp) {
        const int n = channel_.index;
        return n >= 1 && n <= kExpChannelCount ? &app_.Data.ExpChannels[n - 1] : nullptr;
    }
    std::vector<PlanChannel>& list = ChannelsOf(app_.Data, channel_.region);
    const int i = channel_.index;
    return i >= 0 && i < static_cast<int>(list.size()) ? &list[i] : nullptr;
}

bool ChannelDetailPage::Editable() const {
    return !app_.Shared.Busy && isEnabled();
}

void ChannelDetailPage::ShowChannel(const ChannelRef& channel) {
    channel_ = channel;
    PlanChannel* record = Record();
    {
        BusyGuard busy(app_.Shared.Busy);
        const ChannelPlan& plan =
            channel_.exp ? app_.Plans.ExpPlan : PlanOf(app_.Plans, channel_.region);
        const int position = record ? record->Position : -1;
        const ChannelPlanEntry* row = plan.Contains(position) ? &plan.At(position) : nullptr;
        // Whether duplex can be chosen depends on the raster row, which the user may change.
        if (channel_.exp && record && row)
            record->DuplexSelectable = ToBool16(row->DuplexFlag != 0);
        const PlanChannel shown = record ? *record : PlanChannel{};

        if (channel_.exp) {
            positionLabel_->setText(QStringLiteral("Position"));
            positionList_->setCurrentIndex(row ? position : -1);
            lastPositionText_ = positionList_->currentText();
        } else {
            positionLabel_->setText(QStringLiteral("Channel Number"));
            channelLabel_->setText(row ? QString::fromStdString(row->ChannelNo) : QString());
        }
        channelLabel_->setVisible(!channel_.exp);
        positionList_->setVisible(channel_.exp);

        txFrequencyLabel_->setText(QString::fromStdString(FormatFreq(row ? row->TxFreq : 0.0)));
        const auto load = [](QCheckBox* box, Bool16 value) { box->setChecked(value != 0); };
        load(enableCheck_, shown.Enable);
        load(txEnableCheck_, shown.TxEnable);
        load(txOnlyCheck_, shown.LowPower);
        load(txPowerCheck_, shown.PowUp);
        load(duplexCheck_, shown.Duplex);
        load(scanCheck_, shown.ScanMemory);
        load(vsMemoryCheck_, shown.VsMemory);
        duplexCheck_->setEnabled(shown.DuplexSelectable != 0);
        tagEdit_->setText(QString::fromStdString(shown.ChTag));
        ShowRxFreq();
    }
    Cascade(Step::Enable, false);
}

void ChannelDetailPage::ShowRxFreq() {
    const PlanChannel* record = Record();
    const ChannelPlan& plan =
        channel_.exp ? app_.Plans.ExpPlan : PlanOf(app_.Plans, channel_.region);
    double mhz = 0.0;
    if (record && plan.Contains(record->Position)) {
        const ChannelPlanEntry& row = plan.At(record->Position);
        mhz = duplexCheck_->isChecked() ? row.DupRxFreq : row.RxFreq;
    }
    rxFrequencyLabel_->setText(QString::fromStdString(FormatFreq(mhz)));
}

void ChannelDetailPage::Cascade(Step from, bool userChange) {
    // The page itself is disabled while another page is up, so only each box's own state counts.
    const auto usable = [this](const QCheckBox* box) {
        return box->isChecked() && box->isEnabledTo(this);
    };
    if (from == Step::Enable) {
        const bool enabled = enableCheck_->isChecked();
        for (QWidget* control : std::initializer_list<QWidget*>{txEnableCheck_, vsMemoryCheck_,
                                                                scanCheck_, tagEdit_, tagLabel_})
            control->setEnabled(enabled);
        // Duplex comes back only with the next show, and only where the channel allows it.
        if (!enabled)
            duplexCheck_->setEnabled(false);
    }
    if (from != Step::LowPower)
        txOnlyCheck_->setEnabled(usable(txEnableCheck_));
    txPowerCheck_->setEnabled(usable(txOnlyCheck_));

    PlanChannel* record = Record();
    if (userChange && isEnabled() && record) {
        record->TxEnable = ToBool16(txEnableCheck_->isChecked());
        record->LowPower = ToBool16(txOnlyCheck_->isChecked());
    }
}

void ChannelDetailPage::EnableClicked(bool checked) {
    PlanChannel* record = Record();
    if (!Editable() || !record)
        return;
    Cascade(Step::Enable, true);
    record->Enable = ToBool16(checked);
    if (!checked && !channel_.exp) {
        // A switched-off channel can no longer be the A or B channel of its list.
        auto [a, b] = ChoicesOf(app_.Data.Channels, channel_.region);
        const int slot = record->Position - 1;
        if (*b == slot)
            *b = kNoChannel;
        if (*a == slot)
            *a = kNoChannel;
        if (*a == kNoChannel)
            *b = kNoChannel;
    }
    ShowChannel(channel_);
    emit NodeTextChanged();
    enableCheck_->setFocus();
}

void ChannelDetailPage::PositionChosen() {
    PlanChannel* record = Record();
    if (!Editable() || !positionFocus_ || !channel_.exp || !record)
        return;
    const QString text = positionList_->currentText();
    if (text != lastPositionText_) {
        lastPositionText_ = text;
        record->Position = static_cast<int16_t>(text.toInt());
        SeedExpChannel(*record, app_.Plans.ExpPlan);
        ShowChannel(channel_);
    }
    record->Enable = ToBool16(enableCheck_->isChecked());
    ShowChannel(channel_);
    emit NodeTextChanged();
    positionList_->setFocus();
}

bool ChannelDetailPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        // The list's own drop-down takes the focus while it is open; that is still the same visit.
        const bool popup = static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason;
        const bool in = type == QEvent::FocusIn;
        if (watched == positionList_) {
            if (in) {
                emit StatusHint(QString::fromLatin1(kPositionHint));
                positionFocus_ = true;
                if (!popup)
                    lastPositionText_ = positionList_->currentText();
            } else if (!popup && !positionList_->view()->isVisible()) {
                positionFocus_ = false;
            }
        } else if (watched == tagEdit_) {
            if (in)
                emit StatusHint(QString::fromLatin1(kChannelNameHint));
            NameBoxEvent(tagEdit_, event);
        } else if (in && qobject_cast<QCheckBox*>(watched)) {
            emit StatusHint(QString::fromLatin1(kCheckBoxHint));
        }
    } else if (type == QEvent::KeyPress && watched == positionList_) {
        if (const std::optional<int> next =
                PageStepIndex(positionList_, static_cast<QKeyEvent*>(event))) {
            if (*next != positionList_->currentIndex()) {
                positionList_->setCurrentIndex(*next);
                PositionChosen();
            }
            return true;
        }
    } else if (type == QEvent::KeyPress && watched == tagEdit_) {
        if (NameBoxEvent(tagEdit_, event))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace chanwright
