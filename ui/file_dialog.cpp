#include "ui/file_dialog.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "storage/file_system.h"
#include "ui/odd_names_model.h"
#include "ui/path_string.h"

namespace chanwright {

namespace {

// The path a name shown with \xNN stands for: each \xNN is its byte again.
QString FromShown(const QString& shown) {
    const QByteArray text = SystemPath(shown);
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool hex = false;
        const int value = text.mid(i + 2, 2).toInt(&hex, 16);
        if (text.mid(i, 2) == "\\x" && i + 4 <= text.size() && hex) {
            bytes += static_cast<char>(value);
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return PathFromSystem(bytes);
}

}  // namespace

FileDialog::FileDialog(QWidget* parent, const QString& folder, const QString& filter,
                       AcceptMode mode)
    : QFileDialog(parent, QString(), folder, filter), names_(new OddNamesModel(this)) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Only Qt's own dialog takes the added rows; a platform's dialog would drop the names too.
    // Elsewhere every name is Unicode, and the platform's dialog stays.
    setOption(DontUseNativeDialog);
#endif
    setAcceptMode(mode);
    setProxyModel(names_);
    for (auto* view : findChildren<QAbstractItemView*>()) {
        if (view->model() != names_)
            continue;
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }
    if (auto* views = findChild<QAbstractItemView*>(QStringLiteral("listView")))
        connect(views->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &FileDialog::TakeSelection);
    // Qt enables the Open button only for the files its own model holds: it is enabled again
    // whenever Qt disables it or the name changes while the name's bytes name a file.
    if (auto* box = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
        button_ = box->button(mode == AcceptOpen ? QDialogButtonBox::Open : QDialogButtonBox::Save);
    if (button_)
        button_->installEventFilter(this);
    if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        connect(name, &QLineEdit::textChanged, this, &FileDialog::KeepButton);
}

void FileDialog::KeepButton() {
    if (button_ && !button_->isEnabled() && !ByBytes().isEmpty())
        button_->setEnabled(true);
}

QString FileDialog::Chosen() const {
    if (result() != Accepted)
        return {};
    return !chosen_.isEmpty() ? chosen_ : selectedFiles().value(0);
}

QString FileDialog::ByBytes() const {
    const QStringList files = selectedFiles();
    if (files.size() != 1 || !files.first().contains(QLatin1String("\\x")) ||
        FileThere(files.first()))
        return {};
    const QString path = FromShown(files.first());
    return path != files.first() && FileThere(path, true) ? path : QString();
}

void FileDialog::accept() {
    const QString path = ByBytes();
    if (path.isEmpty()) {
        QFileDialog::accept();
        return;
    }
    // The question Qt asks before a file is replaced, for the file it could not find.
    if (acceptMode() == AcceptSave && !testOption(DontConfirmOverwrite) &&
        QMessageBox::warning(this, windowTitle(),
                             tr("%1 already exists.\nDo you want to replace it?")
                                 .arg(ShownPath(path.mid(path.lastIndexOf(u'/') + 1))),
                             QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) != QMessageBox::Yes)
        return;
    chosen_ = path;
    QDialog::accept();
}

// An added file selected alone puts its name in the name box, as Qt does for its own files.
void FileDialog::TakeSelection() {
    const auto* view = findChild<QAbstractItemView*>(QStringLiteral("listView"));
    auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    if (name && rows.size() == 1 && names_->IsAdded(rows.first()) && !name->hasFocus())
        name->setText(rows.first().data().toString());
}

bool FileDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == button_ && event->type() == QEvent::EnabledChange) {
        KeepButton();
        return false;
    }
    // Qt's dialog would take a double-clicked or entered added file for a folder it cannot find.
    auto* view = qobject_cast<QAbstractItemView*>(watched);
    if (!view && watched->parent())
        view = qobject_cast<QAbstractItemView*>(watched->parent());
    QModelIndex index;
    if (view && view->viewport() == watched && event->type() == QEvent::MouseButtonDblClick)
        index = view->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    if (view == watched && key && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter))
        index = view->currentIndex();
    if (!names_->IsAdded(index))
        return QFileDialog::eventFilter(watched, event);
    if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setText(index.siblingAtColumn(0).data().toString());
    view->selectionModel()->clearSelection();
    accept();
    return true;
}

}  // namespace chanwright
