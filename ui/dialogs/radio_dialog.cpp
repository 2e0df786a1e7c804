#include "ui/dialogs/radio_dialog.h"
#include "core/messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>

#include "link/serial_trace.h"
#include "storage/file_io.h"
#include "ui/help_contexts.h"

namespace chanwright {

namespace {

// Positions as the dialog was first laid out in twips, at 15 twips a pixel.
constexpr int kLeftPicture = 8;     // 120 twips
constexpr int kRightPicture = 248;  // 3720 twips
constexpr int kPictureTop = 48;     // 720 twips
constexpr int kPictureWidth = 130;
constexpr int kPictureHeight = 110;

QPixmap BlankPicture(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A handheld VHF: body, display, keys and a stubby antenna.
QPixmap RadioPicture() {
    QPixmap pixmap = BlankPicture(kPictureWidth, kPictureHeight);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 48);
    p.setPen(QPen(ink, 1.5));
    p.setBrush(QColor(30, 30, 36));
    p.drawRoundedRect(QRectF(72, 6, 8, 30), 3, 3);  // antenna
    p.setBrush(QColor(242, 196, 36));
    p.drawRoundedRect(QRectF(44, 28, 44, 78), 8, 8);  // body
    p.setBrush(QColor(70, 70, 78));
    p.drawRect(QRectF(50, 34, 32, 8));  // speaker grille
    p.setBrush(QColor(172, 214, 160));
    p.drawRect(QRectF(50, 46, 32, 18));  // display
    p.setPen(QPen(QColor(30, 70, 30), 1));
    p.setFont(QFont(QStringLiteral("Sans"), 7, QFont::Bold));
    p.drawText(QRectF(50, 46, 32, 18), Qt::AlignCenter, QStringLiteral("16"));
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(60, 60, 68));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            p.drawRoundedRect(QRectF(51 + column * 11, 70 + row * 10, 8, 6), 2, 2);
    }
    return pixmap;
}

// A desktop PC: monitor on its stand, keyboard in front.
QPixmap PcPicture() {
    QPixmap pixmap = BlankPicture(kPictureWidth, kPictureHeight);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 48);
    p.setPen(QPen(ink, 1.5));
    p.setBrush(QColor(200, 200, 196));
    p.drawRoundedRect(QRectF(20, 8, 90, 64), 4, 4);  // monitor
    p.setBrush(QColor(40, 80, 150));
    p.drawRect(QRectF(27, 14, 76, 50));  // screen
    p.setBrush(QColor(200, 200, 196));
    p.drawRect(QRectF(58, 72, 14, 8));  // neck
    p.drawRect(QRectF(44, 80, 42, 5));  // foot
    QPainterPath keyboard;
    keyboard.moveTo(22, 88);
    keyboard.lineTo(108, 88);
    keyboard.lineTo(118, 104);
    keyboard.lineTo(12, 104);
    keyboard.closeSubpath();
    p.drawPath(keyboard);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (int row = 0; row < 3; ++row) {
        const double y = 92 + row * 4;
        p.drawLine(QPointF(22 - row * 2.5, y), QPointF(108 + row * 2.5, y));
    }
    return pixmap;
}

// Data flows left to right, from the source to its destination.
QPixmap ArrowPicture(int width, int height) {
    QPixmap pixmap = BlankPicture(width, height);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 120, 40));
    const double mid = height / 2.0;
    QPainterPath arrow;
    arrow.moveTo(4, mid - 5);
    arrow.lineTo(width - 22, mid - 5);
    arrow.lineTo(width - 22, mid - 14);
    arrow.lineTo(width - 4, mid);
    arrow.lineTo(width - 22, mid + 14);
    arrow.lineTo(width - 22, mid + 5);
    arrow.lineTo(4, mid + 5);
    arrow.closeSubpath();
    p.drawPath(arrow);
    return pixmap;
}

