#include "restore/RestoreSummary.h"

namespace varnoket {

RestoreSummary SummaryOf(const RestoreRunTotals& totals) {
  if (totals.aborted) return {false, kRestoreAbortedText};
  if (totals.errors == 0) {
    return {false, "Opération terminée : " + std::to_string(totals.restoredCount) +
                       " fichiers ou dossiers restaurés pour un total de " +
                       std::to_string(totals.restoredBytes) + " octets !"};
  }
  return {true,
          "ATTENTION " + std::to_string(totals.errors) +
              " fichiers ou répertoires n'ont pas pu être correctement restaurés !\r\n"
              "Veuillez vérifier que les chemins réseaux éventuels à restaurer existent "
              "toujours, que vous avez les droits suffisants en écriture et que vous disposez "
              "d'assez d'espace disque sur chacun des lecteurs contenant des fichiers à "
              "restaurer.\r\n"
              "Si tout parait correct vérifiez également que des données sauvegardées n'ont pas "
              "été déplacées ou supprimées sur la racine de partage"};
}

}  // namespace varnoket
