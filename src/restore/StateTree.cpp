#include "restore/StateTree.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/AsciiText.h"

namespace varnoket {

namespace {

// Puts a flag back to the value it had, also when an exception leaves the
// scope; the flag doubles as the guard against re-entering propagation.
class FlagRestorer {
 public:
  explicit FlagRestorer(bool& flag) : flag_(flag), saved_(flag) {}
  ~FlagRestorer() { flag_ = saved_; }
  FlagRestorer(const FlagRestorer&) = delete;
  FlagRestorer& operator=(const FlagRestorer&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

bool IsUntickedMark(int32_t state) {
  return state == kStateUnticked || state == kStateNone;
}

}  // namespace

StateTree::Node& StateTree::At(NodeId node) {
  if (node < 0 || static_cast<size_t>(node) >= nodes_.size()) {
    throw std::out_of_range("StateTree: no node " + std::to_string(node));
  }
  return nodes_[static_cast<size_t>(node)];
}

const StateTree::Node& StateTree::At(NodeId node) const {
  if (node < 0 || static_cast<size_t>(node) >= nodes_.size()) {
    throw std::out_of_range("StateTree: no node " + std::to_string(node));
  }
  return nodes_[static_cast<size_t>(node)];
}

const std::string& StateTree::IndexKey(NodeId parent, std::string_view text, bool fold) const {
  keyScratch_.resize(sizeof parent);
  std::memcpy(keyScratch_.data(), &parent, sizeof parent);
  keyScratch_.append(text);
  if (fold) UpperAsciiInPlace(keyScratch_, sizeof parent);
  return keyScratch_;
}

StateTree::NodeId StateTree::AddChild(NodeId parent, std::string text, int32_t state) {
  if (parent != kNoNode) At(parent);  // refuses an unknown parent before anything changes
  const auto id = static_cast<NodeId>(nodes_.size());
  // The first child of a text wins, as a scan of the siblings would find it.
  exactIndex_.emplace(IndexKey(parent, text, false), id);
  foldedIndex_.emplace(IndexKey(parent, text, true), id);
  Node node;
  node.text = std::move(text);
  node.parent = parent;
  nodes_.push_back(std::move(node));
  if (parent == kNoNode) {
    roots_.push_back(id);
  } else {
    nodes_[static_cast<size_t>(parent)].children.push_back(id);
  }
  SetState(id, state);
  return id;
}

StateTree::NodeId StateTree::FindChild(NodeId parent, std::string_view text,
                                       bool ignoreAsciiCase) const {
  const auto& index = ignoreAsciiCase ? foldedIndex_ : exactIndex_;
  const auto it = index.find(IndexKey(parent, text, ignoreAsciiCase));
  return it == index.end() ? kNoNode : it->second;
}

void StateTree::SetState(NodeId node, int32_t state) {
  At(node).state = state;
  if (stateRecursion_ && (state == kStateUnticked || state == kStateTicked)) StateChanged(node);
}

void StateTree::StateChanged(NodeId node) {
  PropagateState(node);
}

int32_t StateTree::State(NodeId node) const {
  return At(node).state;
}

const std::string& StateTree::Text(NodeId node) const {
  return At(node).text;
}

StateTree::NodeId StateTree::Parent(NodeId node) const {
  return At(node).parent;
}

const std::vector<StateTree::NodeId>& StateTree::Children(NodeId node) const {
  return node == kNoNode ? roots_ : At(node).children;
}

FileNodeList* StateTree::Files(NodeId node) {
  return At(node).files.get();
}

const FileNodeList* StateTree::Files(NodeId node) const {
  return At(node).files.get();
}

FileNodeList& StateTree::EnsureFiles(NodeId node) {
  Node& n = At(node);
  if (!n.files) n.files = std::make_unique<FileNodeList>();
  return *n.files;
}

const std::optional<RecordedFolder>& StateTree::FolderRecord(NodeId node) const {
  return At(node).record;
}

void StateTree::SetFolderRecord(NodeId node, const RecordedFolder& record) {
  At(node).record = record;
}

void StateTree::Clear() {
  nodes_.clear();
  roots_.clear();
  exactIndex_.clear();
  foldedIndex_.clear();
}

size_t StateTree::NodeCount() const {
  return nodes_.size();
}

std::vector<StateTree::NodeId> StateTree::PreOrder() const {
  std::vector<NodeId> order;
  order.reserve(nodes_.size());
  // Depth-first with an explicit stack: a deep tree must not exhaust the call stack.
  std::vector<NodeId> stack(roots_.rbegin(), roots_.rend());
  while (!stack.empty()) {
    const NodeId id = stack.back();
    stack.pop_back();
    order.push_back(id);
    const auto& kids = nodes_[static_cast<size_t>(id)].children;
    stack.insert(stack.end(), kids.rbegin(), kids.rend());
  }
  return order;
}

void StateTree::SetStateRecursion(bool on) {
  if (on == stateRecursion_) return;
  stateRecursion_ = on;
  if (on && !roots_.empty()) ResyncStates(roots_.front());
}

bool StateTree::StateRecursion() const {
  return stateRecursion_;
}

void StateTree::SetStateIgnore(int32_t state) {
  stateIgnore_ = state;
}

int32_t StateTree::StateIgnore() const {
  return stateIgnore_;
}

void StateTree::ToggleByMouse(NodeId node) {
  if (!stateRecursion_) return;
  int32_t next = At(node).state + 1;
  if (next > kStateTicked) next = kStateUnticked;
  SetState(node, next);
}

void StateTree::PropagateState(NodeId node) {
  const NodeId parent = At(node).parent;
  FlagRestorer restore(stateRecursion_);
  stateRecursion_ = false;
  PropagateDown(node);
  if (parent != kNoNode) PropagateUp(parent);
}

void StateTree::PropagateDown(NodeId node) {
  // Enters a node: false when it is left alone, else its files take its state.
  auto enter = [this](NodeId id) {
    Node& n = nodes_[static_cast<size_t>(id)];
    if (n.state == stateIgnore_) return false;
    if (n.files) {
      for (FileNode& entry : *n.files) entry.State = n.state;
    }
    return true;
  };
  At(node);
  if (!enter(node)) return;
  // The recursion of the rule, unrolled: each frame is a node and the index
  // of its next child, so the order of the visits is the recursive one.
  struct Frame {
    NodeId node;
    size_t next;
  };
  std::vector<Frame> stack{{node, 0}};
  while (!stack.empty()) {
    const NodeId id = stack.back().node;
    const auto& kids = nodes_[static_cast<size_t>(id)].children;
    if (stack.back().next >= kids.size()) {
      stack.pop_back();
      continue;
    }
    const NodeId child = kids[stack.back().next++];
    const int32_t state = nodes_[static_cast<size_t>(id)].state;
    if (nodes_[static_cast<size_t>(child)].state == state) continue;
    if (nodes_[static_cast<size_t>(child)].state != stateIgnore_) SetState(child, state);
    if (enter(child)) stack.push_back({child, 0});
  }
}

void StateTree::PropagateUp(NodeId node) {
  for (NodeId id = node; id != kNoNode; id = nodes_[static_cast<size_t>(id)].parent) {
    const Node& n = At(id);
    if (n.state == stateIgnore_) return;
    bool unticked = false;
    bool ticked = false;
    bool partly = false;
    for (const NodeId child : n.children) {
      const int32_t s = nodes_[static_cast<size_t>(child)].state;
      if (s == stateIgnore_) continue;  // a node left alone says nothing of its parent
      if (IsUntickedMark(s)) {
        unticked = true;
      } else if (s == kStateTicked) {
        ticked = true;
      } else if (s == kStatePartly) {
        partly = true;
      }
    }
    const FileNodeList* files = n.files.get();
    int32_t state = kStatePartly;
    if (unticked && !ticked && !partly) {
      const bool anyTicked =
          files && std::any_of(files->begin(), files->end(),
                               [](const FileNode& e) { return e.State == kStateTicked; });
      state = anyTicked ? kStatePartly : kStateUnticked;
    } else if (ticked && !unticked && !partly) {
      const bool allTicked =
          !files || std::all_of(files->begin(), files->end(),
                                [](const FileNode& e) { return e.State == kStateTicked; });
      state = allTicked ? kStateTicked : kStatePartly;
    }
    SetState(id, state);
  }
}

void StateTree::ResyncStates(NodeId first) {
  const NodeId parent = At(first).parent;
  const auto& siblings = Children(parent);
  const auto at = std::find(siblings.begin(), siblings.end(), first);
  // Each frame is a list of siblings and the index of the next to handle.
  struct Frame {
    const std::vector<NodeId>* list;
    size_t next;
  };
  std::vector<Frame> stack{{&siblings, static_cast<size_t>(at - siblings.begin())}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next >= frame.list->size()) {
      stack.pop_back();
      continue;
    }
    const NodeId id = (*frame.list)[frame.next++];
    Node& n = nodes_[static_cast<size_t>(id)];
    if (n.state == stateIgnore_) continue;
    if (n.state == kStateTicked) {
      PropagateState(id);
      continue;
    }
    if (n.state == kStateNone) {
      // Set alone: its ancestors are recomputed when their turn comes.
      FlagRestorer restore(stateRecursion_);
      stateRecursion_ = false;
      SetState(id, kStateUnticked);
    }
    if (!n.children.empty()) stack.push_back({&n.children, 0});
  }
}

}  // namespace varnoket
