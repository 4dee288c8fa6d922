#include "restore/RestoreCountsText.h"

namespace varnoket {

std::string OutcomeCountsText(const RestoreRunTotals& totals) {
  return "Fichiers : " + std::to_string(totals.created) + " créé(s), " +
         std::to_string(totals.upToDate) + " laissé(s) tel(s) quel(s) (déjà à jour), " +
         std::to_string(totals.replaced) + " remplacé(s), " + std::to_string(totals.keptBoth) +
         " restauré(s) à côté du fichier existant, " + std::to_string(totals.skipped) +
         " ignoré(s)";
}

std::string StoppedCountsText(const RestoreRunTotals& totals, size_t tickedFiles) {
  const size_t restored = static_cast<size_t>(totals.FilesRestored());
  const size_t notRestored = tickedFiles > restored ? tickedFiles - restored : 0;
  return "Fichiers restaurés : " + std::to_string(restored) +
         " ; non restaurés : " + std::to_string(notRestored);
}

RestoreSummary RunSummaryOf(const RestoreRunTotals& totals, size_t tickedFiles) {
  RestoreSummary summary = SummaryOf(totals);
  summary.text += "\r\n";
  if (totals.aborted) summary.text += StoppedCountsText(totals, tickedFiles) + "\r\n";
  summary.text += OutcomeCountsText(totals);
  return summary;
}

std::string ExistingFilesQuestionText(size_t count) {
  return std::to_string(count) +
         " fichier(s) à restaurer existe(nt) déjà sur votre poste avec un contenu différent.\r\n"
         "Voulez-vous les remplacer, garder les deux (la copie restaurée est écrite à côté, "
         "sous un nom qui porte sa journée) ou les ignorer ?";
}

}  // namespace varnoket
