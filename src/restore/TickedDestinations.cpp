#include "restore/TickedDestinations.h"

#include <cctype>
#include <set>

#include "platform/AsciiText.h"
#include "restore/ChosenFolderPath.h"
#include "restore/RestoreRun.h"

namespace varnoket {

TickedDestinations::TickedDestinations(const StateTree& tree, const RestoreRunContext& ctx)
    : tree_(tree), ctx_(ctx) {}

const std::string& TickedDestinations::Base(StateTree::NodeId node) {
  if (const auto found = bases_.find(node); found != bases_.end()) return found->second;
  std::string base;
  const StateTree::NodeId parent = tree_.Parent(node);
  if (tree_.State(node) != kStateTicked) {
    // Files ticked one by one: the item is the file, held by this folder.
    base = NodePath(tree_, node, ctx_.layout.rules());
  } else if (parent != StateTree::kNoNode) {
    base = IsItem(node) ? NodePath(tree_, parent, ctx_.layout.rules()) : Base(parent);
  }
  return bases_.emplace(node, std::move(base)).first->second;
}

bool TickedDestinations::IsItem(StateTree::NodeId node) {
  if (const auto found = items_.find(node); found != items_.end()) return found->second;
  const StateTree::NodeId parent = tree_.Parent(node);
  const bool item =
      parent == StateTree::kNoNode || tree_.State(parent) != kStateTicked || PassedOver(parent);
  items_.emplace(node, item);
  return item;
}

bool TickedDestinations::PassedOver(StateTree::NodeId node) {
  if (!AtTop() || tree_.State(node) != kStateTicked) return false;
  const FileNodeList* files = tree_.Files(node);
  if ((files != nullptr && !files->empty()) || tree_.Children(node).size() != 1 ||
      tree_.FolderRecord(node)) {
    return false;
  }
  return IsItem(node);
}

std::optional<std::string> TickedDestinations::Folder(StateTree::NodeId node) {
  const std::string path = NodePath(tree_, node, ctx_.layout.rules());
  if (!AtTop()) return RestoreDestination(ctx_, path);
  return PathInChosenFolder(ctx_.layout.rules(), ctx_.destinationRoot, Base(node), path);
}

std::optional<std::string> TickedDestinations::File(StateTree::NodeId node,
                                                    const std::string& fullPath) {
  if (!AtTop()) return RestoreDestination(ctx_, fullPath);
  return PathInChosenFolder(ctx_.layout.rules(), ctx_.destinationRoot, Base(node), fullPath);
}

std::optional<std::string> TickedDestinations::SharedDestination() {
  if (!AtTop()) return std::nullopt;
  const PathRules& rules = ctx_.layout.rules();
  // Compared as the style compares paths: Windows ignores the case of ASCII
  // letters.
  auto key = [&rules](std::string path) {
    return rules.style() == PathStyle::kWindows ? LowerAscii(path) : path;
  };
  std::set<std::string> taken;
  auto clash = [&](const std::optional<std::string>& destination) {
    return destination && !taken.insert(key(*destination)).second;
  };
  for (const StateTree::NodeId node : tree_.PreOrder()) {
    const int32_t state = tree_.State(node);
    if (state == kStateTicked) {
      // Only the ticked item itself: what it holds comes below it.
      if (!IsItem(node) || PassedOver(node)) continue;
      const auto destination = Folder(node);
      if (clash(destination)) return destination;
    } else if (state == kStatePartly) {
      const FileNodeList* files = tree_.Files(node);
      if (files == nullptr) continue;
      for (const FileNode& info : *files) {
        if (info.State != kStateTicked) continue;
        const auto destination = File(node, info.FullPath);
        if (clash(destination)) return destination;
      }
    }
  }
  return std::nullopt;
}

}  // namespace varnoket
