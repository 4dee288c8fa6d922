// The tri-state tree of a backup day: directory nodes with a tick state and
// the file entries each directory holds, kept consistent as ticks change
// (ticking a node ticks everything below it; every ancestor shows whether
// its subtree is wholly, partly or not ticked). Plain C++, so every rule is
// tested without a screen; the restore window shows it through a view.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "restore/RecordedContent.h"
#include "restore/RecordedFolder.h"

namespace varnoket {

// State values; also the indexes of the view's state pictures.
inline constexpr int32_t kStateNone = -1;  // no state yet
inline constexpr int32_t kStateBlank = 0;  // the usual ignored state
inline constexpr int32_t kStateUnticked = 1;
inline constexpr int32_t kStateTicked = 2;
inline constexpr int32_t kStatePartly = 3;

// One file of a day's list, as the restore needs it.
struct FileNode {
  std::string FullPath;    // the path the file was backed up from
  std::string StoredName;  // relative to a day folder; "*" for a directory record
  int32_t Attributes = 0;
  int32_t FileDate = 0;  // packed date and time
  int32_t State = 0;     // 0 not set yet, 1 unticked, 2 ticked
  // The recorded size and checksum, when the list gave them.
  std::optional<RecordedContent> Content = std::nullopt;
};

using FileNodeList = std::vector<FileNode>;

class StateTree {
 public:
  using NodeId = int32_t;  // -1: no node (the top level as a parent)
  static constexpr NodeId kNoNode = -1;

  // Adds a node under `parent` (kNoNode: a top-level node) after its
  // existing children, and gives it `state` through SetState.
  NodeId AddChild(NodeId parent, std::string text, int32_t state);
  // The only way a state changes. While StateRecursion is on, a new state
  // of 1 or 2 propagates down and up; any other value changes this node only.
  void SetState(NodeId node, int32_t state);
  int32_t State(NodeId node) const;
  const std::string& Text(NodeId node) const;
  NodeId Parent(NodeId node) const;
  const std::vector<NodeId>& Children(NodeId node) const;  // kNoNode: top level
  // The first child of `parent` (kNoNode: the top level) whose text equals
  // `text`, letters a to z compared without regard to case when
  // `ignoreAsciiCase`; kNoNode when there is none. Hashed, so loading a day
  // costs no scan of the siblings.
  NodeId FindChild(NodeId parent, std::string_view text, bool ignoreAsciiCase) const;
  // The node's file list, or nullptr when it has none.
  FileNodeList* Files(NodeId node);
  const FileNodeList* Files(NodeId node) const;
  // The node's file list, created on first use.
  FileNodeList& EnsureFiles(NodeId node);
  // What the day's list records of the node's folder itself: only an empty
  // folder has a record of its own (nullopt for every other node).
  const std::optional<RecordedFolder>& FolderRecord(NodeId node) const;
  void SetFolderRecord(NodeId node, const RecordedFolder& record);
  // Removes every node (and with them their file lists).
  void Clear();
  size_t NodeCount() const;
  // Every node, each before its children, siblings in the order added.
  std::vector<NodeId> PreOrder() const;

  void SetStateRecursion(bool on);  // switching it on resynchronises the tree
  bool StateRecursion() const;
  void SetStateIgnore(int32_t state);  // stored only
  int32_t StateIgnore() const;

  // A press on the node's state picture: unticked becomes ticked, ticked
  // and partly ticked become unticked (only while StateRecursion is on).
  void ToggleByMouse(NodeId node);

  void PropagateState(NodeId node);
  void PropagateDown(NodeId node);
  void PropagateUp(NodeId node);
  // From `first` and each of its following siblings.
  void ResyncStates(NodeId first);

 private:
  struct Node {
    std::string text;
    int32_t state = kStateNone;
    NodeId parent = kNoNode;
    std::vector<NodeId> children;
    std::unique_ptr<FileNodeList> files;
    std::optional<RecordedFolder> record;
  };

  Node& At(NodeId node);
  const Node& At(NodeId node) const;
  void StateChanged(NodeId node);
  // Looks up and records children by (parent, text); the key is kept in a
  // scratch string so that a lookup allocates nothing.
  const std::string& IndexKey(NodeId parent, std::string_view text, bool fold) const;

  std::vector<Node> nodes_;
  std::vector<NodeId> roots_;
  bool stateRecursion_ = false;
  int32_t stateIgnore_ = kStateBlank;
  std::unordered_map<std::string, NodeId> exactIndex_;
  std::unordered_map<std::string, NodeId> foldedIndex_;
  mutable std::string keyScratch_;
};

}  // namespace varnoket