// Names the trace file under every failure of a traced transfer, after the program's own text, so
// the user knows what to send along with a report. A trace that stopped early says why, under the
// failure or under Complete!!, so that nobody counts on a trace that is not whole.
class TraceNamingPrompter : public Prompter {
  public:
    TraceNamingPrompter(Prompter& prompter, const SerialTrace& trace)
        : prompter_(prompter), trace_(trace) {}
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        const std::optional<ErrorInfo>& stopped = trace_.Failure();
        if (icon != MessageIcon::Critical && !(stopped && icon == MessageIcon::Information))
            return prompter_.ShowMessage(text, title, icon);
        const std::string trailer = "\n\nSerial trace: " + ShownPath(trace_.Path()).toStdString() +
                                    (stopped ? " (stopped: " + stopped->Description + ")" : "");
        prompter_.ShowMessage(text + trailer, title, icon);
    }
    MessageAnswer Ask(const std::string& text, const std::string& title, MessageButtons buttons,
                      MessageIcon icon) override {
        return prompter_.Ask(text, title, buttons, icon);
    }
    int Choose(const std::string& text, const std::string& title,
               const std::vector<std::string>& buttons, MessageIcon icon) override {
        return prompter_.Choose(text, title, buttons, icon);
    }
    std::string ChooseOpenFile(const std::string& filter) override {
        return prompter_.ChooseOpenFile(filter);
    }
    std::string ChooseSaveFile(const std::string& filter) override {
        return prompter_.ChooseSaveFile(filter);
    }

  private:
    Prompter& prompter_;
    const SerialTrace& trace_;
};

// The MMSI identifies the vessel in distress calls: another boat's is never written without a word.
UserMmsiAnswer AskUserMmsi(Prompter& prompter, const UserMmsiCheck& check) {
    const std::string data = ShownMmsi(check.data);
    const std::string text =
        "This radio's user MMSI is " + ShownMmsi(check.radio) + ". " +
        (data.empty() ? "The data holds none." : "The data holds " + data + ".") +
        " The MMSI identifies the vessel in distress calls.";
    switch (prompter.Choose(
        text, messages::kProgramToRadio,
        {"Keep the radio's", data.empty() ? "Write none" : "Write " + data, "Cancel"},
        MessageIcon::Question)) {
        case 0:
            return UserMmsiAnswer::KeepRadio;
        case 1:
            return UserMmsiAnswer::WriteData;
        default:
            return UserMmsiAnswer::Cancel;
    }
}

}  // namespace

