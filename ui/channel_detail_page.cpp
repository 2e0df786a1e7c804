#include "core/busy_guard.h"
#include "ui/channel_pages.h"
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

namespace chanwright {

namespace {

const char kBoxHint[] = "[Space]:An effective and invalid change.";
const char kPositionHint[] = "[Up/Down]:1 step, [Page Up/Page Down]:10 steps, [Home/End]:Head/End";
const char kNameHint[] = "A maximum of 12 characters";

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

    lblCPosition_ = Make<QLabel>(this, "lblCPosition", "Channel Number");
    txtCN_ = MakeValue(this, "txtCN");
    cmbCN_ = Make<QComboBox>(this, "cmbCN");
    for (int position = 0; position <= kExpPlanLast; ++position)
        cmbCN_->addItem(QString::number(position));
    cmbCN_->setMaxVisibleItems(10);
    cmbCN_->hide();
    GuardWheel(cmbCN_);
    auto* rxCaption = Make<QLabel>(this, "lblCRF", "Rx Frequency");
    txtCRF_ = MakeValue(this, "txtCRF");
    auto* txCaption = Make<QLabel>(this, "lblCTF", "Tx Frequency");
    txtCTF_ = MakeValue(this, "txtCTF");

    auto* frame = Make<QGroupBox>(this, "pictCC");
    chkCEnable_ = Make<QCheckBox>(frame, "chkCEnable", "Enable");
    chkCTXEnable_ = Make<QCheckBox>(frame, "chkCTXEnable", "Tx Enable");
    chkCTXOnly_ = Make<QCheckBox>(frame, "chkCTXOnly", "Only Low Power");
    chkCTXPower_ = Make<QCheckBox>(frame, "chkCTXPower", "Power Up");
    chkCDup_ = Make<QCheckBox>(frame, "chkCDup", "Duplex");
    chkCScan_ = Make<QCheckBox>(frame, "chkCScan", "Scan Memory");
    // The VS memory flag is carried with the channel but not offered on these radios.
    chkCVSmemory_ = Make<QCheckBox>(frame, "chkCVSmemory", "VS Memory");
    chkCVSmemory_->hide();

    lblCTag_ = Make<QLabel>(this, "lblCTag", "CH Name");
    txtCTag_ = Make<QLineEdit>(this, "txtCTag");
    txtCTag_->setMaxLength(kChannelTagLength);
    // Room for twelve of the widest characters the radio shows, and the cursor.
    txtCTag_->setMinimumWidth(txtCTag_->fontMetrics().horizontalAdvance(QString(13, 'W')));

