#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "restore/gui/TriStateTreeView.h"

namespace varnoket {
namespace {

using NodeId = StateTree::NodeId;

QImage PictureOf(const QTreeWidgetItem* item) {
  return item->icon(0).pixmap(16, 16).toImage();
}

// C: ─ a (two files)
//    └ b
class TriStateTreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StateTree& tree = view.Tree();
    root = tree.AddChild(StateTree::kNoNode, "C:", kStateUnticked);
    a = tree.AddChild(root, "a", kStateUnticked);
    b = tree.AddChild(root, "b", kStateUnticked);
    tree.EnsureFiles(a).resize(2);
    view.Rebuild();
    view.expandAll();
    view.resize(300, 200);
    view.show();
  }

  void PressPicture(NodeId node, Qt::MouseButton button = Qt::LeftButton) {
    const QRect picture = view.StatePictureRect(view.ItemOf(node));
    ASSERT_TRUE(picture.isValid());
    QTest::mouseClick(view.viewport(), button, {}, picture.center());
  }

  TriStateTreeView view;
  NodeId root = 0, a = 0, b = 0;
};

TEST_F(TriStateTreeViewTest, StartsAsTheRestoreWindowNeedsIt) {
  EXPECT_TRUE(view.Tree().StateRecursion());
  EXPECT_EQ(view.Tree().StateIgnore(), 0);
  EXPECT_FALSE(view.rootIsDecorated());
  ASSERT_EQ(view.topLevelItemCount(), 1);
  QTreeWidgetItem* top = view.topLevelItem(0);
  EXPECT_EQ(top->text(0), "C:");
  ASSERT_EQ(top->childCount(), 2);
  EXPECT_EQ(top->child(0)->text(0), "a");
  EXPECT_EQ(top->child(1)->text(0), "b");
  EXPECT_EQ(view.NodeOf(top->child(1)), b);
  EXPECT_EQ(view.ItemOf(a), top->child(0));
  EXPECT_EQ(view.ItemOf(99), nullptr);
  EXPECT_EQ(view.SelectedNode(), StateTree::kNoNode);
}

TEST_F(TriStateTreeViewTest, APressOnThePictureTogglesAndRepaintsEveryState) {
  QSignalSpy changed(&view, &TriStateTreeView::statesChanged);
  QSignalSpy clicked(&view, &TriStateTreeView::nodeClicked);
  const QImage unticked = PictureOf(view.ItemOf(b));

  PressPicture(a);
  EXPECT_EQ(view.SelectedNode(), a);
  EXPECT_EQ(view.Tree().State(a), kStateTicked);
  EXPECT_EQ(view.Tree().Files(a)->front().State, kStateTicked);
  EXPECT_EQ(view.Tree().State(root), kStatePartly);
  EXPECT_EQ(changed.count(), 1);
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked.front().front().value<NodeId>(), a);
  const QImage ticked = PictureOf(view.ItemOf(a));
  const QImage partly = PictureOf(view.ItemOf(root));
  EXPECT_NE(ticked, unticked);
  EXPECT_NE(partly, unticked);
  EXPECT_NE(partly, ticked);

  PressPicture(b);  // the parent turns ticked and its picture follows
  EXPECT_EQ(view.Tree().State(root), kStateTicked);
  EXPECT_EQ(PictureOf(view.ItemOf(root)), ticked);

  PressPicture(root);  // ticked becomes unticked, down to every node
  EXPECT_EQ(view.Tree().State(a), kStateUnticked);
  EXPECT_EQ(PictureOf(view.ItemOf(a)), unticked);
  EXPECT_EQ(changed.count(), 3);
}

TEST_F(TriStateTreeViewTest, PressesElsewhereOnlySelect) {
  QSignalSpy changed(&view, &TriStateTreeView::statesChanged);
  QSignalSpy clicked(&view, &TriStateTreeView::nodeClicked);
  const QRect row = view.visualItemRect(view.ItemOf(a));
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(row.right() - 4, row.center().y()));
  EXPECT_EQ(view.SelectedNode(), a);
  EXPECT_EQ(clicked.count(), 1);
  PressPicture(b, Qt::RightButton);
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(view.Tree().State(a), kStateUnticked);
  EXPECT_EQ(view.Tree().State(b), kStateUnticked);

  view.Tree().SetStateRecursion(false);
  PressPicture(b);
  EXPECT_EQ(view.Tree().State(b), kStateUnticked);
  EXPECT_EQ(changed.count(), 0);
}

TEST_F(TriStateTreeViewTest, CollapseRuleRefusesOrAllowsCollapsing) {
  bool allowed = false;
  view.SetCollapseRule([&allowed] { return allowed; });
  QTreeWidgetItem* top = view.ItemOf(root);
  view.collapseItem(top);
  EXPECT_TRUE(top->isExpanded());
  view.setCurrentItem(top);
  view.setFocus();
  QTest::keyClick(&view, Qt::Key_Left);  // the user's collapse, by keyboard
  EXPECT_TRUE(top->isExpanded());

  allowed = true;
  QTest::keyClick(&view, Qt::Key_Left);
  EXPECT_FALSE(top->isExpanded());
}

TEST_F(TriStateTreeViewTest, WaitNoticeStandsAloneAndRebuildReplacesIt) {
  QSignalSpy clicked(&view, &TriStateTreeView::nodeClicked);
  view.Tree().Clear();
  view.ShowWaitNotice("Veuillez patienter ...");
  ASSERT_EQ(view.topLevelItemCount(), 1);
  QTreeWidgetItem* notice = view.topLevelItem(0);
  EXPECT_EQ(notice->text(0), "Veuillez patienter ...");
  EXPECT_EQ(view.NodeOf(notice), StateTree::kNoNode);
  EXPECT_EQ(view.ItemOf(root), nullptr);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualItemRect(notice).center());
  EXPECT_EQ(view.SelectedNode(), StateTree::kNoNode);
  EXPECT_EQ(clicked.count(), 0);
  view.RefreshStates();  // no items of the tree: nothing to do, nothing to break

  view.Rebuild();  // after a clear: empty
  EXPECT_EQ(view.topLevelItemCount(), 0);

  const NodeId d = view.Tree().AddChild(StateTree::kNoNode, "D:", kStateTicked);
  view.Tree().AddChild(StateTree::kNoNode, "A:", kStateUnticked);
  view.Rebuild();
  ASSERT_EQ(view.topLevelItemCount(), 2);
  EXPECT_EQ(view.topLevelItem(0)->text(0), "D:");  // order added, not sorted
  EXPECT_EQ(view.topLevelItem(1)->text(0), "A:");
  EXPECT_EQ(view.ItemOf(d), view.topLevelItem(0));
}

}  // namespace
}  // namespace varnoket
