// The looks a story takes at the window: what the user would see, read back from the widgets, and
// what the program did to files, settings and the radio.
#include "tests/ui/story_runner.h"

#include <QDir>
#include <functional>

#include "image/default_image.h"
#include "image/image_decoder.h"
#include "report/data_diff.h"
#include "storage/data_file_reader.h"
#include "storage/recovery_file.h"
#include "tests/ui/window_desk.h"
#include "ui/help_contexts.h"

namespace chanwright::test {

namespace {

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

// The help file's topics by number, as plain text.
const QMap<int, QString>& HelpTopics() {
    static const QMap<int, QString> topics = [] {
        QMap<int, QString> read;
        const QString html = ReadBytes(TestDataPath("../../help/KW83.html"));
        for (const QString& topic : html.split("<a name=\"").mid(1))
            read[topic.section('"', 0, 0).toInt()] =
                QTextDocumentFragment::fromHtml(topic.section('>', 1)).toPlainText();
        return read;
    }();
    return topics;
}

// A topic as F1 opens it, or the first topic after the contents that names a menu item; marked
// when it is missing from the help file or is its contents.
QString TopicText(int topic, const QString& item = {}) {
    for (auto it = HelpTopics().begin(); topic == 0 && it != HelpTopics().end(); ++it)
        topic = it.key() != kHelpContents && it.value().contains(item) ? it.key() : 0;
    return topic == 0                     ? QString("not in the help")
           : topic == kHelpContents       ? QString("%1, the contents alone").arg(topic)
           : HelpTopics().contains(topic) ? QString::number(topic)
                                          : QString("%1 not in the help").arg(topic);
}

}  // namespace

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
            if (what == "topics" && control != tree && control->focusPolicy() != Qt::NoFocus)
                shown << control->objectName() + ' ' + TopicText(HelpContextOf(control));
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
    } else if (what == "open") {  // the branches shown open
        QStringList open;
        for (int i = 1; i <= tree->NodeCount(); ++i)
            if (tree->Node(i)->isExpanded() && tree->Node(i)->childCount() > 0)
                open << tree->Node(i)->text(0);
        told_ += "open: " + open.join(", ") + '\n';
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
                         d.settings->ReadRecentFiles().join('|') + '\n')
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
                     .arg(shared.RetryCount)
                     .replace(d.dir.path(), "<dir>");
    } else if (what == "menus" || what == "menu-topics") {
        // Every item: text, key, tick, hidden or off, and its tip; or the help topic naming it.
        std::function<void(const QList<QAction*>&, const QString&)> add =
            [&](const QList<QAction*>& actions, const QString& indent) {
                for (const QAction* action : actions) {
                    QStringList parts{action->isSeparator() ? "----" : action->text(),
                                      action->shortcut().toString(),
                                      action->isChecked() ? "[x]" : "",
                                      action->isVisible() ? "" : "hidden",
                                      action->isVisible() && !action->isEnabled() ? "off" : "",
                                      action->statusTip()};
                    const QString item = action->text().remove('&').remove("...").remove("\u2026");
                    if (what == "menu-topics")  // the items shown
                        parts = QStringList{action->isVisible() && !item.isEmpty()
                                                ? item + ' ' + TopicText(0, item)
                                                : QString()};
                    parts.removeAll(QString());
                    if (!parts.isEmpty())
                        told_ += indent + parts.join(' ') + '\n';
                    if (action->menu())
                        add(action->menu()->actions(), indent + "  ");
                }
            };
        add(d.window->menuBar()->actions(), "");
        if (what == "menus")
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
    } else if (what == "undo") {  // the Edit menu's two items, and how many steps there are
        const auto item = [&](const char* name) {
            const QAction* action = d.Action(name);
            return action->text() + (action->isEnabled() ? "" : " (off)");
        };
        told_ += item("mnuEditUndo") + " | " + item("mnuEditRedo") +
                 QString(", %1 steps\n").arg(d.window->History().Stack().count());
    } else if (what == "recovery") {  // the recovery files, what they belonged to and when
        const QDir folder(d.dir.filePath("recovery"));
        QStringList files;
        for (QString file : folder.entryList(QDir::Files, QDir::Name)) {
            const auto info = ReadRecoveryInfo(ReadBytes(folder.filePath(file)).toStdString());
            const auto pid = QString::number(QCoreApplication::applicationPid());
            files << file.replace(pid, "PID") +
                         (info ? " of " + info->fileName + ", " + info->saved.toString(Qt::ISODate)
                               : QString());
        }
        told_ += QString("recovery: " + (files.isEmpty() ? "none" : files.join(", ")) + '\n')
                     .replace(d.dir.path(), "<dir>");
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
    } else if (part[0] == "lines") {  // a text file: its size, and its first N lines
        const QList<QByteArray> lines = ReadBytes(d.dir.filePath(name)).split('\n');
        told_ += QString("%1: %2 lines\n").arg(name).arg(lines.size() - 1);
        for (const QByteArray& line : lines.mid(0, part.value(2).toInt()))
            told_ += QString::fromUtf8(line).replace('\r', "\\r") + '\n';
    } else if (part[0] == "exists") {
        told_ += (QFile::exists(d.dir.filePath(name)) ? "" : "no ") + name + '\n';
    } else if (part[0] == "saved") {
        AppState saved = mark_;
        const QByteArray bytes = ReadBytes(d.dir.filePath(name));
        (void)ReadDataFileBytes(bytes.toStdString(), saved.Shared, saved.Plans, saved.Data);
        told_ += bytes.isEmpty() ? "no " + name + '\n' : name + " holds: " + edits(mark_, saved);
    } else if (!part[0].isEmpty()) {
        told_ += "!! no look " + what + '\n';
    }
}

}  // namespace chanwright::test
