// A day's filelist.txt loaded into the restore tree, in both path styles,
// then ticks given and taken back. The load either builds a well-formed tree
// or stops with one of its two texts; a tick reaches everything below the
// node, every ancestor shows whether its subtree is wholly or partly ticked,
// and taking the tick back restores the tree as loaded.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "restore/DayFileTree.h"
#include "restore/StateTree.h"

namespace varnoket {
namespace {

using NodeId = StateTree::NodeId;

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The texts a load may stop with: the internal check, or the conversion
// error naming the text that is no number.
bool IsLoadErrorText(std::string_view text) {
  const std::string_view badName = kBadFileNameText;
  if (text.substr(0, badName.size()) == badName) return true;
  return text.substr(0, 1) == "'" && EndsWith(text, "' n'est pas une valeur entière correcte");
}

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

void LoadAndTick(const std::string& text, PathStyle style, const uint8_t* data, size_t size) {
  fuzz::MemoryFileSystem fs;
  const std::string path = fuzz::TargetFolder() + "/01012026/filelist.txt";
  fs.files[path] = text;
  StateTree tree;
  bool complete = false;
  try {
    complete = LoadDayFileList(fs, path, tree, PathRules(style));
    FUZZ_CHECK(complete);
  } catch (const std::runtime_error& error) {
    FUZZ_CHECK(IsLoadErrorText(error.what()));
  }
  CheckShape(tree);
  for (const NodeId id : tree.PreOrder()) FUZZ_CHECK(tree.State(id) == kStateUnticked);
  if (!complete || tree.NodeCount() == 0) return;

  tree.SetStateRecursion(true);
  // A few nodes picked by the input's first bytes.
  for (size_t k = 0; k < 3 && k < size; ++k) {
    CheckTick(tree, static_cast<NodeId>(data[k] % tree.NodeCount()));
  }
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
