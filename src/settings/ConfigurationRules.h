// What the configuration dialog checks and writes, kept apart from the
// screen: the checks on a chosen backup root, the write test of the root, and
// the saving of the typed values into the program settings file and memory.
#pragma once

#include <string>

#include "platform/DriveInfo.h"
#include "platform/FileSystem.h"
#include "platform/Translation.h"
#include "settings/ProgramSettings.h"

namespace varnoket {

inline constexpr const char* kRootNotAccessible =
    VK_TR_NOOP("Messages", "Le répertoire (%s) n'est pas accessible !");
inline constexpr const char* kRootOnShare =
    VK_TR_NOOP("Messages", "Le répertoire des sauvegardes ne doit pas être un partage réseau !");
inline constexpr const char* kRootNotLocal = VK_TR_NOOP(
    "Messages",
    "Le répertoire des sauvegardes doit être sur un lecteur local non vide !\r\n"
    "Si vous avez choisi un lecteur amovible, un support doit être présent dans le lecteur.");
inline constexpr const char* kRootChangeWarning = VK_TR_NOOP(
    "Messages",
    "ATTENTION vous allez modifier le dossier où sont stockées les sauvegardes,\r\n"
    "toutes les anciennes sauvegardes éventuelles, ainsi que la liste des répertoires à "
    "sauvegarder ne seront plus visibles par varnoket !\r\n"
    "Même si les données ne sont pas effacées, vous ne pourrez donc plus les restaurer à moins "
    "de revenir à la configuration actuelle \r\n"
    "ou de déplacer tous les fichiers de l'ancien répertoire de sauvegarde vers le nouveau ... "
    "\r\n"
    "Confirmez-vous ?");
inline constexpr const char* kNoStationName =
    VK_TR_NOOP("Messages", "Nom réseau du poste non encore défini !");
inline constexpr const char* kChooseRootFirst =
    VK_TR_NOOP("Messages", "Vous devez choisir un répertoire avant de valider !");
inline constexpr const char* kEnterHour =
    VK_TR_NOOP("Messages", "Veuillez saisir une heure avant de valider.");
inline constexpr const char* kEnterDays =
    VK_TR_NOOP("Messages", "Veuillez saisir un nombre de jours avant de valider.");
inline constexpr const char* kRootNotWritable = VK_TR_NOOP(
    "Messages",
    "Impossible d'écrire dans le répertoire racine de sauvegarde choisi !\r\n"
    "Veuillez vérifier les droits d'accès en écriture ou l'espace disque disponible !\r\n"
    "Sinon choisissez un autre répertoire.");
// The chosen folder (%s) did not answer within half a second.
inline constexpr const char* kRootSilent =
    VK_TR_NOOP("Messages",
               "Le dossier des sauvegardes (%s) ne répond pas : la configuration ne peut pas être "
               "enregistrée pour le moment.");
inline constexpr const char* kRootGone = VK_TR_NOOP(
    "Messages",
    "Le dossier des sauvegardes (%s) n'existe plus (disque débranché, dossier renommé ou "
    "supprimé) : rien n'a été enregistré. Rebranchez le disque ou choisissez un autre dossier.");
inline constexpr const char* kOtherDiskOfTheList = VK_TR_NOOP(
    "Messages",
    "Le dossier (%s) porte le marqueur d'un autre disque de sauvegarde de la liste : branchez le "
    "premier disque, ou retirez celui-ci de la liste avant d'en faire le premier.");
// The file the write test creates in the backup root and removes again.
inline constexpr const char* kWriteTestName = "_temp_.txt";

enum class RootRefusal {
  None,
  NotAccessible,  // an error box
  OnShare,        // a plain message
  NotLocalDisk,   // a plain message
};

struct RootChoiceCheck {
  RootRefusal refusal = RootRefusal::None;
  std::string text;  // the message, path filled in; "" when accepted
};

// Checks a folder chosen as backup root: it must be an existing directory
// (given as an absolute path), not on a network mount (unless
// `networkAllowed`: then a folder on one is taken), and on a drive that is
// present and local.
RootChoiceCheck CheckBackupRootChoice(FileSystem& fs, DriveInfo& drives, const std::string& choice,
                                      bool networkAllowed = false);

// Creates (or empties) `folder`/_temp_.txt, closes and deletes it. False when
// the file cannot be created or closed.
bool CanWriteInFolder(FileSystem& fs, const std::string& folder);

// The texts of the dialog's fields as the user left them.
struct ConfigurationFields {
  std::string root;
  std::string hour;
  std::string minute;
  std::string daysKept;
};

// Makes the program settings file writable and writes RACINE, HEURE, MINUTE
// and MAXSAVE as typed. Throws IniError with the system's reason when a write
// fails, and std::logic_error when the file is not open.
void WriteProgramSettings(FileSystem& fs, ProgramSettings& settings,
                          const ConfigurationFields& fields);

// Takes the typed values into memory; a number that does not read keeps the
// value held before. Days kept below their floor (2) are raised to it; true
// when that happened, so
// the field can show the value in use.
bool ApplyProgramSettings(ProgramSettings& settings, const ConfigurationFields& fields);

}  // namespace varnoket
