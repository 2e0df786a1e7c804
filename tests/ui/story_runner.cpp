#include "tests/ui/story_runner.h"

#include <functional>

#include "image/default_image.h"
#include "image/image_decoder.h"
#include "report/data_diff.h"
#include "storage/data_file_reader.h"
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

template <typename T>
QString Join(const std::vector<T>& values) {
    QStringList joined;
    for (const T& value : values) {
        if constexpr (std::is_same_v<T, std::string>)
            joined << QString::fromStdString(value);
        else
            joined << QString::number(value);
    }
    return joined.join(" | ");
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

void StoryRunner::Do(QStringList step) {
    Desk& d = *desk_;
    const QString verb = step.value(0), name = step.value(1), value = step.value(2);
    static const QStringList kOnControls{"click", "type", "keys",  "tab",   "retype", "focus",
                                         "wheel", "pick", "popup", "paste", "ctrl-v"};
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
    } else if (verb == "load") {  // a data set put in place behind the window's back
        ReadDataFixture(d.app, name);
    } else if (verb == "copy") {  // a file of the tests' data into the desk's folder
        QFile::copy(TestDataPath(name), d.dir.filePath(value));
    } else if (verb == "mkdir") {
        QDir(d.dir.path()).mkdir(name);
    } else if (verb == "open") {
        d.Open(TestDataPath(name));
    } else if (verb == "mark") {  // what `show edits` compares with
        mark_ = d.app;
    } else if (verb == "node") {
        d.ClickNode(name);
    } else if (verb == "select") {  // the program switches the page, as a list row does
        d.window->SelectNodeByKey(name);
    } else if (verb == "tree") {  // a node clicked with the mouse
        NavigationTree* tree = d.window->Tree();
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
        if (verb == "paste")
            qobject_cast<QLineEdit*>(target)->paste();
        else
            QApplication::sendEvent(target, &press);
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
    } else if (verb == "printer") {  // "none" installed, or the PDF file the print dialog takes
        d.printerInstalled = name != "none";
        d.printTo = name == "none" ? QString() : d.dir.filePath(name);
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

// One look, written after the step: "edits", "page", "told", "focus", "enabled", "hints",
// "topics", "tree", "at" (the node in view), "counts", "node:KEY" (its text), "shades:SM:20"
// (entries 1 … 20 of the node, g grey, B not), "widget:NAME", "radio:150:5" (bytes of the radio's
// memory), "saved:FILE" (what a saved data file holds, as edits).
void StoryRunner::Show(const QString& what) {
    Desk& d = *desk_;
    const QStringList part = what.split(':');
    const QString name = part.value(1);
    const auto edits = [](const AppState& from, const AppState& to) {
        const QString lines = Edits(from, to);
        return lines.isEmpty() ? QString("no edits\n") : lines + '\n';
    };
    NavigationTree* tree = d.window->Tree();
    if (what == "edits") {
        told_ += edits(mark_, d.app);
    } else if (what == "page") {
        told_ += Snapshot(d.ActivePage());
    } else if (what == "told") {
        // One message a line, its line breaks shown as \n.
        for (auto* shown : {&d.prompter.questions, &d.prompter.messages}) {
            for (const ShownMessage& message : *shown)
                told_ += (shown == &d.prompter.questions ? "asked " : "said ") +
                         Said({message}).replace('\n', "\\n").replace(d.dir.path(), "<dir>") + '\n';
            shown->clear();
        }
    } else if (what == "focus") {
        const QWidget* focus = QApplication::focusWidget();
        told_ += "focus " + (focus ? focus->objectName() : "none") + '\n';
    } else if (what == "enabled") {  // the pages that take input: the one in view alone
        QStringList enabled;
        for (const QWidget* page :
             d.Find<QStackedWidget>("pictData")
                 ->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            enabled << (page->isEnabled() ? page->objectName() : QString());
        enabled.removeAll(QString());
        told_ += "enabled " + enabled.join(',') + ", status " + d.window->StatusText() + '\n';
    } else if (what == "hints" || what == "topics") {
        // What the status bar says while each control of the tree and the page has the focus, or
        // the help topic F1 opens on it.
        QList<QWidget*> controls{tree};
        controls += d.ActivePage()->findChildren<QWidget*>();
        QStringList shown;
        for (QWidget* control : controls) {
            const QVariant topic = control->property("helpContext");
            if (what == "topics" && topic.isValid() && control != tree)
                shown << control->objectName() + ' ' + topic.toString();
            if (what == "topics" || !control->isVisible() || !control->isEnabled() ||
                control->focusPolicy() == Qt::NoFocus || control->objectName().isEmpty() ||
                control->objectName().startsWith("qt_"))
                continue;
            control->clearFocus();
            d.window->SetStatusText({});
            control->setFocus();
            shown << "hint " + control->objectName() + ": " + d.window->StatusText();
        }
        if (what == "topics")
            shown.removeDuplicates();
        told_ += shown.join('\n') + '\n';
    } else if (what == "tree") {  // every node, indented by its depth, marked where drawn grey
        const QColor grey = tree->palette().color(QPalette::Disabled, QPalette::Text);
        for (int i = 1; i <= tree->NodeCount(); ++i) {
            const QTreeWidgetItem* node = tree->Node(i);
            told_ += QString(node->parent() ? node->parent()->parent() ? 4 : 2 : 0, ' ') +
                     node->text(0) + (node->foreground(0).color() == grey ? " (grey)" : "") + '\n';
        }
    } else if (what == "files") {  // the file dialogs shown since the last look
        told_ += QString("file dialogs: " + Join(d.prompter.dialogFilters) +
                         "; in folders: " + Join(d.prompter.dialogFolders) + '\n')
                     .replace(d.dir.path(), "<dir>");
        d.prompter.dialogFilters.clear();
        d.prompter.dialogFolders.clear();
    } else if (what == "recent") {  // File ▸ 1 … 6, the first's tip, and what the settings hold
        QStringList items;
        for (QAction* item : d.Find<QMenu>("mnuFile")->actions())
            if (item->isVisible() && item->objectName().startsWith("mnuFileRecent"))
                items << item->text();
        told_ += QString("recent " + items.join('|') + ", the first's tip " +
                         d.Action("mnuFileRecent1")->toolTip() + ", stored " +
                         d.settings.ReadRecentFiles().join('|') + '\n')
                     .replace(d.dir.path(), "<dir>");
    } else if (what == "flags") {
        const SharedState& shared = d.app.Shared;
        told_ += QString("flags: failed %1, aborted %2, busy %3, busy shown")
                     .arg(shared.OperationFailed)
                     .arg(shared.AbortRequested)
                     .arg(shared.Busy);
        for (const bool busy : d.busy.changes)
            told_ += busy ? " on" : " off";
        told_ += '\n';
    } else if (what == "window") {
        const SharedState& shared = d.app.Shared;
        told_ += QString("%1x%2, node %3, status %4, model %5 (image %6), COM%7, retries %8\n")
                     .arg(d.window->width())
                     .arg(d.window->height())
                     .arg(d.CurrentKey(), d.window->StatusText())
                     .arg(int(shared.ModelNum))
                     .arg(FirstModelId(d.app.Image))
                     .arg(shared.ComNum)
                     .arg(shared.RetryCount);
    } else if (what == "menus") {  // every item: text, key, tick, whether hidden, and its tip
        std::function<void(const QList<QAction*>&, const QString&)> add =
            [&](const QList<QAction*>& actions, const QString& indent) {
                for (const QAction* action : actions) {
                    QStringList parts{action->isSeparator() ? "----" : action->text(),
                                      action->shortcut().toString(),
                                      action->isChecked() ? "[x]" : "",
                                      action->isVisible() ? "" : "hidden", action->statusTip()};
                    parts.removeAll(QString());
                    told_ += indent + parts.join(' ') + '\n';
                    if (action->menu())
                        add(action->menu()->actions(), indent + "  ");
                }
            };
        add(d.window->menuBar()->actions(), "");
        add(d.Find<QToolBar>("tbToolBar")->actions(), "tool ");
    } else if (what == "model") {  // the model items, the one stored, the timer that resets
        const auto* timer = d.Find<QTimer>("Timer1");
        const Model stored = SettingsStore(d.dir.filePath("settings.ini")).ReadModelNum();
        told_ += QString("ticked %1 %2, stored %3, timer %4 %5, pauses %6\n")
                     .arg(d.Action("mnuEditModel1")->isChecked())
                     .arg(d.Action("mnuEditModel2")->isChecked())
                     .arg(QString::fromStdString(GetModelName(stored)))
                     .arg(timer->isActive())
                     .arg(timer->interval())
                     .arg(Join(d.clock.pauses));
    } else if (what == "fresh") {  // the data and page against a window started on this model
        Desk fresh(false, ReadBytes(d.dir.filePath("settings.ini")));
        fresh.ClickNode(d.CurrentKey());
        told_ += "against a fresh window: " + edits(fresh.app, d.app).trimmed() +
                 (Snapshot(d.ActivePage()) == Snapshot(fresh.ActivePage()) ? ", the same page\n"
                                                                           : ", another page\n");
    } else if (what == "title") {
        told_ += "title " + d.window->windowTitle() + '\n';
    } else if (what == "at") {
        told_ += "at " + d.CurrentKey() + '\n';
    } else if (what == "counts") {
        told_ += QString("%1 dialogs, %2 file dialogs, timer %3\n")
                     .arg(d.dialogs)
                     .arg(d.prompter.dialogFilters.size())
                     .arg(d.Find<QTimer>("Timer1")->isActive());
    } else if (part[0] == "node" && tree->FindKey(name)) {
        told_ += "node " + tree->FindKey(name)->text(0) + '\n';
    } else if (part[0] == "shades") {
        const QColor grey = tree->palette().color(QPalette::Disabled, QPalette::Text);
        QString shades = "shades " + name + ' ';
        for (int n = 1; n <= part.value(2).toInt(); ++n)
            shades +=
                tree->FindKey(name + QString::number(n))->foreground(0).color() == grey ? 'g' : 'B';
        told_ += shades + '\n';
    } else if (const QWidget* widget = part[0] == "widget" ? Widget(name) : nullptr) {
        told_ += ControlText(widget, d.window.get()) +
                 (d.ActivePage()->isAncestorOf(widget) ? "" : " elsewhere") + '\n';
    } else if (part[0] == "radio") {
        const int at = name.toInt(nullptr, 16);
        told_ += "radio " + name + ": " +
                 ImageSlice(d.sim.Memory(), at, part.value(2).toInt()).toHex() + '\n';
    } else if (what == "prints") {  // print dialogs shown, and the PDF files made
        told_ += QString("%1 print dialogs").arg(d.printDialogs);
        for (const QString& pdf : QDir(d.dir.path()).entryList({"*.pdf"}))
            told_ += ", " + pdf + (ReadBytes(d.dir.filePath(pdf)).startsWith("%PDF") ? " PDF" : "");
        told_ += '\n';
    } else if (part[0] == "image") {  // an image file: its size, and what it holds as edits
        const QByteArray bytes = ReadBytes(d.dir.filePath(name));
        RadioData held = mark_.Data;
        DecodeImage(BytesToImage(bytes), held);
        AppState decoded = mark_;
        decoded.Data = held;
        told_ +=
            QString("%1: %2 bytes, holding ").arg(name).arg(bytes.size()) + edits(mark_, decoded);
    } else if (part[0] == "exists") {
        told_ += (QFile::exists(d.dir.filePath(name)) ? "" : "no ") + name + '\n';
    } else if (part[0] == "saved") {
        AppState saved = mark_;
        const QByteArray bytes = ReadBytes(d.dir.filePath(name));
        ReadDataFile(ProfileFile::Parse(bytes.toStdString()), saved.Shared, saved.Plans,
                     saved.Data);
        told_ += bytes.isEmpty() ? "no " + name + '\n' : name + " holds: " + edits(mark_, saved);
    } else if (!part[0].isEmpty()) {
        told_ += "!! no look " + what + '\n';
    }
}

}  // namespace chanwright::test
