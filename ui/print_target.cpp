#include "ui/print_target.h"

#include <QPrintDialog>
#include <QPrinter>

namespace chanwright {

std::unique_ptr<QPagedPaintDevice> ChoosePrinter(QWidget* parent) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The report places its columns from the paper's edge, not from the printable area.
    printer->setFullPage(true);
    QPrintDialog dialog(printer.get(), parent);
    // The report is printed whole; a file goes through Print to File instead.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

}  // namespace chanwright
