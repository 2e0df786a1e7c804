#include "ui/navigation_tree.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPalette>

#include "image/image_codec.h"

namespace chanwright {

namespace {

constexpr int kNodeRole = Qt::UserRole;

struct RegionNode {
    const char* text;
    Region region;
};

constexpr RegionNode kRegions[] = {
    {"USA", Region::Usa}, {"International", Region::International}, {"Canada", Region::Canada}};

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
        const TreeNode node = NodeOf(item);
        if (node.kind == TreeNode::Kind::Directory)
            MarkDirectoryNodes(node.group);
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

QTreeWidgetItem* NavigationTree::AddNode(QTreeWidgetItem* parent, const TreeNode& what,
                                         const QString& text) {
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    node->setText(0, text);
    node->setData(0, kNodeRole, QVariant::fromValue(what));
    nodes_.push_back(node);
    return node;
}

TreeNode NavigationTree::NodeOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, kNodeRole).value<TreeNode>() : TreeNode{};
}

QString NavigationTree::KeyOf(const QTreeWidgetItem* node) {
    return chanwright::KeyOf(NodeOf(node));
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

QTreeWidgetItem* NavigationTree::FindNode(const TreeNode& wanted) const {
    for (QTreeWidgetItem* node : nodes_) {
        if (NodeOf(node) == wanted)
            return node;
    }
    return nullptr;
}

QTreeWidgetItem* NavigationTree::FindKey(const QString& key) const {
    for (QTreeWidgetItem* node : nodes_) {
        if (KeyOf(node) == key)
            return node;
    }
    return nullptr;
}

// "CH16[Enable]" for a regional channel, "EXP7" for an EXP channel; empty for any other node.
QString NavigationTree::ChannelText(const TreeNode& node) const {
    if (node.kind == TreeNode::Kind::RegionChannel) {
        const auto& list = ChannelsOf(app_.Data, node.region);
        if (node.index < 0 || node.index >= static_cast<int>(list.size()))
            return QString();
        const PlanChannel& channel = list[static_cast<std::size_t>(node.index)];
        const ChannelPlan& plan = PlanOf(app_.Plans, node.region);
        const QString number = plan.Contains(channel.Position)
                                   ? QString::fromStdString(plan.At(channel.Position).ChannelNo)
                                   : QString();
        return QStringLiteral("CH") + number + EnableMark(channel.Enable);
    }
    if (node.kind == TreeNode::Kind::ExpChannel) {
        if (node.index < 1 || node.index > kExpChannelCount)
            return QString();
        return QStringLiteral("EXP%1").arg(node.index) +
               EnableMark(app_.Data.ExpChannels[static_cast<std::size_t>(node.index - 1)].Enable);
    }
    return QString();
}

void NavigationTree::Build() {
    using Kind = TreeNode::Kind;
    const QSignalBlocker quiet(this);
    clear();
    nodes_.clear();
    QTreeWidgetItem* programmable =
        AddNode(nullptr, {Kind::Programmable}, QStringLiteral("Programmable Channel"));
    for (const RegionNode& region : kRegions) {
        QTreeWidgetItem* parent = AddNode(programmable, {Kind::RegionList, region.region},
                                          QString::fromLatin1(region.text));
        const int count = static_cast<int>(ChannelsOf(app_.Data, region.region).size());
        for (int i = 0; i < count; ++i) {
            const TreeNode channel{Kind::RegionChannel, region.region, false, i};
            AddNode(parent, channel, ChannelText(channel));
        }
    }
    AddNode(programmable, {Kind::Wx}, QStringLiteral("WX Channel"));
    QTreeWidgetItem* exp = AddNode(nullptr, {Kind::ExpList}, QStringLiteral("Exp Channel"));
    for (int n = 1; n <= kExpChannelCount; ++n) {
        const TreeNode channel{Kind::ExpChannel, Region::Usa, false, n};
        AddNode(exp, channel, ChannelText(channel));
    }
    QTreeWidgetItem* setting = AddNode(nullptr, {Kind::Setting}, QStringLiteral("Setting"));
    QTreeWidgetItem* individual = AddNode(setting, {Kind::Directory, Region::Usa, false},
                                          QStringLiteral("Individual Directory"));
    for (std::size_t n = 1; n <= app_.Data.IndividualDirectory.size(); ++n) {
        AddNode(individual, {Kind::DirectoryEntry, Region::Usa, false, static_cast<int>(n)},
                QStringLiteral("Individual ID%1").arg(n) +
                    EnableMark(app_.Data.IndividualDirectory[n - 1].Enable));
    }
    QTreeWidgetItem* group =
        AddNode(setting, {Kind::Directory, Region::Usa, true}, QStringLiteral("Group Directory"));
    for (std::size_t n = 1; n <= app_.Data.GroupDirectory.size(); ++n) {
        AddNode(group, {Kind::DirectoryEntry, Region::Usa, true, static_cast<int>(n)},
                QStringLiteral("Group ID%1").arg(n) +
                    EnableMark(app_.Data.GroupDirectory[n - 1].Enable));
    }
    FitColumn();
}

void NavigationTree::RefreshNodeTexts() {
    for (QTreeWidgetItem* node : nodes_) {
        const QString text = ChannelText(NodeOf(node));
        if (!text.isEmpty())
            node->setText(0, text);
    }
    MarkDirectoryNodes(false);
    MarkDirectoryNodes(true);
    FitColumn();
}

void NavigationTree::MarkDirectoryNodes(bool group) {
    const QTreeWidgetItem* parent = FindNode({TreeNode::Kind::Directory, Region::Usa, group});
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
