#include "restore/RestoreFailureText.h"

#include <cerrno>
#include <cstring>

#include "engine/FileRecord.h"
#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/Translation.h"

namespace varnoket {

namespace {

bool AccessRefused(int error) {
  return error == EACCES || error == EPERM || error == EROFS;
}

std::string SystemText(int error) {
  return error == 0 ? std::string("?") : std::string(std::strerror(error));
}

}  // namespace

std::string RefusedCopyLine(const CopyProof& proof, const RecordedContent& recorded,
                            size_t copiesTried) {
  std::string line;
  switch (proof.verdict) {
    case CopyVerdict::kProven:
      return {};
    case CopyVerdict::kUnreadable:
      line = AccessRefused(proof.systemError)
                 ? FillText(VK_TR_NOOP("Messages",
                                       "---> ERREUR: Accès refusé à la copie compressée (%s) : "
                                       "fichier non restauré. <---"),
                            {proof.path})
                 : FillText(VK_TR_NOOP("Messages",
                                       "---> ERREUR: Impossible de lire la copie compressée (%s) "
                                       ": %s. Fichier non restauré. <---"),
                            {proof.path, SystemText(proof.systemError)});
      break;
    case CopyVerdict::kDamaged:
      line = FillText(VK_TR_NOOP("Messages",
                                 "---> ERREUR: Copie compressée endommagée (%s) : fichier non "
                                 "restauré. <---"),
                      {proof.path});
      break;
    case CopyVerdict::kTruncated:
      line = FillText(VK_TR_NOOP("Messages",
                                 "---> ERREUR: Copie compressée tronquée (%s) : fichier non "
                                 "restauré. <---"),
                      {proof.path});
      break;
    case CopyVerdict::kDifferent: {
      const int32_t low = RecordedSize(proof.size);
      line = FillText(VK_TR_NOOP("Messages",
                                 "---> ERREUR: La copie compressée (%s) ne donne pas le contenu "
                                 "enregistré ce jour-là (taille %s, somme %s au lieu de taille "
                                 "%s, somme %s) : fichier non restauré. <---"),
                      {proof.path, std::to_string(low), std::to_string(proof.checksum),
                       std::to_string(recorded.size), std::to_string(recorded.checksum)});
      break;
    }
  }
  if (copiesTried > 1) {
    line += "\r\n" + FillText(VK_TR_NOOP("Messages",
                                         "     Aucune des %s copies plus anciennes de ce nom ne "
                                         "donne le contenu enregistré."),
                              {std::to_string(copiesTried - 1)});
  }
  return line;
}

std::string FileWriteFailedLine(const std::string& destination, int systemError) {
  if (AccessRefused(systemError)) {
    return FillText(VK_TR_NOOP("Messages",
                               "---> ERREUR: Accès refusé : impossible d'écrire le fichier (%s) "
                               "! <---"),
                    {destination});
  }
  if (systemError == ENAMETOOLONG) {
    return FillText(VK_TR_NOOP("Messages",
                               "---> ERREUR: Impossible de recréer le fichier car le nom de "
                               "destination dépasse %s caractères. (%s)  ! <---"),
                    {std::to_string(kMaxNameLength), destination});
  }
  if (systemError == ENOSPC || systemError == EDQUOT) {
    return FillText(VK_TR_NOOP("Messages",
                               "---> ERREUR: Impossible de recréer le fichier (%s) Vérifiez "
                               "l'espace disque disponible et si le fichier n'est pas "
                               "actuellement utilisé par une autre application ! <---"),
                    {destination});
  }
  if (systemError == EISDIR) return FolderInTheWayLine(destination);
  return FillText(
      VK_TR_NOOP("Messages", "---> ERREUR: Impossible de recréer le fichier (%s) : %s ! <---"),
      {destination, SystemText(systemError)});
}

std::string FolderFailedLine(const std::string& folder, int systemError, size_t lengthLimit) {
  if (lengthLimit != 0 || systemError == ENAMETOOLONG) {
    return FillText(VK_TR_NOOP("Messages",
                               "---> ERREUR: Nom de répertoire de plus de %s "
                               "caractères ! Impossible de le recréer (%s) ! <---"),
                    {std::to_string(lengthLimit != 0 ? lengthLimit : kMaxNameLength), folder});
  }
  if (AccessRefused(systemError)) {
    return FillText(VK_TR_NOOP("Messages",
                               "---> ERREUR: Accès refusé : impossible de recréer le répertoire "
                               "(%s) ! <---"),
                    {folder});
  }
  if (systemError == ENOTDIR || systemError == EEXIST) {
    return FillText(VK_TR_NOOP("Messages",
                               "---> ERREUR: Un fichier occupe la place du répertoire (%s) : il "
                               "n'est pas remplacé ! <---"),
                    {folder});
  }
  return FillText(
      VK_TR_NOOP("Messages", "---> ERREUR: Impossible de recréer le répertoire (%s) ! <---"),
      {folder});
}

std::string OutsideDestinationLine(const std::string& destination, const std::string& root) {
  return FillText(VK_TR_NOOP("Messages",
                             "---> ERREUR: Le fichier (%s) sortirait du dossier de destination "
                             "(%s) : il n'est pas restauré ! <---"),
                  {destination, root});
}

std::string FolderInTheWayLine(const std::string& destination) {
  return FillText(VK_TR_NOOP("Messages",
                             "---> ERREUR: Un dossier occupe la place du fichier (%s) : il n'est "
                             "pas remplacé ! <---"),
                  {destination});
}

}  // namespace varnoket
