#include <gtest/gtest.h>

#include "restore/StateTree.h"

namespace varnoket {
namespace {

using NodeId = StateTree::NodeId;

FileNode Entry(const std::string& path, int32_t state = 0) {
  FileNode e;
  e.FullPath = path;
  e.StoredName = path + ".ZZ";
  e.State = state;
  return e;
}

std::vector<int32_t> EntryStates(const StateTree& tree, NodeId node) {
  std::vector<int32_t> states;
  if (const FileNodeList* files = tree.Files(node)) {
    for (const FileNode& e : *files) states.push_back(e.State);
  }
  return states;
}

// A tree as the restore window has it: recursion on, 0 ignored.
//   root ─ a ─ a1 ─ a11 ─ a111      (a111 holds two files)
//        │    └ a2                  (a holds one file)
//        └ b                        (root holds one file)
class StateTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.SetStateRecursion(true);
    root = tree.AddChild(StateTree::kNoNode, "C:", kStateUnticked);
    a = tree.AddChild(root, "a", kStateUnticked);
    a1 = tree.AddChild(a, "a1", kStateUnticked);
    a11 = tree.AddChild(a1, "a11", kStateUnticked);
    a111 = tree.AddChild(a11, "a111", kStateUnticked);
    a2 = tree.AddChild(a, "a2", kStateUnticked);
    b = tree.AddChild(root, "b", kStateUnticked);
    tree.EnsureFiles(a111).push_back(Entry("C:\\a\\a1\\a11\\a111\\f1"));
    tree.EnsureFiles(a111).push_back(Entry("C:\\a\\a1\\a11\\a111\\f2"));
    tree.EnsureFiles(a).push_back(Entry("C:\\a\\fa"));
    tree.EnsureFiles(root).push_back(Entry("C:\\fr"));
  }

  StateTree tree;
  NodeId root, a, a1, a11, a111, a2, b;
};

TEST_F(StateTreeTest, AddsNodesInOrderAndWalksThemBeforeTheirChildren) {
  EXPECT_EQ(tree.NodeCount(), 7u);
  EXPECT_EQ(tree.Children(StateTree::kNoNode), std::vector<NodeId>{root});
  EXPECT_EQ(tree.Children(a), (std::vector<NodeId>{a1, a2}));
  EXPECT_EQ(tree.Parent(a11), a1);
  EXPECT_EQ(tree.Parent(root), StateTree::kNoNode);
  EXPECT_EQ(tree.Text(a2), "a2");
  EXPECT_EQ(tree.PreOrder(), (std::vector<NodeId>{root, a, a1, a11, a111, a2, b}));
  EXPECT_EQ(tree.Files(b), nullptr);
  EXPECT_THROW(tree.State(99), std::out_of_range);
  EXPECT_THROW(tree.AddChild(99, "x", 1), std::out_of_range);
  EXPECT_EQ(tree.NodeCount(), 7u);  // the refused child left nothing behind
}

TEST_F(StateTreeTest, FindChildComparesExactlyOrFoldingAtoZOnly) {
  const NodeId docs = tree.AddChild(b, "Docs", kStateUnticked);
  tree.AddChild(b, "DOCS", kStateUnticked);  // only reachable exactly
  const NodeId accent = tree.AddChild(b, "été", kStateUnticked);
  EXPECT_EQ(tree.FindChild(b, "docs", true), docs);  // the first of the two
  EXPECT_EQ(tree.FindChild(b, "docs", false), StateTree::kNoNode);
  EXPECT_EQ(tree.FindChild(b, "Docs", false), docs);
  EXPECT_EQ(tree.FindChild(b, "ÉTÉ", true), StateTree::kNoNode);  // accents as they are
  EXPECT_EQ(tree.FindChild(b, "éTé", true), accent);
  EXPECT_EQ(tree.FindChild(StateTree::kNoNode, "c:", true), root);
  EXPECT_EQ(tree.FindChild(a, "docs", true), StateTree::kNoNode);  // other parent
  tree.Clear();
  EXPECT_EQ(tree.NodeCount(), 0u);
  EXPECT_TRUE(tree.Children(StateTree::kNoNode).empty());
  EXPECT_EQ(tree.FindChild(StateTree::kNoNode, "C:", true), StateTree::kNoNode);
}

TEST_F(StateTreeTest, TickingANodeTicksEverythingBelowAndRecomputesAncestors) {
  tree.SetState(a, kStateTicked);
  for (NodeId n : {a, a1, a11, a111, a2}) EXPECT_EQ(tree.State(n), kStateTicked) << n;
  EXPECT_EQ(EntryStates(tree, a111), (std::vector<int32_t>{2, 2}));
  EXPECT_EQ(EntryStates(tree, a), std::vector<int32_t>{2});
  EXPECT_EQ(tree.State(root), kStatePartly);  // b and root's own file are unticked

  tree.SetState(b, kStateTicked);
  EXPECT_EQ(tree.State(root), kStatePartly);  // root's own file still unticked
  tree.Files(root)->front().State = kStateTicked;
  tree.SetState(b, kStateTicked);  // setting the same value propagates again
  EXPECT_EQ(tree.State(root), kStateTicked);
}

TEST_F(StateTreeTest, UntickingUnderAWhollyTickedParentMarksEveryAncestorPartly) {
  tree.SetState(root, kStateTicked);
  EXPECT_EQ(EntryStates(tree, root), std::vector<int32_t>{2});
  tree.SetState(a1, kStateUnticked);
  EXPECT_EQ(EntryStates(tree, a111), (std::vector<int32_t>{1, 1}));
  EXPECT_EQ(tree.State(a111), kStateUnticked);
  for (NodeId n : {a, root}) EXPECT_EQ(tree.State(n), kStatePartly) << n;
  EXPECT_EQ(tree.State(a2), kStateTicked);
  EXPECT_EQ(tree.State(b), kStateTicked);
  EXPECT_EQ(EntryStates(tree, a), std::vector<int32_t>{2});
}

