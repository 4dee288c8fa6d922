#include "cli/CommandHelp.h"

#include "platform/Translation.h"

#ifndef VARNOKET_VERSION
#error "VARNOKET_VERSION is set by the build"
#endif

namespace varnoket {

namespace {

constexpr const char* kPrefix = "varnoket-cli [--program-folder DIR] [--station NAME] ";

struct CommandHelp {
  const char* name;
  const char* arguments;  // after the name, on the usage line
  const char* about;      // what it does, each line indented
};

// The texts are French, as every text of the program, and printed in the
// person's language through the catalogue.
constexpr CommandHelp kCommands[] = {
    {"config",
     "[store DIR | store add DIR [NAME] | store remove NAME | store list | time HH:MM |"
     " days N | network-store on|off | before-command|after-command CMD |"
     " before-limit|after-limit MIN]",
     VK_TR_NOOP(
         "CliHelp",
         "  Sans argument, montre le dossier des sauvegardes, l'heure de la sauvegarde\n"
         "  quotidienne et le nombre de jours gardés (VARNOKET.INI). Avec un argument, le\n"
         "  règle avec les contrôles de la fenêtre de configuration.\n"
         "  network-store on permet un dossier des sauvegardes sur un partage réseau (NFS,\n"
         "  SMB...) : chaque sauvegarde exige alors le verrou du partage.\n"
         "  store add DIR [NAME] ajoute un disque de sauvegarde utilisé à tour de rôle avec\n"
         "  le premier (nommé B, C... par défaut), même au même point de montage ; store\n"
         "  remove NAME le retire de la liste (ses sauvegardes restent dessus) ; store list\n"
         "  montre la liste. Une sauvegarde écrit sur chaque disque présent.\n"
         "  before-command et after-command règlent une commande (passée à /bin/sh) lancée\n"
         "  avant et après chaque sauvegarde, \"\" pour n'en avoir aucune ; before-limit et\n"
         "  after-limit, les minutes qu'elle peut prendre (10 par défaut, de 1 à 1440).\n"
         "  Une commande avant qui échoue annule la sauvegarde ; la commande après reçoit\n"
         "  le résultat dans VARNOKET_OUTCOME (completed, nochange, leftout, failed,\n"
         "  nospace, stopped, cancelled).\n"
         "  Code 0 quand la valeur est prise, 1 quand elle est refusée (la raison sur la sortie\n"
         "  d'erreur), 2 pour une ligne de commande fausse.\n")},
    {"add", "DIR",
     VK_TR_NOOP(
         "CliHelp",
         "  Ajoute DIR aux dossiers que ce poste sauvegarde, avec les contrôles de la fenêtre\n"
         "  principale. Code 0 quand il est ajouté, 1 quand il est refusé, 2 pour une ligne de\n"
         "  commande fausse.\n")},
    {"remove", "DIR",
     VK_TR_NOOP("CliHelp",
                "  Retire DIR des dossiers que ce poste sauvegarde. Code 0 quand il est retiré, 1\n"
                "  quand il n'est pas dans la liste, 2 pour une ligne de commande fausse.\n")},
    {"exclude", "PATTERN",
     VK_TR_NOOP("CliHelp",
                "  Ajoute un filtre de noms de fichiers (* et ?, majuscules ou minuscules) : les\n"
                "  fichiers qui y répondent ne sont pas sauvegardés, quel que soit leur dossier.\n"
                "  Code 0 quand il est ajouté, 1 quand il est refusé.\n")},
    {"include", "PATTERN",
     VK_TR_NOOP("CliHelp",
                "  Retire un filtre d'exclusion : les fichiers qui y répondent sont de nouveau\n"
                "  sauvegardés. Code 0 quand il est retiré, 1 quand ce filtre n'est pas dans la "
                "liste.\n")},
    {"hidden-folders", "on|off",
     VK_TR_NOOP(
         "CliHelp",
         "  Inclut (on) ou laisse de côté (off) les dossiers cachés (.config, .local/share,\n"
         "  .thunderbird...) des dossiers sauvegardés ; les caches du bureau (.cache,\n"
         "  .local/share/Trash, vignettes) sont laissés de côté dans les deux cas. Code 0 quand\n"
         "  le réglage est pris, 1 quand il est refusé, 2 pour une ligne de commande fausse.\n")},
    {"status", "",
     VK_TR_NOOP(
         "CliHelp",
         "  La dernière sauvegarde réussie, les jours gardés, la taille des sauvegardes de ce\n"
         "  poste, le réglage des dossiers cachés et la fin de la dernière exécution. Code 0,\n"
         "  ou 2 quand aucun dossier des sauvegardes n'est configuré.\n")},
    {"backup", "",
     VK_TR_NOOP(
         "CliHelp",
         "  Fait une sauvegarde maintenant. Code 0 faite ou rien de changé, 1 échouée, 2 les\n"
         "  réglages ne permettent aucune sauvegarde, 3 le poste est occupé, 4 le dossier du\n"
         "  poste est celui d'une autre machine, 5 arrêtée par un signal, 6 le disque des\n"
         "  sauvegardes est absent, 7 pas assez de place sur ce disque, 8 faite mais avec des\n"
         "  éléments non sauvegardés (illisibles, disparus, noms impossibles...), nommés dans\n"
         "  le journal, 9 faite mais la commande après la sauvegarde a échoué. Une commande\n"
         "  avant la sauvegarde qui échoue donne le code 1.\n")},
    {"days", "",
     VK_TR_NOOP("CliHelp",
                "  Liste les jours de sauvegarde, du plus ancien au plus récent. Code 6 quand le\n"
                "  disque des sauvegardes est absent.\n")},
    {"restore", "DAY [--to DIR] [--existing replace|keep-both|skip] [PATH ...]",
     VK_TR_NOOP(
         "CliHelp",
         "  Restaure les fichiers d'un jour (ceux des PATH, et en dessous, quand il y en a) à\n"
         "  leur place, ou sous DIR, chacun seulement une fois prouvé identique à ce que ce\n"
         "  jour a enregistré. Code 0 quand tout a été restauré, 1 quand un fichier, un dossier\n"
         "  ou une ligne de la liste ne l'a pas été ou qu'un PATH ne désigne rien, 2 pour une\n"
         "  ligne de commande fausse, 6 quand le disque des sauvegardes est absent.\n")},
    {"verify", "[DAY | --slice]",
     VK_TR_NOOP(
         "CliHelp",
         "  Décode et contrôle chaque copie conservée d'un jour (ou de tous les jours). Code 0\n"
         "  quand toutes correspondent, 1 pour un problème ou aucun jour à vérifier, 6 quand le\n"
         "  disque des sauvegardes est absent.\n"
         "  --slice fait la tranche suivante de la vérification tournante des anciennes\n"
         "  copies, celle que chaque sauvegarde fait après son travail ; une copie endommagée\n"
         "  est notée pour la prochaine sauvegarde. Code 0 quand tout est sain, 1 pour une\n"
         "  copie endommagée ou illisible, 3 quand le poste est occupé.\n")},
    {"versions", "PATH",
     VK_TR_NOOP("CliHelp",
                "  Les jours où un fichier a changé. Code 1 quand aucun jour ne le connaît.\n")},
    {"find", "PATTERN [DAY]",
     VK_TR_NOOP(
         "CliHelp",
         "  Les fichiers dont le nom répond à PATTERN, ce jour-là ou tous les jours. Code 1\n"
         "  quand aucun ne répond.\n")},
    {"changes", "DAY",
     VK_TR_NOOP("CliHelp",
                "  Les fichiers nouveaux, modifiés et disparus depuis le jour précédent.\n")},
};

constexpr const char* kOptions = VK_TR_NOOP(
    "CliHelp",
    "\n"
    "  --program-folder DIR  le dossier de VARNOKET.INI (par défaut : celui du programme,\n"
    "                        ou ~/.config/varnoket pour un programme installé)\n"
    "  --station NAME        travaille sur les sauvegardes d'un autre poste (restore, days,\n"
    "                        verify, versions, find, changes)\n"
    "  --store NAME          avec plusieurs disques de sauvegarde : travaille sur celui-ci\n"
    "                        (par défaut : backup les écrit tous, les autres commandes\n"
    "                        lisent le premier présent)\n"
    "  --workers N           compresse et décode sur N fils au plus (par défaut : le réglage\n"
    "                        WORKERS de VARNOKET.INI, sinon un par cœur)\n"
    "  --existing WHAT       quand un fichier restauré trouve un fichier différent : le\n"
    "                        remplacer (replace, par défaut), garder les deux (keep-both, la\n"
    "                        copie restaurée va à côté) ou le laisser (skip)\n"
    "  DAY                   un jour de sauvegarde, jj/mm/aaaa\n"
    "  PATTERN               un nom de fichier avec * et ?, majuscules ou minuscules\n"
    "  --help                ce texte, ou l'usage d'une commande après son nom\n"
    "  --version             la version de varnoket-cli\n");

constexpr const char* kUsageWord = VK_TR_NOOP("CliHelp", "usage : ");
constexpr const char* kUsageIndent = VK_TR_NOOP("CliHelp", "        ");

std::string HelpTr(const char* text) {
  return Translate("CliHelp", text);
}

std::string UsageLine(const CommandHelp& c) {
  std::string line = kPrefix;
  line += c.name;
  if (*c.arguments != '\0') line += std::string(" ") + c.arguments;
  return line + "\n";
}

}  // namespace

std::string UsageText() {
  std::string text;
  for (const CommandHelp& c : kCommands) {
    text += HelpTr(text.empty() ? kUsageWord : kUsageIndent) + UsageLine(c);
  }
  return text + HelpTr(kOptions);
}

std::string CommandUsage(const std::string& command) {
  for (const CommandHelp& c : kCommands) {
    if (command == c.name) return HelpTr(kUsageWord) + UsageLine(c) + HelpTr(c.about);
  }
  return {};
}

std::string VersionLine() {
  return std::string("varnoket-cli ") + VARNOKET_VERSION;
}

}  // namespace varnoket
