#pragma once

#include <QString>
#include <QTreeWidget>
#include <functional>
#include <vector>

#include "core/app_state.h"
#include "ui/tree_node.h"

namespace chanwright {

// "[Enable]" for an item in use, nothing otherwise: the suffix of node texts and grid cells.
QString EnableMark(Bool16 flag);

// `tvTreeView`: every editable item of the data set, each node carrying the TreeNode it shows
// and named by that node's key ("P", "PU", "PU0", "E12", "SM3" …). Nodes are numbered from 1 in
// the order they were added, the order a search walks.
class NavigationTree : public QTreeWidget {
    Q_OBJECT
  public:
    static constexpr const char* kStatusHint =
        "[Up]/[Down]/[Left]/[Right]:Change of a Selection item.";

    NavigationTree(AppState& app, QWidget* parent = nullptr);

    // Removes every node and adds them again from the data set.
    void Build();
    void RefreshNodeTexts();
    // Colours the entry nodes of a directory: entries in use and the first free one black, the
    // other free ones grey (they cannot be edited before the first free one is used).
    void MarkDirectoryNodes(bool group);
    // Asked before a mouse press may change the selection; false leaves the tree as it is.
    void SetSelectionGuard(std::function<bool()> mayChange) { mayChange_ = std::move(mayChange); }

    int NodeCount() const { return static_cast<int>(nodes_.size()); }
    // 1-based; null outside 1 … NodeCount.
    QTreeWidgetItem* Node(int index) const;
    int IndexOf(const QTreeWidgetItem* node) const;
    // The first node that shows what `wanted` names; null when there is none.
    QTreeWidgetItem* FindNode(const TreeNode& wanted) const;
    QTreeWidgetItem* FindKey(const QString& key) const;
    // What the node shows; Kind::None for no node.
    static TreeNode NodeOf(const QTreeWidgetItem* node);
    static QString KeyOf(const QTreeWidgetItem* node);

  signals:
    // The user (or a key search) selected a node: the window shows its page.
    void NodeClicked(QTreeWidgetItem* node);
    void StatusHint(const QString& text);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const TreeNode& what, const QString& text);
    QString ChannelText(const TreeNode& node) const;
    void FitColumn();

    bool MayChange() const { return !mayChange_ || mayChange_(); }

    AppState& app_;
    std::vector<QTreeWidgetItem*> nodes_;
    std::function<bool()> mayChange_;
};

}  // namespace chanwright
