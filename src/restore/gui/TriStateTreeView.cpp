#include "restore/gui/TriStateTreeView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <algorithm>

namespace varnoket {

namespace {

constexpr int kPictureSize = 16;
constexpr int kNodeRole = Qt::UserRole;

// The four state pictures: 0 empty, 1 empty box, 2 ticked box, 3 grey tick.
QIcon DrawPicture(int32_t state) {
  QPixmap pixmap(kPictureSize, kPictureSize);
  pixmap.fill(Qt::transparent);
  if (state != kStateBlank) {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(2.5, 2.5, 11, 11);
    painter.setPen(
        QPen(QColor(state == kStatePartly ? 0x80 : 0x40, state == kStatePartly ? 0x80 : 0x40,
                    state == kStatePartly ? 0x80 : 0x40),
             1));
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    if (state == kStateTicked || state == kStatePartly) {
      QPainterPath tick;
      tick.moveTo(4.5, 8.0);
      tick.lineTo(7.0, 10.5);
      tick.lineTo(11.5, 5.0);
      painter.setPen(QPen(state == kStateTicked ? QColor(Qt::black) : QColor(0x9A, 0x9A, 0x9A), 2,
                          Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      painter.setBrush(Qt::NoBrush);
      painter.drawPath(tick);
    }
  }
  return QIcon(pixmap);
}

}  // namespace

TriStateTreeView::TriStateTreeView(QWidget* parent) : QTreeWidget(parent) {
  tree_.SetStateRecursion(true);
  tree_.SetStateIgnore(kStateBlank);
  for (int32_t state = 0; state < static_cast<int32_t>(pictures_.size()); ++state) {
    pictures_[static_cast<size_t>(state)] = DrawPicture(state);
  }
  setColumnCount(1);
  setHeaderHidden(true);
  setRootIsDecorated(false);  // no lines or buttons at the top level
  setIconSize(QSize(kPictureSize, kPictureSize));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformRowHeights(true);
  setSortingEnabled(false);  // items stay in the order they were added
  connect(this, &QTreeView::collapsed, this, &TriStateTreeView::OnCollapsed);
  connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
    const StateTree::NodeId node = NodeOf(item);
    if (node != StateTree::kNoNode) emit nodeClicked(node);
  });
}

StateTree& TriStateTreeView::Tree() {
  return tree_;
}

const QIcon& TriStateTreeView::PictureOf(int32_t state) const {
  if (state < 0 || static_cast<size_t>(state) >= pictures_.size()) return noPicture_;
  return pictures_[static_cast<size_t>(state)];
}

void TriStateTreeView::Rebuild() {
  clear();
  const size_t count = tree_.NodeCount();
  items_.assign(count, nullptr);
  shownStates_.assign(count, kStateNone);
  // The hierarchy is built apart and handed over at once, which keeps a
  // day of thousands of folders quick to show.
  QList<QTreeWidgetItem*> topLevel;
  for (const StateTree::NodeId id : tree_.PreOrder()) {
    auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(tree_.Text(id))});
    item->setData(0, kNodeRole, id);
    const int32_t state = tree_.State(id);
    item->setIcon(0, PictureOf(state));
    items_[static_cast<size_t>(id)] = item;
    shownStates_[static_cast<size_t>(id)] = state;
    const StateTree::NodeId parent = tree_.Parent(id);
    if (parent == StateTree::kNoNode) {
      topLevel.append(item);
    } else {
      items_[static_cast<size_t>(parent)]->addChild(item);
    }
  }
  addTopLevelItems(topLevel);
}

void TriStateTreeView::RefreshStates() {
  const size_t count = std::min(items_.size(), tree_.NodeCount());
  for (size_t i = 0; i < count; ++i) {
    const int32_t state = tree_.State(static_cast<StateTree::NodeId>(i));
    if (items_[i] == nullptr || shownStates_[i] == state) continue;
    items_[i]->setIcon(0, PictureOf(state));
    shownStates_[i] = state;
  }
}

void TriStateTreeView::ShowWaitNotice(const QString& text) {
  clear();
  items_.clear();
  shownStates_.clear();
  addTopLevelItem(new QTreeWidgetItem(QStringList{text}));
  // The load that follows holds the event loop; paint the notice now.
  viewport()->repaint();
}

StateTree::NodeId TriStateTreeView::SelectedNode() const {
  const QList<QTreeWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? StateTree::kNoNode : NodeOf(selected.front());
}

QTreeWidgetItem* TriStateTreeView::ItemOf(StateTree::NodeId node) const {
  if (node < 0 || static_cast<size_t>(node) >= items_.size()) return nullptr;
  return items_[static_cast<size_t>(node)];
}

StateTree::NodeId TriStateTreeView::NodeOf(const QTreeWidgetItem* item) const {
  if (item == nullptr) return StateTree::kNoNode;
  const QVariant value = item->data(0, kNodeRole);
  bool ok = false;
  const int id = value.toInt(&ok);
  return ok && value.isValid() ? static_cast<StateTree::NodeId>(id) : StateTree::kNoNode;
}

void TriStateTreeView::SetCollapseRule(std::function<bool()> allowed) {
  collapseAllowed_ = std::move(allowed);
}

QRect TriStateTreeView::StatePictureRect(const QTreeWidgetItem* item) const {
  if (item == nullptr) return {};
  const QModelIndex index = indexFromItem(item, 0);
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.rect = visualRect(index);
  option.index = index;
  option.features |= QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasDisplay;
  option.icon = item->icon(0);
  option.text = item->text(0);
  option.decorationSize = iconSize();
  return style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
}

void TriStateTreeView::mousePressEvent(QMouseEvent* event) {
  QTreeWidget::mousePressEvent(event);  // selects the pressed item first
  if (event->button() != Qt::LeftButton || !tree_.StateRecursion()) return;
  const QPoint at = event->position().toPoint();
  QTreeWidgetItem* pressed = itemAt(at);
  if (NodeOf(pressed) == StateTree::kNoNode || !StatePictureRect(pressed).contains(at)) return;
  const StateTree::NodeId selected = SelectedNode();
  if (selected == StateTree::kNoNode) return;
  tree_.ToggleByMouse(selected);
  RefreshStates();
  emit statesChanged();
}

void TriStateTreeView::OnCollapsed(const QModelIndex& index) {
  // Refused collapses are undone at once, whatever asked for them (mouse,
  // keyboard or program).
  if (collapseAllowed_ && !collapseAllowed_()) setExpanded(index, true);
}

}  // namespace varnoket
