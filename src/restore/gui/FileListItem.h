// A row of the restore window's file list: name, size and date columns, each
// sorted by its own key (the size and the date as numbers, not as the text
// shown), and the index of its file in the directory's list, which the
// sorting does not change.
#pragma once

#include <QTreeWidgetItem>
#include <QVariant>

namespace varnoket {

class FileListItem : public QTreeWidgetItem {
 public:
  static constexpr int kSortRole = Qt::UserRole + 1;
  static constexpr int kIndexRole = Qt::UserRole;
  enum Column { kName = 0, kSize = 1, kDate = 2 };

  FileListItem(int fileIndex, const QString& name, qint64 size, const QString& sizeText,
               qint64 date, const QString& dateText) {
    setText(kName, name);
    setData(kName, kSortRole, name);
    setText(kSize, sizeText);
    setData(kSize, kSortRole, size);
    setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
    setText(kDate, dateText);
    setData(kDate, kSortRole, date);
    setData(kName, kIndexRole, fileIndex);
  }

  int FileIndex() const { return data(kName, kIndexRole).toInt(); }

  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : kName;
    const QVariant mine = data(column, kSortRole);
    const QVariant theirs = other.data(column, kSortRole);
    if (column == kName) return mine.toString().compare(theirs.toString(), Qt::CaseInsensitive) < 0;
    return mine.toLongLong() < theirs.toLongLong();
  }
};

}  // namespace varnoket
