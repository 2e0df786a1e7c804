#include "ui/pages/wx_page.h"

#include "core/busy_guard.h"
#include "ui/edit_keys.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QVariant>

#include "ui/pages/page_hints.h"

namespace chanwright {

namespace {

const char kEnableHint[] = "Select[x]Enable/[]Disable.";

// A check box shows ">" as its caption while it has the focus, so the row in hand stands out.
const char kFocusCaption[] = ">";
const char kIdleCaption[] = " ";

template <typename Widget>
Widget* MakeRowControl(QWidget* page, const char* objectName, int row) {
    auto* widget = new Widget(page);
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setProperty("index", row);
    return widget;
}

}  // namespace

WxPage::WxPage(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("pictD"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enable"), this), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Scan"), this), 0, 2);
    layout->addWidget(new QLabel(QStringLiteral("CH Name"), this), 0, 3);

    for (int i = 0; i < kRows; ++i) {
        labels_[i] = MakeRowControl<QLabel>(this, "lblWX", i);
        enables_[i] = MakeRowControl<QCheckBox>(this, "chkDEnable", i);
        scans_[i] = MakeRowControl<QCheckBox>(this, "chkDScan", i);
        names_[i] = MakeRowControl<QLineEdit>(this, "txtDTagName", i);
        for (QCheckBox* box : {enables_[i], scans_[i]}) {
            // As wide as with the mark, so that the mark moves nothing beside it.
            box->setText(QString::fromLatin1(kFocusCaption));
            box->setMinimumWidth(box->sizeHint().width());
            box->setText(QString::fromLatin1(kIdleCaption));
        }
        names_[i]->setMaxLength(kChannelTagLength);
        for (QWidget* control :
             {static_cast<QWidget*>(enables_[i]), static_cast<QWidget*>(scans_[i]),
              static_cast<QWidget*>(names_[i])})
            control->installEventFilter(this);

        layout->addWidget(labels_[i], i + 1, 0);
        layout->addWidget(enables_[i], i + 1, 1);
        layout->addWidget(scans_[i], i + 1, 2);
        layout->addWidget(names_[i], i + 1, 3);

        // clicked() comes only from the user, never from Fill()'s setChecked().
        connect(enables_[i], &QCheckBox::clicked, this, [this, i](bool checked) {
            if (app_.Shared.Busy || i >= static_cast<int>(app_.Data.WxChannels.size()))
                return;
            // The scan and name values stay in the data set while the channel is off.
            scans_[i]->setEnabled(checked);
            names_[i]->setEnabled(checked);
            app_.Data.WxChannels[i].Enable = ToBool16(checked);
        });
        connect(scans_[i], &QCheckBox::clicked, this, [this, i](bool checked) {
            if (app_.Shared.Busy || i >= static_cast<int>(app_.Data.WxChannels.size()))
                return;
            app_.Data.WxChannels[i].ScanMemory = ToBool16(checked);
        });
        // Only the active page edits; a hidden page may be refilled without it meaning a change.
        connect(names_[i], &QLineEdit::textChanged, this, [this, i](const QString& text) {
            if (!isEnabled() || i >= static_cast<int>(app_.Data.WxChannels.size()))
                return;
            app_.Data.WxChannels[i].ChTag = text.toStdString();
        });
    }
    layout->setRowStretch(kRows + 1, 1);
    layout->setColumnStretch(4, 1);
}

void WxPage::Fill() {
    BusyGuard busy(app_.Shared.Busy);
    const std::vector<WxChannel>& channels = app_.Data.WxChannels;
    for (int i = 0; i < kRows; ++i) {
        if (i >= static_cast<int>(channels.size())) {
            labels_[i]->clear();
            enables_[i]->setChecked(false);
            scans_[i]->setChecked(false);
            names_[i]->clear();
            enables_[i]->setEnabled(false);
            scans_[i]->setEnabled(false);
            names_[i]->setEnabled(false);
            continue;
        }
        const WxChannel& channel = channels[i];
        const ChannelPlan& plan = app_.Plans.WxPlan;
        labels_[i]->setText(plan.Contains(channel.Position)
                                ? QString::fromStdString(plan.At(channel.Position).ChannelNo)
                                : QString());
        const bool enabled = channel.Enable != 0;
        enables_[i]->setEnabled(true);
        enables_[i]->setChecked(enabled);
        scans_[i]->setChecked(channel.ScanMemory != 0);
        names_[i]->setText(QString::fromStdString(channel.ChTag));
        scans_[i]->setEnabled(enabled);
        names_[i]->setEnabled(enabled);
    }
}

bool WxPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (auto* box = qobject_cast<QCheckBox*>(watched)) {
        if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
            const bool in = type == QEvent::FocusIn;
            box->setText(QString::fromLatin1(in ? kFocusCaption : kIdleCaption));
            if (in) {
                const bool enable = box->objectName() == QLatin1String("chkDEnable");
                emit StatusHint(QString::fromLatin1(enable ? kEnableHint : kCheckBoxHint));
            }
        }
    } else if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
        if (type == QEvent::FocusIn)
            emit StatusHint(QString::fromLatin1(kChannelNameHint));
        if (NameBoxEvent(edit, event))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace chanwright
