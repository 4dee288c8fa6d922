// The program's message boxes on screen: each Dialogs call becomes a modal
// QMessageBox with the matching icon, a title and buttons in the program's
// language (French unless a translation is installed), and the text
// translated whole when the catalogue knows it.
#pragma once

#include <QtGlobal>

#include "platform/Dialogs.h"
#include "platform/ProductName.h"

namespace varnoket {

class QtDialogs : public Dialogs {
 public:
  // Boxes are modal, owned by the application's active window (none: no owner).
  // Escape or closing the box answers Cancel (OK and Cancel) or No (Yes and No).
  DialogAnswer Error(const std::string& text, DialogButtons buttons = DialogButtons::kOk) override;
  DialogAnswer Warning(const std::string& text,
                       DialogButtons buttons = DialogButtons::kOk) override;
  void Information(const std::string& text) override;
  void Message(const std::string& text) override;

  // The titles of the four kinds of box.
  static constexpr const char* kErrorTitle = QT_TRANSLATE_NOOP("QtDialogs", "Erreur");
  static constexpr const char* kWarningTitle = QT_TRANSLATE_NOOP("QtDialogs", "Avertissement");
  static constexpr const char* kInformationTitle = QT_TRANSLATE_NOOP("QtDialogs", "Information");
  static constexpr const char* kMessageTitle = kProductName;
};

}  // namespace varnoket
