// The tree control of the restore window: shows a StateTree with one state
// picture per node (empty, empty box, ticked box, grey tick) and lets a press
// on a picture tick or untick a branch. The rules of the ticks live in
// StateTree; this class only draws them and forwards the mouse.
#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <array>
#include <functional>
#include <vector>

#include "restore/StateTree.h"

namespace varnoket {

class TriStateTreeView : public QTreeWidget {
  Q_OBJECT
 public:
  explicit TriStateTreeView(QWidget* parent = nullptr);  // StateRecursion on, StateIgnore 0
  StateTree& Tree();
  void Rebuild();        // recreates the items from the tree (after a load or a clear)
  void RefreshStates();  // repaints every item's state picture from the tree
  void ShowWaitNotice(const QString& text);  // a single top-level item outside the tree
  StateTree::NodeId SelectedNode() const;    // kNoNode when none
  QTreeWidgetItem* ItemOf(StateTree::NodeId node) const;
  StateTree::NodeId NodeOf(const QTreeWidgetItem* item) const;
  // Whether a branch may collapse (the restore window's rule); unset: always.
  void SetCollapseRule(std::function<bool()> allowed);
  // Where the item's state picture is drawn, in viewport coordinates.
  QRect StatePictureRect(const QTreeWidgetItem* item) const;

 signals:
  void nodeClicked(varnoket::StateTree::NodeId node);  // a click that selects a node
  void statesChanged();                                // after the mouse toggled a state picture

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const QIcon& PictureOf(int32_t state) const;
  void OnCollapsed(const QModelIndex& index);

  StateTree tree_;
  std::vector<QTreeWidgetItem*> items_;  // by node id
  std::vector<int32_t> shownStates_;     // the state each item's picture shows
  std::array<QIcon, 4> pictures_;
  QIcon noPicture_;
  std::function<bool()> collapseAllowed_;
};

}  // namespace varnoket
