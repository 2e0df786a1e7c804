#include "ui/help_viewer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "storage/app_paths.h"

namespace chanwright {

HelpViewer::HelpViewer(QString helpFile, QWidget* parent)
    : helpFile_(std::move(helpFile)), parent_(parent) {}

void HelpViewer::ShowTopic(int context) {
    // A modal dialog (the radio dialog) blocks every window but its own: help asked for from it
    // belongs to it, so that it comes up in front of it and can be read while it is up.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = parent_;
    if (window_ && window_->parentWidget() != owner)
        window_->setParent(owner, window_->windowFlags());
    if (!window_) {
        window_ = new QDialog(owner, Qt::Window);
        window_->setObjectName(QStringLiteral("frmHelp"));
        window_->setWindowTitle(QStringLiteral("Chanwright Help"));
        window_->setAttribute(Qt::WA_DeleteOnClose);
        window_->resize(560, 420);
        browser_ = new QTextBrowser(window_);
        browser_->setObjectName(QStringLiteral("helpBrowser"));
        browser_->setOpenExternalLinks(true);
        auto* layout = new QVBoxLayout(window_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser_);
    }
    QUrl url = QUrl::fromLocalFile(helpFile_);
    url.setFragment(QString::number(context));
    browser_->setSource(url);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

QString FindHelpFile(const QString& modelCode) {
    const QString name = modelCode + QStringLiteral(".html");
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QStringList folders = {
        executableFolder,
        QDir(executableFolder).filePath(QStringLiteral("../share/chanwright")),
        ApplicationDataFolder(),
    };
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder).filePath(name));
        if (file.isFile())
            return file.canonicalFilePath();
    }
    return QString();
}

}  // namespace chanwright
