#include "restore/RestoreCountsText.h"

#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

std::string OutcomeCountsText(const RestoreRunTotals& totals) {
  return FillText(VK_TR_NOOP("Messages",
                             "Fichiers : %s créé(s), %s laissé(s) tel(s) quel(s) (déjà à jour), "
                             "%s remplacé(s), %s restauré(s) à côté du fichier existant, "
                             "%s ignoré(s)"),
                  {std::to_string(totals.created), std::to_string(totals.upToDate),
                   std::to_string(totals.replaced), std::to_string(totals.keptBoth),
                   std::to_string(totals.skipped)});
}

std::string StoppedCountsText(const RestoreRunTotals& totals, size_t tickedFiles) {
  const size_t restored = static_cast<size_t>(totals.FilesRestored());
  const size_t notRestored = tickedFiles > restored ? tickedFiles - restored : 0;
  return FillText(VK_TR_NOOP("Messages", "Fichiers restaurés : %s ; non restaurés : %s"),
                  {std::to_string(restored), std::to_string(notRestored)});
}

RestoreSummary RunSummaryOf(const RestoreRunTotals& totals, size_t tickedFiles) {
  RestoreSummary summary = SummaryOf(totals);
  summary.text += "\r\n";
  if (totals.aborted) summary.text += StoppedCountsText(totals, tickedFiles) + "\r\n";
  summary.text += OutcomeCountsText(totals);
  return summary;
}

std::string ExistingFilesQuestionText(size_t count) {
  return FillText(
      VK_TR_NOOP("Messages",
                 "%s fichier(s) à restaurer existe(nt) déjà sur votre poste avec un contenu "
                 "différent.\r\n"
                 "Voulez-vous les remplacer, garder les deux (la copie restaurée est écrite à "
                 "côté, sous un nom qui porte sa journée) ou les ignorer ?"),
      {std::to_string(count)});
}

}  // namespace varnoket
