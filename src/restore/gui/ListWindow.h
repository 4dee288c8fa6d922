// A small window that shows rows of a few columns (a file's versions, the
// files found by name, what changed on a day) with, when its owner gives
// one, a button that acts on the chosen row; a double click does the same.
// It is shown without waiting, above the modal restore window.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace varnoket {

class ListWindow : public QDialog {
  Q_OBJECT

 public:
  // `actionCaption` empty: no action button.
  ListWindow(QWidget* parent, const char* objectName, const std::string& title,
             const std::vector<std::string>& columns, const QString& actionCaption);

  void SetCaption(const std::string& text);
  void AddRow(const std::vector<std::string>& cells);
  int RowCount() const;
  // The cells of a row, in the order they were added.
  std::vector<std::string> Row(int row) const;
  std::string Caption() const;
  void SelectRow(int row);
  // The selected row's action, if any row is selected.
  void ActOnSelection();
  // Moves the window where it leaves `keep` (a part of its owner the person
  // must see, the folder tree) uncovered: beside the owner when the screen
  // has room, else over the owner's other side.
  void StayClearOf(const QWidget& keep);

  // Called with the row (in the order added) the user acts on.
  std::function<void(int row)> onAction;

 private:
  QLabel* caption_;
  QTreeWidget* rows_;
  QPushButton* actionButton_ = nullptr;
};

}  // namespace varnoket
