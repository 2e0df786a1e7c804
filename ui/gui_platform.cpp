#include "ui/gui_platform.h"

#include <algorithm>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "core/messages.h"
#include "ui/file_dialog.h"
#include "ui/path_string.h"

namespace chanwright {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Of the dialogs that name no suffix, only the data file's adds one: the defaults file is named
// by the program, and the image and text report dialogs have always taken names as typed.
QString DefaultSuffix(const std::string& filter) {
    return filter == messages::kDataFileFilter ? QStringLiteral("dat") : QString();
}

QString WithSuffix(const QString& path, const QString& suffix) {
    if (path.isEmpty() || suffix.isEmpty() || QFileInfo(path).fileName().contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + suffix;
}

}  // namespace

QString MessageText(const std::string& text) {
    QString lines = QString::fromStdString(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    // The description already names its pattern ("dat files(*.dat)"). "*.*" misses a name
    // without a dot, so every file is offered last as well.
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i];
    filters << QStringLiteral("All Files (*)");
    return filters.join(QLatin1String(";;"));
}

QString WithDefaultSuffix(const QString& path, const std::string& filter) {
    return WithSuffix(path, DefaultSuffix(filter));
}

void GuiPrompter::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(BoxIcon(icon), QString::fromStdString(title), MessageText(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

MessageAnswer GuiPrompter::Ask(const std::string& text, const std::string& title,
                               MessageButtons buttons, MessageIcon icon) {
    const QMessageBox::StandardButtons choice =
        buttons == MessageButtons::YesNo      ? QMessageBox::Yes | QMessageBox::No
        : buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                              : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(BoxIcon(icon), QString::fromStdString(title), MessageText(text), choice,
                    parent_);
    switch (box.exec()) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Cancel;
    }
}

int GuiPrompter::Choose(const std::string& text, const std::string& title,
                        const std::vector<std::string>& buttons, MessageIcon icon) {
    QMessageBox box(BoxIcon(icon), QString::fromStdString(title), MessageText(text),
                    QMessageBox::NoButton, parent_);
    std::vector<QPushButton*> shown;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const bool last = i + 1 == buttons.size();
        shown.push_back(box.addButton(QString::fromStdString(buttons[i]),
                                      last ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    }
    if (shown.empty())
        return -1;
    box.setDefaultButton(shown.front());
    box.setEscapeButton(shown.back());
    box.exec();
    const auto chosen = std::find(shown.begin(), shown.end(), box.clickedButton());
    return chosen == shown.end() ? static_cast<int>(shown.size()) - 1
                                 : static_cast<int>(chosen - shown.begin());
}

std::string GuiPrompter::ChooseOpenFile(const std::string& filter) {
    return ChooseOpenFileIn({}, filter);
}

std::string GuiPrompter::ChooseOpenFileIn(const std::string& folder, const std::string& filter) {
    FileDialog dialog(parent_, PathFromString(folder), QtFileFilter(filter),
                      QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Devices, FIFOs and sockets hold no data file: the dialog lists regular files and folders.
    // The file operations refuse them too, whatever way a name comes in.
    dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    dialog.exec();
    return PathString(dialog.Chosen());
}

std::string GuiPrompter::ChooseSaveFile(const std::string& filter) {
    return ChooseSaveFileIn({}, filter);
}

std::string GuiPrompter::ChooseSaveFileIn(const std::string& folder, const std::string& filter) {
    return ChooseSave(folder, filter, DefaultSuffix(filter));
}

std::string GuiPrompter::ChooseSaveFileWithSuffix(const std::string& filter,
                                                  const std::string& suffix) {
    return ChooseSave({}, filter, QString::fromStdString(suffix));
}

std::string GuiPrompter::ChooseSave(const std::string& folder, const std::string& filter,
                                    const QString& suffix) {
    FileDialog dialog(parent_, PathFromString(folder), QtFileFilter(filter),
                      QFileDialog::AcceptSave);
    // The dialog adds the suffix itself, so that its overwrite question names the file that is
    // written; the name is completed once more in case it comes back as typed.
    dialog.setDefaultSuffix(suffix);
    dialog.exec();
    return PathString(WithSuffix(dialog.Chosen(), suffix));
}

void QtEventPump::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WindowBusyView::SetBusy(bool busy) {
    // Operations nest (a read inside an open command); only the outermost changes the window.
    depth_ += busy ? 1 : -1;
    if (depth_ < 0)
        depth_ = 0;
    if (busy && depth_ == 1) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (window_)
            window_->setEnabled(false);
    } else if (!busy && depth_ == 0) {
        if (window_)
            window_->setEnabled(true);
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace chanwright