    auto* boxes = new QGridLayout(frame);
    boxes->setColumnMinimumWidth(0, kIndent);
    boxes->setColumnMinimumWidth(1, kIndent);
    boxes->addWidget(chkCEnable_, 0, 0, 1, 3, Qt::AlignLeft);
    boxes->addWidget(chkCTXEnable_, 1, 0, 1, 3, Qt::AlignLeft);
    boxes->addWidget(chkCTXOnly_, 2, 1, 1, 2, Qt::AlignLeft);
    boxes->addWidget(chkCTXPower_, 3, 2, Qt::AlignLeft);
    boxes->addWidget(chkCDup_, 4, 0, 1, 3, Qt::AlignLeft);
    boxes->addWidget(chkCScan_, 5, 0, 1, 3, Qt::AlignLeft);
    boxes->addWidget(chkCVSmemory_, 6, 0, 1, 3, Qt::AlignLeft);
    boxes->setColumnStretch(2, 1);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblCPosition_, 0, 0);
    grid->addWidget(txtCN_, 0, 1);
    grid->addWidget(cmbCN_, 0, 1);
    grid->addWidget(rxCaption, 1, 0);
    grid->addWidget(txtCRF_, 1, 1);
    grid->addWidget(txCaption, 2, 0);
    grid->addWidget(txtCTF_, 2, 1);
    grid->addWidget(frame, 3, 0, 1, 2);
    grid->addWidget(lblCTag_, 4, 0);
    grid->addWidget(txtCTag_, 4, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(5, 1);
    grid->setVerticalSpacing(8);

    for (QWidget* control : std::initializer_list<QWidget*>{cmbCN_, chkCEnable_, chkCTXEnable_,
                                                            chkCTXOnly_, chkCTXPower_, chkCDup_,
                                                            chkCScan_, chkCVSmemory_, txtCTag_})
        control->installEventFilter(this);

    // clicked() comes only from the user, never from ShowChannel()'s setChecked().
    connect(chkCEnable_, &QCheckBox::clicked, this, &ChannelDetailPage::EnableClicked);
    connect(chkCTXEnable_, &QCheckBox::clicked, this, [this] {
        if (Editable())
            Cascade(Step::TxEnable, true);
    });
    connect(chkCTXOnly_, &QCheckBox::clicked, this, [this] {
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
    store(chkCTXPower_, &PlanChannel::PowUp);
    store(chkCDup_, &PlanChannel::Duplex);
    store(chkCScan_, &PlanChannel::ScanMemory);
    store(chkCVSmemory_, &PlanChannel::VsMemory);

    connect(txtCTag_, &QLineEdit::textChanged, this, [this](const QString& text) {
        PlanChannel* record = Record();
        if (Editable() && record)
            record->ChTag = text.toStdString();
    });
    // activated() is the user's choice (keys, wheel or list); setCurrentIndex() stays quiet.
    connect(cmbCN_, &QComboBox::activated, this, &ChannelDetailPage::PositionChosen);
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
    return app_.Shared.Busy == 0 && isEnabled();
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
            lblCPosition_->setText(QStringLiteral("Position"));
            cmbCN_->setCurrentIndex(row ? position : -1);
            lastPositionText_ = cmbCN_->currentText();
        } else {
            lblCPosition_->setText(QStringLiteral("Channel Number"));
            txtCN_->setText(row ? QString::fromStdString(row->ChannelNo) : QString());
        }
        txtCN_->setVisible(!channel_.exp);
        cmbCN_->setVisible(channel_.exp);

        txtCTF_->setText(QString::fromStdString(FormatFreq(row ? row->TxFreq : 0.0)));
        const auto load = [](QCheckBox* box, Bool16 value) { box->setChecked(value != 0); };
        load(chkCEnable_, shown.Enable);
        load(chkCTXEnable_, shown.TxEnable);
        load(chkCTXOnly_, shown.LowPower);
        load(chkCTXPower_, shown.PowUp);
        load(chkCDup_, shown.Duplex);
        load(chkCScan_, shown.ScanMemory);
        load(chkCVSmemory_, shown.VsMemory);
        chkCDup_->setEnabled(shown.DuplexSelectable != 0);
        txtCTag_->setText(QString::fromStdString(shown.ChTag));
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
        mhz = chkCDup_->isChecked() ? row.DupRxFreq : row.RxFreq;
    }
    txtCRF_->setText(QString::fromStdString(FormatFreq(mhz)));
}

void ChannelDetailPage::Cascade(Step from, bool userChange) {
    // The page itself is disabled while another page is up, so only each box's own state counts.
    const auto usable = [this](const QCheckBox* box) {
        return box->isChecked() && box->isEnabledTo(this);
    };
    if (from == Step::Enable) {
        const bool enabled = chkCEnable_->isChecked();
        for (QWidget* control : std::initializer_list<QWidget*>{chkCTXEnable_, chkCVSmemory_,
                                                                chkCScan_, txtCTag_, lblCTag_})
            control->setEnabled(enabled);
        // Duplex comes back only with the next show, and only where the channel allows it.
        if (!enabled)
            chkCDup_->setEnabled(false);
    }
    if (from != Step::LowPower)
        chkCTXOnly_->setEnabled(usable(chkCTXEnable_));
    chkCTXPower_->setEnabled(usable(chkCTXOnly_));

    PlanChannel* record = Record();
    if (userChange && isEnabled() && record) {
        record->TxEnable = ToBool16(chkCTXEnable_->isChecked());
        record->LowPower = ToBool16(chkCTXOnly_->isChecked());
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
    chkCEnable_->setFocus();
}

void ChannelDetailPage::PositionChosen() {
    PlanChannel* record = Record();
    if (!Editable() || !positionFocus_ || !channel_.exp || !record)
        return;
    const QString text = cmbCN_->currentText();
    if (text != lastPositionText_) {
        lastPositionText_ = text;
        record->Position = static_cast<int16_t>(text.toInt());
        SeedExpChannel(*record, app_.Plans.ExpPlan);
        ShowChannel(channel_);
    }
    record->Enable = ToBool16(chkCEnable_->isChecked());
    ShowChannel(channel_);
    emit NodeTextChanged();
    cmbCN_->setFocus();
}

bool ChannelDetailPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        // The list's own drop-down takes the focus while it is open; that is still the same visit.
        const bool popup = static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason;
        const bool in = type == QEvent::FocusIn;
        if (watched == cmbCN_) {
            if (in) {
                emit StatusHint(QString::fromLatin1(kPositionHint));
                positionFocus_ = true;
                if (!popup)
                    lastPositionText_ = cmbCN_->currentText();
            } else if (!popup && !cmbCN_->view()->isVisible()) {
                positionFocus_ = false;
            }
        } else if (watched == txtCTag_) {
            if (in)
                emit StatusHint(QString::fromLatin1(kNameHint));
            NameBoxEvent(txtCTag_, event);
        } else if (in && qobject_cast<QCheckBox*>(watched)) {
            emit StatusHint(QString::fromLatin1(kBoxHint));
        }
    } else if (type == QEvent::KeyPress && watched == cmbCN_) {
        if (const std::optional<int> next = PageStepIndex(cmbCN_, static_cast<QKeyEvent*>(event))) {
            if (*next != cmbCN_->currentIndex()) {
                cmbCN_->setCurrentIndex(*next);
                PositionChosen();
            }
            return true;
        }
    } else if (type == QEvent::KeyPress && watched == txtCTag_) {
        if (NameBoxEvent(txtCTag_, event))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace chanwright
