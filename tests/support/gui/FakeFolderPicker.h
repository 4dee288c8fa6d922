// A scripted folder picker: answers each request with the next queued path
// ("" = cancelled) and records the titles it was asked with.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/FolderPicker.h"

namespace varnoket::test {

class FakeFolderPicker : public FolderPicker {
 public:
  std::string BrowseForFolder(const std::string& title, bool newDialogStyle) override {
    titles.push_back(title);
    newStyles.push_back(newDialogStyle);
    if (answers.empty()) return "";
    std::string next = answers.front();
    answers.pop_front();
    return next;
  }

  std::deque<std::string> answers;
  std::vector<std::string> titles;
  std::vector<bool> newStyles;
};

}  // namespace varnoket::test