TEST_F(StateTreeTest, FileEntriesCountInTheParentsState) {
  // Children all unticked but one ticked file: partly.
  tree.Files(a)->front().State = kStateTicked;
  tree.SetState(a2, kStateUnticked);
  EXPECT_EQ(tree.State(a), kStatePartly);
  // Children all ticked but one file not: partly; entries in state 0 count as unticked.
  tree.SetState(root, kStateTicked);
  tree.Files(root)->front().State = 0;
  tree.SetState(b, kStateTicked);
  EXPECT_EQ(tree.State(root), kStatePartly);
}

TEST_F(StateTreeTest, OnlyTicksAndUnticksPropagate) {
  tree.SetState(a, kStatePartly);
  EXPECT_EQ(tree.State(a), kStatePartly);
  EXPECT_EQ(tree.State(a1), kStateUnticked);
  EXPECT_EQ(tree.State(root), kStateUnticked);
  tree.SetState(a2, kStateNone);
  EXPECT_EQ(tree.State(a), kStatePartly);
}

TEST_F(StateTreeTest, MousePressTogglesAndPropagatesOnlyWhileRecursionIsOn) {
  tree.ToggleByMouse(a1);
  EXPECT_EQ(tree.State(a1), kStateTicked);
  EXPECT_EQ(tree.State(a111), kStateTicked);
  EXPECT_EQ(tree.State(a), kStatePartly);
  tree.ToggleByMouse(a);  // partly becomes unticked, down to every entry
  for (NodeId n : {a, a1, a11, a111, a2}) EXPECT_EQ(tree.State(n), kStateUnticked) << n;
  EXPECT_EQ(EntryStates(tree, a111), (std::vector<int32_t>{1, 1}));
  tree.ToggleByMouse(a2);
  tree.ToggleByMouse(a2);  // ticked becomes unticked
  EXPECT_EQ(tree.State(a2), kStateUnticked);

  tree.SetStateRecursion(false);
  tree.ToggleByMouse(a2);
  EXPECT_EQ(tree.State(a2), kStateUnticked);
}

TEST_F(StateTreeTest, IgnoredNodesKeepTheirSubtreeAndSayNothingOfTheirParent) {
  tree.SetStateRecursion(false);
  tree.SetState(a1, kStateBlank);
  tree.SetStateRecursion(true);  // a1 is passed over by the resync

  tree.SetState(a, kStateTicked);
  EXPECT_EQ(tree.State(a1), kStateBlank);
  for (NodeId n : {a11, a111}) EXPECT_EQ(tree.State(n), kStateUnticked) << n;
  EXPECT_EQ(EntryStates(tree, a111), (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(tree.State(a2), kStateTicked);

  // Recomputing `a` from below: a1 adds no mark, so a2 alone makes it ticked.
  tree.SetState(a2, kStateTicked);
  EXPECT_EQ(tree.State(a), kStateTicked);
  tree.SetState(a, kStateUnticked);
  EXPECT_EQ(tree.State(a1), kStateBlank);

  // An ignored node stops the walk up: nothing above it is recomputed.
  tree.SetState(a11, kStateTicked);
  EXPECT_EQ(tree.State(a1), kStateBlank);
  EXPECT_EQ(tree.State(a), kStateUnticked);
}

TEST_F(StateTreeTest, StateIgnoreIsStoredOnlyUntilRecursionIsSwitchedOnAgain) {
  tree.SetState(a, kStateTicked);
  tree.SetStateIgnore(kStateTicked);
  EXPECT_EQ(tree.StateIgnore(), kStateTicked);
  EXPECT_EQ(tree.State(a1), kStateTicked);
  tree.SetState(a, kStateUnticked);
  // Ticked children now hold the ignored state: they and their subtrees stay.
  EXPECT_EQ(tree.State(a2), kStateTicked);
  EXPECT_EQ(tree.State(a111), kStateTicked);
  EXPECT_EQ(EntryStates(tree, a), std::vector<int32_t>{1});
}

TEST_F(StateTreeTest, RecursionOffChangesSingleNodesAndSwitchingOnResyncs) {
  tree.SetStateRecursion(false);
  EXPECT_FALSE(tree.StateRecursion());
  tree.SetState(a1, kStateTicked);
  tree.SetState(b, kStateTicked);
  const NodeId fresh = tree.AddChild(a2, "fresh", kStateNone);
  EXPECT_EQ(tree.State(a11), kStateUnticked);
  EXPECT_EQ(tree.State(a), kStateUnticked);

  tree.SetStateRecursion(true);
  for (NodeId n : {a1, a11, a111}) EXPECT_EQ(tree.State(n), kStateTicked) << n;
  EXPECT_EQ(EntryStates(tree, a111), (std::vector<int32_t>{2, 2}));
  EXPECT_EQ(tree.State(a), kStatePartly);
  EXPECT_EQ(tree.State(root), kStatePartly);
  EXPECT_EQ(tree.State(fresh), kStateUnticked);  // no state yet becomes unticked
  EXPECT_EQ(tree.State(a2), kStateUnticked);
}

TEST_F(StateTreeTest, PropagationRestoresTheRecursionFlag) {
  tree.PropagateState(a);
  EXPECT_TRUE(tree.StateRecursion());
  tree.SetStateRecursion(false);
  tree.SetState(a, kStateTicked);
  tree.PropagateState(a);  // an explicit call works while off, and leaves it off
  EXPECT_EQ(tree.State(a111), kStateTicked);
  EXPECT_FALSE(tree.StateRecursion());
}

}  // namespace
}  // namespace varnoket
