// A day's filelist.txt loaded into the restore tree, in both path styles,
// then ticks given and taken back, then the whole day restored below a
// scratch folder. The load builds a well-formed tree from the sound records
// and names every other line; a tick reaches everything below the node,
// every ancestor shows whether its subtree is wholly or partly ticked, and
// taking the tick back restores the tree as loaded. The restore, whatever
// the list says, writes nothing outside the folder it was given.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "WatchedFileSystem.h"
#include "restore/DayFileTree.h"
#include "restore/RestoreRun.h"
#include "restore/StateTree.h"

namespace varnoket {
namespace {

using NodeId = StateTree::NodeId;

// Every node once in PreOrder, children pointing back at their parent.
void CheckShape(const StateTree& tree) {
  const std::vector<NodeId> order = tree.PreOrder();
  FUZZ_CHECK(order.size() == tree.NodeCount());
  std::vector<bool> seen(tree.NodeCount(), false);
  for (const NodeId id : order) {
    FUZZ_CHECK(id >= 0 && static_cast<size_t>(id) < seen.size() && !seen[static_cast<size_t>(id)]);
    seen[static_cast<size_t>(id)] = true;
    for (const NodeId child : tree.Children(id)) FUZZ_CHECK(tree.Parent(child) == id);
  }
  for (const NodeId root : tree.Children(StateTree::kNoNode)) {
    FUZZ_CHECK(tree.Parent(root) == StateTree::kNoNode);
  }
}

bool AllFilesTicked(const StateTree& tree, NodeId node) {
  const FileNodeList* files = tree.Files(node);
  if (files == nullptr) return true;
  for (const FileNode& entry : *files) {
    if (entry.State != kStateTicked) return false;
  }
  return true;
}

// Whether everything below `node` (its files, its subfolders and theirs) is ticked.
bool WhollyTicked(const StateTree& tree, NodeId node) {
  std::vector<NodeId> stack{node};
  while (!stack.empty()) {
    const NodeId id = stack.back();
    stack.pop_back();
    if (!AllFilesTicked(tree, id)) return false;
    for (const NodeId child : tree.Children(id)) {
      if (tree.State(child) != kStateTicked) return false;
      stack.push_back(child);
    }
  }
  return true;
}

bool IsAncestorOrSelf(const StateTree& tree, NodeId ancestor, NodeId node) {
  for (NodeId id = node; id != StateTree::kNoNode; id = tree.Parent(id)) {
    if (id == ancestor) return true;
  }
  return false;
}

// From a tree where nothing is ticked, ticks `node` by a press and checks the
// states that follow, then takes the tick back.
void CheckTick(StateTree& tree, NodeId node) {
  tree.ToggleByMouse(node);
  FUZZ_CHECK(tree.State(node) == kStateTicked);
  FUZZ_CHECK(WhollyTicked(tree, node));
  for (const NodeId id : tree.PreOrder()) {
    if (IsAncestorOrSelf(tree, node, id)) {
      FUZZ_CHECK(tree.State(id) == kStateTicked && AllFilesTicked(tree, id));
    } else if (IsAncestorOrSelf(tree, id, node)) {
      FUZZ_CHECK(tree.State(id) == (WhollyTicked(tree, id) ? kStateTicked : kStatePartly));
    } else {
      FUZZ_CHECK(tree.State(id) == kStateUnticked);
    }
  }

  tree.ToggleByMouse(node);
  for (const NodeId id : tree.PreOrder()) FUZZ_CHECK(tree.State(id) == kStateUnticked);
}

// Ticks the whole tree and restores it below the watched file system's
// scratch folder: every stored name the list gives is found, holding an
// empty file, so that records of empty files reach the disk.
void RestoreEverything(StateTree& tree, const std::vector<UnreadableLine>& unreadable) {
  fuzz::WatchedFileSystem fs;
  const StoreLayout layout(PathRules(PathStyle::kPosix), fs.StoreRoot(), "PC");
  const std::vector<std::string> days{"01012026"};
  RestoreRunContext ctx(fs, layout, days);
  ctx.workers = 1;
  ctx.destinationRoot = fs.Scratch();
  for (const NodeId top : tree.Children(StateTree::kNoNode)) tree.SetState(top, kStateTicked);
  RestoreHost host;
  const RestoreRunTotals totals = RunRestore(tree, ctx, host, unreadable);
  // With everything ticked, every line that gave nothing is a failure.
  FUZZ_CHECK(totals.unreadableLines == static_cast<int32_t>(unreadable.size()));
  FUZZ_CHECK(totals.errors >= totals.unreadableLines);
  fs.Clear();
}

void LoadAndTick(const std::string& text, PathStyle style, const uint8_t* data, size_t size) {
  fuzz::MemoryFileSystem fs;
  const std::string path = fuzz::TargetFolder() + "/01012026/filelist.txt";
  fs.files[path] = text;
  StateTree tree;
  std::vector<UnreadableLine> unreadable;
  // Lines that are no sound records are named, never thrown.
  FUZZ_CHECK(LoadDayFileList(fs, path, tree, PathRules(style), {}, {}, &unreadable));
  CheckShape(tree);
  for (const NodeId id : tree.PreOrder()) FUZZ_CHECK(tree.State(id) == kStateUnticked);
  for (const UnreadableLine& line : unreadable) FUZZ_CHECK(!HasControlByte(line.text));
  if (tree.NodeCount() == 0) return;

  tree.SetStateRecursion(true);
  // A few nodes picked by the input's first bytes.
  for (size_t k = 0; k < 3 && k < size; ++k) {
    CheckTick(tree, static_cast<NodeId>(data[k] % tree.NodeCount()));
  }
  if (style == PathStyle::kPosix) RestoreEverything(tree, unreadable);
}

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnoket;
  const std::string text(fuzz::AsText(data, size));
  LoadAndTick(text, PathStyle::kPosix, data, size);
  LoadAndTick(text, PathStyle::kWindows, data, size);
  return 0;
}
