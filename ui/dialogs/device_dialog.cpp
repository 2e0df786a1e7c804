#include "ui/dialogs/device_dialog.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "storage/device_path.h"
#include "storage/settings_store.h"
#include "ui/dialogs/dialog_parts.h"

namespace chanwright {

DeviceDialog::DeviceDialog(int16_t comNum, const QString& device,
                           std::function<std::vector<PortInfo>()> listPorts, QWidget* parent)
    : QDialog(parent), listPorts_(std::move(listPorts)) {
    setObjectName(QStringLiteral("frmDevice"));
    setWindowTitle(QStringLiteral("Device for COM%1").arg(comNum));
    resize(720, 300);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Serial ports found now:"), this));

    table_ = new QTableWidget(0, 5, this);
    table_->setObjectName(QStringLiteral("grdPorts"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Device"), QStringLiteral("Description"),
                                       QStringLiteral("Maker"), QStringLiteral("Serial Number"),
                                       QStringLiteral("By-id Name")});
    MakeRowChooser(table_);
    table_->setTextElideMode(Qt::ElideMiddle);
    layout->addWidget(table_, 1);
    noPorts_ = new QLabel(NoPortsHint(), this);
    noPorts_->setObjectName(QStringLiteral("lblNoPorts"));
    noPorts_->setWordWrap(true);
    noPorts_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    noPorts_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(noPorts_, 1);

    auto* pathRow = new QHBoxLayout;
    auto* pathLabel = new QLabel(QStringLiteral("COM%1 &uses:").arg(comNum), this);
    device_ = new QLineEdit(device, this);
    device_->setObjectName(QStringLiteral("txtDevice"));
    device_->setPlaceholderText(SettingsStore::DefaultComDevice(comNum));
    pathLabel->setBuddy(device_);
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(device_, 1);
    layout->addLayout(pathRow);

    auto* refresh = new QPushButton(QStringLiteral("&Refresh"), this);
    refresh->setObjectName(QStringLiteral("cmdRefresh"));
    const DialogButtons buttons = AddDialogButtons(this, layout, refresh);

    connect(refresh, &QPushButton::clicked, this, &DeviceDialog::Refresh);
    connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(table_, &QTableWidget::itemSelectionChanged, this, &DeviceDialog::RowChosen);
    connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    Refresh();
    device_->setFocus();
}

// Stored absolute, so that the window and the tool, whatever folder each runs in, open one device.
QString DeviceDialog::Device() const {
    return DevicePath(device_->text().trimmed());
}

// A new list leaves the box as the user left it.
void DeviceDialog::Refresh() {
    ports_ = listPorts_ ? listPorts_() : std::vector<PortInfo>();
    const QSignalBlocker quiet(table_);
    table_->clearContents();
    table_->setRowCount(static_cast<int>(ports_.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const PortInfo& port = ports_[static_cast<std::size_t>(row)];
        const QString cells[] = {port.device, port.description, port.manufacturer,
                                 port.serialNumber, QFileInfo(port.byId).fileName()};
        for (int column = 0; column < 5; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setToolTip(column == 4 ? port.byId : cells[column]);
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
    table_->setVisible(!ports_.empty());
    noPorts_->setVisible(ports_.empty());
}

// The by-id name leads to the same adapter after a replug or a reboot; the device may not.
void DeviceDialog::RowChosen() {
    const QList<QTableWidgetItem*> chosen = table_->selectedItems();
    if (chosen.isEmpty())
        return;
    const PortInfo& port = ports_.at(static_cast<std::size_t>(chosen.first()->row()));
    device_->setText(port.byId.isEmpty() ? port.device : port.byId);
}

}  // namespace chanwright
