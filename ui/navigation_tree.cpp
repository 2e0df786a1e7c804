#include "ui/navigation_tree.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPalette>

#include "image/image_codec.h"

namespace chanwright {

namespace {

constexpr int kKeyRole = Qt::UserRole;

struct RegionNode {
    const char* key;
    const char* text;
    Region region;
};

constexpr RegionNode kRegions[] = {{"PU", "USA", Region::Usa},
                                   {"PI", "International", Region::International},
                                   {"PC", "Canada", Region::Canada}};

// The number after a key's prefix ("PU12" → 12); -1 when there is none.
int KeyNumber(const QString& key, int prefix) {
    bool ok = false;
    const int number = key.mid(prefix).toInt(&ok);
    return ok ? number : -1;
}

}  // namespace

QString EnableMark(Bool16 flag) {
    return flag ? QStringLiteral("[Enable]") : QString();
}

NavigationTree::NavigationTree(AppState& app, QWidget* parent) : QTreeWidget(parent), app_(app) {
    setObjectName(QStringLiteral("tvTreeView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
                if (current)
                    emit NodeClicked(current);
            });
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { emit NodeClicked(item); });
    connect(this, &QTreeWidget::itemCollapsed, this, &NavigationTree::FitColumn);
    // A selection inside a closed branch could no longer be seen: the branch's node takes it,
    // and its page follows.
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* branch) {
        QTreeWidgetItem* selected = currentItem();
        for (QTreeWidgetItem* up = selected ? selected->parent() : nullptr; up; up = up->parent()) {
            if (up == branch) {
                setCurrentItem(branch);
                return;
            }
        }
        if (selected)
            emit NodeClicked(selected);
    });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        const QString key = KeyOf(item);
        if (key == QLatin1String("SM") || key == QLatin1String("SG"))
            MarkDirectoryNodes(key == QLatin1String("SG"));
        FitColumn();
    });
}

// The column fills the tree, and grows past it, with a scroll bar, for a text that would not fit.
void NavigationTree::FitColumn() {
    header()->setMinimumSectionSize(sizeHintForColumn(0));
}

void NavigationTree::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    // The window coming back to the front (at start-up, after a dialog or a menu) is no visit of
    // the user's: the status bar keeps what it shows, the model name among others.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
        reason != Qt::MenuBarFocusReason)
        emit StatusHint(QString::fromLatin1(kStatusHint));
}

void NavigationTree::mousePressEvent(QMouseEvent* event) {
    if (MayChange())
        QTreeWidget::mousePressEvent(event);
}

void NavigationTree::mouseDoubleClickEvent(QMouseEvent* event) {
    if (MayChange())
        QTreeWidget::mouseDoubleClickEvent(event);
}

QTreeWidgetItem* NavigationTree::AddNode(QTreeWidgetItem* parent, const QString& key,
                                         const QString& text) {
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    node->setText(0, text);
    node->setData(0, kKeyRole, key);
    nodes_.push_back(node);
    return node;
}

QString NavigationTree::KeyOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, kKeyRole).toString() : QString();
}

QTreeWidgetItem* NavigationTree::Node(int index) const {
    if (index < 1 || index > NodeCount())
        return nullptr;
    return nodes_[static_cast<std::size_t>(index - 1)];
}