RadioDialog::RadioDialog(AppState& app, RadioDialogServices services, QWidget* parent)
    : QDialog(parent), app_(app), services_(std::move(services)) {
    setObjectName(QStringLiteral("frmRadio"));
    setModal(true);
    setFixedSize(398, 233);

    radioPicture_ = new QLabel(this);
    radioPicture_->setObjectName(QStringLiteral("pictA"));
    radioPicture_->setPixmap(RadioPicture());
    pcPicture_ = new QLabel(this);
    pcPicture_->setObjectName(QStringLiteral("pictB"));
    pcPicture_->setPixmap(PcPicture());
    for (QLabel* picture : {radioPicture_, pcPicture_})
        picture->setFixedSize(kPictureWidth, kPictureHeight);

    const int arrowLeft = kLeftPicture + kPictureWidth + 6;
    const int arrowWidth = kRightPicture - 6 - arrowLeft;
    arrow_ = new QLabel(this);
    arrow_->setPixmap(ArrowPicture(arrowWidth, 40));
    arrow_->setGeometry(arrowLeft, kPictureTop + (kPictureHeight - 40) / 2, arrowWidth, 40);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("pictProgress"));
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    progress_->setGeometry(kLeftPicture, 16, kRightPicture + kPictureWidth - kLeftPicture, 18);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    help_ = new QPushButton(QStringLiteral("Help"), this);
    help_->setObjectName(QStringLiteral("cmdHelp"));
    int left = kRightPicture + kPictureWidth - 3 * 88 - 2 * 8;
    for (QPushButton* button : {ok_, cancel_, help_}) {
        button->setGeometry(left, 180, 88, 28);
        left += 88 + 8;
    }
    ok_->setDefault(true);

    // Below the buttons, across the dialog, as a by-id name is long; one longer still loses its
    // middle, the tooltip holds it whole.
    port_ = new QLabel(this);
    port_->setObjectName(QStringLiteral("lblPort"));
    port_->setGeometry(kLeftPicture, 211, width() - 2 * kLeftPicture, 18);
    if (!services_.port.isEmpty()) {
        const QString text = QStringLiteral("Port: ") + services_.port;
        port_->setText(port_->fontMetrics().elidedText(text, Qt::ElideMiddle, port_->width()));
        port_->setToolTip(text);
    }
    connect(ok_, &QPushButton::clicked, this, [this] { OkClicked(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { CancelClicked(); });
    connect(help_, &QPushButton::clicked, this, [this] { HelpClicked(); });

    ApplyTransferMode();
}

RadioDialog::~RadioDialog() {
    if (cursorShown_)
        QApplication::restoreOverrideCursor();
}

// The caption and which side the radio stands on follow the mode of the coming transfer.
void RadioDialog::ApplyTransferMode() {
    setWindowTitle(QString::fromStdString(TransferCaption(app_.Shared.TransferMode)));
    const Transfer mode = app_.Shared.TransferMode;
    const bool fromRadio = mode == Transfer::Read || mode == Transfer::Verify;
    radioPicture_->move(fromRadio ? kLeftPicture : kRightPicture, kPictureTop);
    pcPicture_->move(fromRadio ? kRightPicture : kLeftPicture, kPictureTop);
}

void RadioDialog::ShowStage(const std::string& stage) {
    const QString caption = QString::fromStdString(TransferCaption(app_.Shared.TransferMode));
    setWindowTitle(stage.empty() ? caption : caption + " - " + QString::fromStdString(stage));
}

void RadioDialog::ShowProgress(int percent) {
    progress_->setValue(percent);
}

void RadioDialog::SetRunning(bool running) {
    ok_->setEnabled(!running);
    if (running && !cursorShown_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        cursorShown_ = true;
    } else if (!running && cursorShown_) {
        QApplication::restoreOverrideCursor();
        cursorShown_ = false;
    }
}

void RadioDialog::showEvent(QShowEvent* event) {
    ApplyTransferMode();
    ShowProgress(0);
    QDialog::showEvent(event);
}

// Escape is the Cancel button, so it stops a running transfer rather than being refused.
void RadioDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CancelClicked();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RadioDialog::closeEvent(QCloseEvent* event) {
    if (app_.Shared.Busy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void RadioDialog::reject() {
    if (app_.Shared.Busy)
        return;
    QDialog::reject();
}

// Each OK is a fresh run on a fresh port, so a retry after a failure or a Cancel starts again
// from the model check.
void RadioDialog::OkClicked() {
    if (app_.Shared.Busy || running_)
        return;
    std::unique_ptr<SerialPort> port = services_.makePort ? services_.makePort() : nullptr;
    if (!port)
        return;
    const QString tracePath = services_.traceFile ? services_.traceFile() : QString();
    if (RunOperations(*port, tracePath))
        accept();
}

// A trace that cannot be opened is not worth a refused transfer: the transfer runs untraced.
bool RadioDialog::RunOperations(SerialPort& port, const QString& tracePath) {
    SerialTrace trace(services_.clock);
    ErrorInfo traceError;
    const bool traced = !tracePath.isEmpty() &&
                        trace.Open(tracePath, OpenGrowingFile(tracePath, false, traceError));
    TracingPort tracingPort(port, trace);
    TraceNamingPrompter namingPrompter(services_.prompter, trace);
    Prompter& prompter = traced ? static_cast<Prompter&>(namingPrompter) : services_.prompter;
    RadioLink link(app_.Shared, traced ? static_cast<SerialPort&>(tracingPort) : port,
                   services_.clock, services_.events, services_.log, services_.timings);
    if (traced)
        link.SetTrace(&trace);
    CloneOperations operations(app_, link, prompter, services_.clock, *this, services_.log);
    operations.SetBackupKeeper(services_.backups);
    ProgramOptions options;
    options.imageAsLoaded = services_.imageAsLoaded;
    options.decideUserMmsi = [&prompter](const UserMmsiCheck& check) {
        return AskUserMmsi(prompter, check);
    };
    operations.SetProgramOptions(options);
    running_ = &operations;
    const bool done = operations.RunTransfer() == TransferResult::Done;
    running_ = nullptr;
    if (done)
        radioImage_ = operations.RadioImage();
    completed_ = completed_ || done;
    return done;
}

void RadioDialog::CancelClicked() {
    if (running_) {
        if (running_->CancelTransfer())
            reject();
        return;
    }
    reject();
}

void RadioDialog::HelpClicked() {
    if (services_.showHelp) {
        services_.showHelp(kHelpRadioDialog);
        return;
    }
    services_.prompter.ShowMessage(messages::kNoHelp, windowTitle().toStdString(),
                                   MessageIcon::Information);
}

}  // namespace chanwright
