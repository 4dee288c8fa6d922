// The small dialog that adds one exclusion filter (a file-name pattern whose
// files are never backed up) to the backup set, after checking it.
#pragma once

#include <QDialog>
#include <QtGlobal>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;

namespace varnoket {

// The window title is ProductTitle(kExclusionDialogTopic).
inline constexpr const char* kExclusionDialogTopic =
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog", "Ajout d'un filtre d'exclusion");
// The explanation above the entry, line by line, each line translated.
inline constexpr const char* kExclusionHelpLines[] = {
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog",
                      "Saisissez un filtre de noms de fichiers ci-dessous"),
    "",
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog", "Exemples de filtres :"),
    "",
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog", "monfichier.doc  ou  *.doc  ou  *.?oc"),
    "",
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog", "*=n'importe quelle suite de caractères"),
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog", "?=n'importe quel caractère (un seul)"),
};
// The warning below the entry, line by line (trailing blanks included).
inline constexpr const char* kExclusionWarningLines[] = {
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog",
                      "ATTENTION: TOUS les fichiers qui correspondent à au moins un "),
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog",
                      "des filtres saisis ne seront PAS sauvegardés peu importe le répertoire "),
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog",
                      "dans lequel ils se trouvent, et ceci même si vous tapez un nom de "),
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog", "fichier sans caractères spéciaux. "),
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog",
                      "(dans l'exemple 'monfichier.doc' TOUS les fichiers qui se nomment"),
    QT_TRANSLATE_NOOP("varnoket::ExclusionDialog",
                      "'monfichier.doc' dans tous les répertoires de sauvegarde seront exclus)."),
};

class ExclusionOwner {
 public:
  virtual ~ExclusionOwner() = default;
  virtual const std::vector<std::string>& Exclusions() const = 0;  // ListBoxExclusions
  // Adds the (already lower-cased) filter to the list and saves (SaveBackupSet).
  virtual void AddExclusion(const std::string& filter) = 0;
};

class ExclusionDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ExclusionDialog(Dialogs& dialogs, QWidget* parent = nullptr);
  void SetOwner(ExclusionOwner* owner);
  // "&Ajouter ce filtre": checks the entry, adds it in lower case and closes.
  void AddTypedFilter();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  Dialogs& dialogs_;
  ExclusionOwner* owner_ = nullptr;
  QPlainTextEdit* helpText_ = nullptr;
  QLineEdit* filterEdit_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPlainTextEdit* warningText_ = nullptr;
  QPushButton* closeButton_ = nullptr;
};

}  // namespace varnoket
