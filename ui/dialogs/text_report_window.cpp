#include "ui/dialogs/text_report_window.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "core/messages.h"
#include "report/text_report.h"
#include "storage/file_io.h"
#include "ui/path_string.h"

namespace chanwright {

namespace {

constexpr const char* kTextFileFilter = "Text files(*.txt)|*.txt|All files(*.*)|*.*";
constexpr int kPauseMs = 500;

// Disables the window under the busy pointer, and gives both back however the work ends.
class BusyWindow {
  public:
    explicit BusyWindow(QWidget& window) : window_(window) {
        window_.setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyWindow() {
        QApplication::restoreOverrideCursor();
        window_.setEnabled(true);
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

  private:
    QWidget& window_;
};

// The box breaks lines itself; the CR LF pairs stay in the saved bytes only.
QString ShownText(const std::string& bytes) {
    QString text = QString::fromStdString(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

}  // namespace

TextReportWindow::TextReportWindow(AppState& app, Platform& platform, QWidget* parent)
    : QDialog(parent), app_(app), platform_(platform) {
    setObjectName(QStringLiteral("frmPrn"));
    setModal(true);
    setWindowTitle(
        QString::fromStdString(std::string(messages::kAppTitle) + " " + app_.Shared.ModelName()));

    auto* menuBar = new QMenuBar(this);
    QMenu* fileMenu = menuBar->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName(QStringLiteral("mnuFile"));
    QAction* saveAs = fileMenu->addAction(QStringLiteral("&Save As..."));
    saveAs->setObjectName(QStringLiteral("mnuFileSaveAs"));
    QAction* exit = fileMenu->addAction(QStringLiteral("&Exit"));
    exit->setObjectName(QStringLiteral("mnuFileExit"));
    connect(saveAs, &QAction::triggered, this, [this] { SaveAs(); });
    connect(exit, &QAction::triggered, this, &QDialog::close);

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("txtPrn"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setPlainText(QStringLiteral("Now, making text image. Please wait..."));

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(text_, 1);
    layout->addLayout(buttons);

    // The text is built once the window is on screen, so the user sees the waiting note first.
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setSingleShot(true);
    timer_->setInterval(10);
    connect(timer_, &QTimer::timeout, this, [this] { BuildText(); });

    resize(558, 409);
}

void TextReportWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A restore from the taskbar is a spontaneous show and keeps the text already built.
    if (!event->spontaneous())
        timer_->start();
}

void TextReportWindow::BuildText() {
    BusyWindow busy(*this);
    text_bytes_ = report::BuildTextReport(app_);
    text_->setPlainText(ShownText(text_bytes_));
    platform_.clock.Pause(kPauseMs);
}

void TextReportWindow::SaveAs() {
    const std::string path = platform_.prompter.ChooseSaveFile(kTextFileFilter);
    if (path.empty()) {
        app_.Shared.AbortRequested = true;
        return;
    }
    app_.Shared.OperationFailed = false;
    BusyWindow busy(*this);
    QString error;
    if (!WriteText(PathFromString(path), error)) {
        app_.Shared.OperationFailed = true;
        app_.Shared.AbortRequested = true;
        platform_.prompter.ShowMessage(
            error.toStdString(), std::string(messages::kAppTitle) + " " + app_.Shared.ModelName(),
            MessageIcon::Exclamation);
    }
    platform_.clock.Pause(kPauseMs);
}

bool TextReportWindow::WriteText(const QString& path, QString& error) const {
    ErrorInfo failure;
    if (WriteOutputFile(path, text_bytes_ + "\r\n", failure))
        return true;
    error = QString::fromStdString(failure.Description);
    return false;
}

}  // namespace chanwright
