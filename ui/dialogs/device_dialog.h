#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <vector>

#include "link/port_list.h"

class QLabel;
class QLineEdit;
class QTableWidget;

namespace chanwright {

// `frmDevice`: the device behind one COM item. It lists the serial ports found now and takes any
// path typed in, so a pseudo-terminal or a symbolic link serves as well as an adapter.
class DeviceDialog : public QDialog {
    Q_OBJECT
  public:
    // device: what the item stands for now; listPorts: the ports found, asked again on Refresh.
    DeviceDialog(int16_t comNum, const QString& device,
                 std::function<std::vector<PortInfo>()> listPorts, QWidget* parent = nullptr);

    // The path in the box, trimmed and made absolute (see DevicePath); empty gives the item its
    // default again.
    QString Device() const;

  private:
    void Refresh();
    void RowChosen();

    std::function<std::vector<PortInfo>()> listPorts_;
    std::vector<PortInfo> ports_;
    QTableWidget* table_;
    QLabel* noPorts_;
    QLineEdit* device_;
};

}  // namespace chanwright
