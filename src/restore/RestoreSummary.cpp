#include "restore/RestoreSummary.h"

#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

RestoreSummary SummaryOf(const RestoreRunTotals& totals) {
  if (totals.aborted) return {false, kRestoreAbortedText};
  if (totals.errors == 0) {
    return {false,
            FillText(VK_TR_NOOP("Messages",
                                "Opération terminée : %s fichiers ou dossiers "
                                "restaurés pour un total de %s octets !"),
                     {std::to_string(totals.restoredCount), std::to_string(totals.restoredBytes)})};
  }
  return {true,
          FillText(
              VK_TR_NOOP("Messages",
                         "ATTENTION %s fichiers ou répertoires n'ont pas pu être correctement "
                         "restaurés !\r\n"
                         "Veuillez vérifier que les chemins réseaux éventuels à restaurer existent "
                         "toujours, que vous avez les droits suffisants en écriture et que vous "
                         "disposez d'assez d'espace disque sur chacun des lecteurs contenant des "
                         "fichiers à restaurer.\r\n"
                         "Si tout parait correct vérifiez également que des données sauvegardées "
                         "n'ont pas été déplacées ou supprimées sur la racine de partage"),
              {std::to_string(totals.errors)})};
}

}  // namespace varnoket
