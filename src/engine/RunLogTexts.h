// The lines a backup run writes to its activity log and to the terminal
// that are composed where they are written (engine/BackupRun.cpp and
// engine/CopyStep.cpp) rather than from a marked text: each is given here
// as the French text it is written in, with "%s" for what varies, so the
// catalogue holds its English form and the log viewer and the command-line
// tool show it in the person's language. The log keeps the French text.
// A line changed there must be changed here too, or it is shown in French.
#pragma once

#include "platform/Translation.h"

namespace varnoket {

inline constexpr const char* kRunLogTexts[] = {
    VK_TR_NOOP("Messages", "Préparation de la sauvegarde ..."),
    VK_TR_NOOP("Messages", "La préparation de la sauvegarde a échoué. Sauvegarde interrompue."),
    VK_TR_NOOP("Messages", "Aucune modification n'a été détectée."),
    VK_TR_NOOP("Messages", "Début de la sauvegarde ..."),
    VK_TR_NOOP("Messages",
               "Le disque de sauvegarde (%s) a été retiré pendant la sauvegarde. Sauvegarde "
               "interrompue."),
    VK_TR_NOOP("Messages", "Copies absentes ou endommagées stockées à nouveau : %s fichier(s)."),
    VK_TR_NOOP("Messages",
               "Sauvegarde terminée sur le poste %s Total Bytes=%s Total Fichiers distincts=%s "
               "(hors répertoires vides)"),
    VK_TR_NOOP("Messages", "Vérification : %s copie(s) relue(s) et décodée(s) sans erreur."),
    VK_TR_NOOP("Messages",
               "Vérification : %s copie(s) relue(s) et décodée(s) sans erreur, %s copie(s) "
               "refusée(s)."),
    VK_TR_NOOP("Messages", "Le dossier de sauvegarde (%s) porte désormais son marqueur (%s)."),
    VK_TR_NOOP("Messages",
               "Nettoyage d'une sauvegarde interrompue : %s fichier(s) temporaire(s) et %s "
               "dossier(s) sans liste de fichiers supprimés."),
    VK_TR_NOOP("Messages", "Sauvegarde interrompue : le programme se termine."),
    VK_TR_NOOP("Messages", "Fin de la sauvegarde !"),
    VK_TR_NOOP("Messages",
               "Reprise d'une sauvegarde interrompue : %s copie(s) déjà faite(s) reprise(s) sans "
               "nouvelle compression."),
    VK_TR_NOOP("Messages",
               "ATTENTION: Le chemin du fichier compressé dépasse %s caractères (%s). Fichier non "
               "sauvegardé !"),
    VK_TR_NOOP("Messages",
               "ATTENTION: le fichier (%s) a changé pendant chacune de ses %s lectures : il n'est "
               "pas sauvegardé (sa version précédente, s'il en a une, est gardée)."),
    VK_TR_NOOP("Messages",
               "ERREUR: la copie compressée de (%s) relue après écriture ne redonne pas le "
               "fichier. Elle n'est pas gardée ; le fichier sera sauvegardé de nouveau."),
};

}  // namespace varnoket
