#include "tests/ui/story_runner.h"

#include <sys/stat.h>

#include "tests/ui/window_desk.h"

namespace chanwright::test {

namespace {

// A step line split into steps at ';', each into words at spaces, a "quoted text" one word.
std::vector<QStringList> Steps(const QString& line) {
    std::vector<QStringList> steps(1);
    QString word;
    bool quoted = false, inWord = false;
    for (const QChar c : line + ' ') {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (quoted || (c != ' ' && c != ';')) {
            word += c;
            inWord = true;
        } else {
            if (inWord)
                steps.back() << word;
            word.clear();
            inWord = false;
            if (c == ';')
                steps.emplace_back();
        }
    }
    return steps;
}

MessageAnswer Answer(const QString& word) {
    return word == "Yes"  ? MessageAnswer::Yes
           : word == "No" ? MessageAnswer::No
           : word == "OK" ? MessageAnswer::Ok
                          : MessageAnswer::Cancel;
}

// A key with its modifiers, as a menu shows it: "Ctrl+S", "Tab", "PgDown".
QKeyCombination Key(const QString& text) {
    return QKeySequence::fromString(text)[0];
}

}  // namespace

StoryRunner::StoryRunner() = default;
StoryRunner::~StoryRunner() = default;

QByteArrayList StoryRunner::Headings(const QString& goldenName) {
    QByteArrayList headings;
    for (const QByteArray& line : ReadBytes(TestDataPath(goldenName)).split('\n'))
        if (line.startsWith("== "))
            headings << line;
    return headings;
}

QByteArray StoryRunner::Story(const QString& goldenName, const QByteArray& heading) {
    const QByteArray text = '\n' + ReadBytes(TestDataPath(goldenName));
    const qsizetype at = text.indexOf('\n' + heading + '\n') + 1;
    const qsizetype end = text.indexOf("\n== ", at);
    return text.mid(at, end < 0 ? -1 : end + 1 - at);
}

QByteArray StoryRunner::Run(const QByteArray& story) {
    desk_ = std::make_unique<Desk>();
    mark_ = desk_->app;
    told_.clear();
    for (const QByteArray& line : story.split('\n')) {
        if (line.startsWith("== ") || line.startsWith("# ")) {
            told_ += line + '\n';
        } else if (line.startsWith("> ")) {
            told_ += line + '\n';
            for (const QStringList& step : Steps(QString::fromUtf8(line.mid(2))))
                Do(step);
        }
    }
    return told_.toUtf8();
}

// A control by its name, "chkDEnable[2]" for the one of row 2 on the page in view.
QWidget* StoryRunner::Widget(const QString& name) {
    QWidget* widget = desk_->Find(name);
    if (name.endsWith(']')) {
        widget = nullptr;
        const QString row = name.section('[', 1).chopped(1);
        for (QWidget* control :
             desk_->ActivePage()->findChildren<QWidget*>(name.section('[', 0, 0)))
            if (control->property("index").toString() == row)
                widget = control;
    }
    if (!widget)
        told_ += "!! no control " + name + '\n';
    return widget;
}

// The context menu's Paste, as the right button opens the menu.
void StoryRunner::PasteFromMenu(QWidget* box) {
    QContextMenuEvent open(QContextMenuEvent::Mouse, box->rect().center(),
                           box->mapToGlobal(box->rect().center()));
    QApplication::sendEvent(box, &open);
    const QList<QMenu*> menus = box->findChildren<QMenu*>();
    QMenu* menu = menus.isEmpty() ? nullptr : menus.last();
    QAction* paste = nullptr;
    for (QAction* item : menu ? menu->actions() : QList<QAction*>())
        if (item->text().startsWith("&Paste"))
            paste = item;
    if (!paste)
        told_ += "!! no context menu with Paste\n";
    else
        paste->trigger();
    if (menu)
        menu->close();
    // The window system gives the focus back to the box the menu was opened on.
    Reactivate(box->window());
    box->setFocus(Qt::PopupFocusReason);
}

void StoryRunner::Do(QStringList step) {
    Desk& d = *desk_;
    const QString verb = step.value(0), name = step.value(1), value = step.value(2);
    static const QStringList kOnControls{"click", "type", "keys",  "tab",   "retype", "focus",
                                         "wheel", "pick", "popup", "paste", "ctrl-v", "drop"};
    QWidget* target = kOnControls.contains(verb) ? Widget(name) : nullptr;
    if (kOnControls.contains(verb) && !target)
        return;
    if (verb == "desk") {  // a fresh window: "developer" started with /K, "settings FILE" stored
        const qsizetype settings = step.indexOf("settings");
        desk_ = std::make_unique<Desk>(
            step.contains("developer"),
            settings < 0 ? QByteArray() : ReadBytes(TestDataPath(step.value(settings + 1))));
        mark_ = desk_->app;
    } else if (verb == "window") {
        if (!d.ShowActive())
            told_ += "!! the window did not come up\n";
    } else if (verb == "real-boxes") {
        d.UseRealBoxes();
    } else if (verb == "ok-dialogs") {
        d.PressOkInDialogs();
    } else if (verb == "press") {  // the buttons the next dialogs are closed with, one a dialog
        auto buttons = std::make_shared<QStringList>(step.mid(1));
        d.onDialog = [buttons](QDialog& dialog) {
            // "chkA+cmdOK": a box ticked, then OK, in one dialog.
            if (!buttons->isEmpty())
                for (const QString& button : buttons->takeFirst().split('+'))
                    QTest::mouseClick(dialog.findChild<QAbstractButton*>(button), Qt::LeftButton);
        };
    } else if (verb == "load") {  // a data set put in place behind the window's back
        ReadDataFixture(d.app, name);
    } else if (verb == "copy") {  // a file of the tests' data into the desk's folder
        QFile::copy(TestDataPath(name), d.dir.filePath(value));
    } else if (verb == "mkdir") {  // a folder, in place of a file of the name
        QFile::remove(d.dir.filePath(name));
        QDir(d.dir.path()).mkdir(name);
    } else if (verb == "open") {  // File ▸ Open on a copy, so a later save leaves the tests' file
        const QString copy = d.dir.filePath(QFileInfo(name).fileName());
        QFile::copy(TestDataPath(name), copy);
        d.Open(copy);
    } else if (verb == "mark") {  // what `show edits` compares with
        mark_ = d.app;
    } else if (verb == "node") {
        d.ClickNode(name);
    } else if (verb == "select") {  // the program switches the page, as a list row does
        d.window->SelectNodeByKey(name);
    } else if (verb == "tree") {  // a node clicked with the mouse
        NavigationTree* tree = d.window->Tree();
        if (!tree->FindKey(name))
            told_ += "!! no node " + name + '\n';
        else
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                              tree->visualItemRect(tree->FindKey(name)).center());
    } else if (verb == "click") {
        QTest::mouseClick(target, Qt::LeftButton);
    } else if (verb == "tab") {
        auto* tabs = qobject_cast<QTabBar*>(target);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(value.toInt()).center());
    } else if (verb == "key") {  // key [control]: to the control, or to the one with the focus
        const QKeyCombination key = Key(step.size() > 2 ? value : name);
        QWidget* to = step.size() > 2 ? Widget(name) : QApplication::focusWidget();
        if (key.toCombined() == 0)
            told_ += "!! no key " + step.last() + '\n';
        else
            QTest::keyClick(to ? to : d.window.get(), key.key(), key.keyboardModifiers());
    } else if (verb == "caption") {  // a check box ticked by a click on its caption
        for (QLabel* label : d.ActivePage()->findChildren<QLabel*>())
            if (label->text() == name)
                QTest::mouseClick(label, Qt::LeftButton);
    } else if (verb == "type") {  // a click into the box, then the text typed over what it selected
        QTest::mouseClick(target, Qt::LeftButton);
        QCoreApplication::processEvents();
        QTest::keyClicks(target, value);
    } else if (verb == "keys") {
        QTest::keyClicks(target, value);
    } else if (verb == "mkfifo") {  // a FIFO, in place of a file of the name
        QFile::remove(d.dir.filePath(name));
        ::mkfifo(QFile::encodeName(d.dir.filePath(name)).constData(), 0600);
    } else if (verb == "restart") {  // the window closed, or gone with its process ("crash");
        if (name != "crash")         // "settings": the settings read anew, as a new process does
            d.window->close();
        d.window.reset();
        if (step.contains("settings"))
            d.settings = std::make_unique<SettingsStore>(d.dir.filePath("settings.ini"));
        d.app = AppState{};
        d.window = std::make_unique<MainWindow>(d.app, d.Services());
    } else if (verb == "recovery") {  // the recovery timer runs out
        d.window->KeepUnsavedChanges();
    } else if (verb == "reset") {  // the model's timer runs out, as after a new data set
        d.window->RunDeferredReset();
    } else if (verb == "choose") {  // the buttons taken in the next questions that offer several
        for (const QString& word : step.mid(1))
            d.prompter.choices.push_back(word.toInt());
    } else if (verb == "retype") {
        Retype(qobject_cast<QLineEdit*>(target), value);
    } else if (verb == "focus") {
        target->setFocus();
    } else if (verb == "wheel") {
        TurnWheel(target, value.toInt());
    } else if (verb == "pick") {  // a list row chosen by the program
        auto* list = qobject_cast<QComboBox*>(target);
        list->setCurrentIndex(value.toInt());
        emit list->activated(value.toInt());
    } else if (verb == "popup") {  // the row taken with Return in the open list
        auto* list = qobject_cast<QComboBox*>(target);
        list->setCurrentIndex(value.toInt());
        list->setFocus();
        list->showPopup();
        if (!QTest::qWaitForWindowExposed(list->view()->window()))
            told_ += "!! the list did not open\n";
        QTest::keyClick(list->view(), Qt::Key_Return);
        if (list->view()->isVisible())
            told_ += "!! the list stayed open\n";
    } else if (verb == "paste" || verb == "ctrl-v") {
        QGuiApplication::clipboard()->setText(value);
        // As the window system sends Ctrl+V: the key with its control character.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QChar(0x16));
        if (verb == "ctrl-v")
            QApplication::sendEvent(target, &press);
        else
            PasteFromMenu(target);
    } else if (verb == "drop") {  // text dragged from another program, dropped on the control
        QMimeData text;
        text.setText(value);
        const QPointF at = target->rect().center();
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &text, Qt::LeftButton, {});
        QDropEvent drop(at, Qt::CopyAction, &text, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QApplication::sendEvent(target, &drop);
    } else if (verb == "menu") {  // menu item: by mouse
        d.ChooseByMouse(qPrintable(name), qPrintable(value));
    } else if (verb == "alt") {  // menu's access key, item's access key
        d.ChooseByKeys(Key(name).key(), Key(value).key());
    } else if (verb == "trigger") {  // a menu item, as its menu would
        d.Action(qPrintable(name))->trigger();
    } else if (verb == "tool") {
        d.ClickTool(qPrintable(name));
    } else if (verb == "answer") {  // the answers to the next questions
        d.prompter.answers.clear();
        for (const QString& word : step.mid(1))
            d.prompter.answers.push_back(Answer(word));
    } else if (verb == "path") {  // the files the next file dialogs take, in the desk's folder
        for (const QString& file : step.mid(1))
            d.prompter.paths.push_back(d.dir.filePath(file).toStdString());
    } else if (verb == "row" || verb == "dclick") {
        // A list's row: made current (0, none) with the list focused, or double-clicked (0, the
        // header; "number", on its number), as the window system delivers one: a click, then the
        // double-click of the second press.
        auto* grid = d.ActivePage()->findChild<ListGrid*>();
        const int row = name.toInt();
        grid->setFocus();
        if (verb == "row" && row > 0)
            grid->setCurrentCell(row - 1, 1);
        if (verb == "row")
            return;
        QHeaderView* numbers = grid->verticalHeader();
        QWidget* clicked = row == 0            ? grid->horizontalHeader()->viewport()
                           : value == "number" ? numbers->viewport()
                                               : grid->viewport();
        const QPoint at(value == "number" ? 5 : grid->columnViewportPosition(0) + 5,
                        row == 0 ? 5 : numbers->sectionViewportPosition(row - 1) + 5);
        QTest::mouseClick(clicked, Qt::LeftButton, {}, at);
        QTest::mouseDClick(clicked, Qt::LeftButton, {}, at);
    } else if (verb == "printer") {  // "none" installed, the PDF file it prints as, or "to-file" X
        d.printerInstalled = name != "none";
        d.printToFile = name == "to-file";
        d.printTo = name == "none" ? QString() : d.dir.filePath(step.last());
    } else if (verb == "preview-prints") {  // to the file its print dialog is given (/dev/full)
        const QString file = name.startsWith('/') ? name : d.dir.filePath(name);
        d.onDialog = [file](QDialog& dialog) {
            qobject_cast<QPrintPreviewDialog*>(&dialog)->printer()->setOutputFileName(file);
            dialog.findChild<QPrintPreviewWidget*>()->print();
        };
    } else if (verb == "image") {  // the image the window holds, written as a file
        WriteBytes(d.dir.filePath(name), ImageBytes(d.app.Image));
    } else if (verb == "busy") {
        d.app.Shared.Busy = name == "on";
    } else if (verb == "refresh") {
        d.window->RefreshCurrentPage();
    } else if (verb == "show") {
        for (const QString& what : step.mid(1))
            Show(what);
    } else if (!verb.isEmpty()) {
        told_ += "!! no step " + verb + '\n';
    }
    QCoreApplication::processEvents();
}

}  // namespace chanwright::test