int NavigationTree::IndexOf(const QTreeWidgetItem* node) const {
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        if (nodes_[i] == node)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

QTreeWidgetItem* NavigationTree::FindKey(const QString& key) const {
    for (QTreeWidgetItem* node : nodes_) {
        if (KeyOf(node) == key)
            return node;
    }
    return nullptr;
}

// "CH16[Enable]" for a regional node, "EXP7" for an EXP node; empty for any other key.
QString NavigationTree::ChannelText(const QString& key) const {
    for (const RegionNode& region : kRegions) {
        if (key.size() < 3 || !key.startsWith(QLatin1String(region.key)))
            continue;
        const int index = KeyNumber(key, 2);
        const auto& list = ChannelsOf(app_.Data, region.region);
        if (index < 0 || index >= static_cast<int>(list.size()))
            return QString();
        const PlanChannel& channel = list[static_cast<std::size_t>(index)];
        const ChannelPlan& plan = PlanOf(app_.Plans, region.region);
        const QString number = plan.Contains(channel.Position)
                                   ? QString::fromStdString(plan.At(channel.Position).ChannelNo)
                                   : QString();
        return QStringLiteral("CH") + number + EnableMark(channel.Enable);
    }
    if (key.size() >= 2 && key.startsWith(QLatin1Char('E'))) {
        const int number = KeyNumber(key, 1);
        if (number < 1 || number > kExpChannelCount)
            return QString();
        return QStringLiteral("EXP%1").arg(number) +
               EnableMark(app_.Data.ExpChannels[static_cast<std::size_t>(number - 1)].Enable);
    }
    return QString();
}

void NavigationTree::Build() {
    const QSignalBlocker quiet(this);
    clear();
    nodes_.clear();
    QTreeWidgetItem* programmable = AddNode(nullptr, "P", "Programmable Channel");
    for (const RegionNode& region : kRegions) {
        QTreeWidgetItem* parent = AddNode(programmable, region.key, region.text);
        const auto& list = ChannelsOf(app_.Data, region.region);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const QString key = QLatin1String(region.key) + QString::number(i);
            AddNode(parent, key, ChannelText(key));
        }
    }
    AddNode(programmable, "PW", "WX Channel");
    QTreeWidgetItem* exp = AddNode(nullptr, "E", "Exp Channel");
    for (int n = 1; n <= kExpChannelCount; ++n) {
        const QString key = QStringLiteral("E%1").arg(n);
        AddNode(exp, key, ChannelText(key));
    }
    QTreeWidgetItem* setting = AddNode(nullptr, "S", "Setting");
    QTreeWidgetItem* individual = AddNode(setting, "SM", "Individual Directory");
    for (std::size_t n = 1; n <= app_.Data.IndividualDirectory.size(); ++n) {
        AddNode(individual, QStringLiteral("SM%1").arg(n),
                QStringLiteral("Individual ID%1").arg(n) +
                    EnableMark(app_.Data.IndividualDirectory[n - 1].Enable));
    }
    QTreeWidgetItem* group = AddNode(setting, "SG", "Group Directory");
    for (std::size_t n = 1; n <= app_.Data.GroupDirectory.size(); ++n) {
        AddNode(group, QStringLiteral("SG%1").arg(n),
                QStringLiteral("Group ID%1").arg(n) +
                    EnableMark(app_.Data.GroupDirectory[n - 1].Enable));
    }
    FitColumn();
}

void NavigationTree::RefreshNodeTexts() {
    for (QTreeWidgetItem* node : nodes_) {
        const QString text = ChannelText(KeyOf(node));
        if (!text.isEmpty())
            node->setText(0, text);
    }
    MarkDirectoryNodes(false);
    MarkDirectoryNodes(true);
    FitColumn();
}

void NavigationTree::MarkDirectoryNodes(bool group) {
    const QTreeWidgetItem* parent = FindKey(group ? QStringLiteral("SG") : QStringLiteral("SM"));
    if (!parent)
        return;
    const int first = IndexOf(parent) + 1;
    const auto enabled = [&](int entry) {
        return group ? app_.Data.GroupDirectory[static_cast<std::size_t>(entry)].Enable
                     : app_.Data.IndividualDirectory[static_cast<std::size_t>(entry)].Enable;
    };
    const int count = static_cast<int>(group ? app_.Data.GroupDirectory.size()
                                             : app_.Data.IndividualDirectory.size());
    const QBrush black = palette().brush(QPalette::Active, QPalette::Text);
    const QBrush grey = palette().brush(QPalette::Disabled, QPalette::Text);
    bool freeSeen = false;
    for (int entry = 0; entry < count; ++entry) {
        QTreeWidgetItem* node = Node(first + entry);
        if (!node)
            return;
        const bool used = enabled(entry) != 0;
        node->setForeground(0, used || !freeSeen ? black : grey);
        if (!used)
            freeSeen = true;
    }
}

}  // namespace chanwright
