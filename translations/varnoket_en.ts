<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>Cli</name>
    <message>
        <source>hidden-folders veut on ou off</source>
        <translation>hidden-folders takes on or off</translation>
    </message>
    <message>
        <source>%s octets</source>
        <translation>%s bytes</translation>
    </message>
    <message>
        <source>versions veut un PATH</source>
        <translation>versions needs one PATH</translation>
    </message>
    <message>
        <source>modifié le %s</source>
        <translation>modified on %s</translation>
    </message>
    <message>
        <source>Enregistré comme dossier vide, et non comme fichier, le :</source>
        <translation>Recorded as an empty folder, not as a file, on:</translation>
    </message>
    <message>
        <source>%s version(s) du fichier %s</source>
        <translation>%s version(s) of the file %s</translation>
    </message>
    <message>
        <source>find veut un PATTERN et au plus un DAY</source>
        <translation>find needs a PATTERN and at most a DAY</translation>
    </message>
    <message>
        <source>%s fichier(s) trouvé(s)</source>
        <translation>%s file(s) found</translation>
    </message>
    <message>
        <source>changes veut un DAY</source>
        <translation>changes needs one DAY</translation>
    </message>
    <message>
        <source>Impossible de lire les listes de fichiers du %s et du jour précédent.</source>
        <translation>Cannot read the file lists of %s and of the day before.</translation>
    </message>
    <message>
        <source>Nouveau   %s</source>
        <translation>New       %s</translation>
    </message>
    <message>
        <source>Modifié   %s</source>
        <translation>Modified  %s</translation>
    </message>
    <message>
        <source>Supprimé  %s</source>
        <translation>Removed   %s</translation>
    </message>
    <message>
        <source>Première sauvegarde conservée : %s fichier(s)</source>
        <translation>First kept backup: %s file(s)</translation>
    </message>
    <message>
        <source>Depuis le %s : %s nouveau(x), %s modifié(s), %s supprimé(s)</source>
        <translation>Since %s: %s new, %s modified, %s removed</translation>
    </message>
    <message>
        <source>commande inconnue %s</source>
        <translation>unknown command %s</translation>
    </message>
    <message>
        <source>%s veut une valeur</source>
        <translation>%s needs a value</translation>
    </message>
    <message>
        <source>--station veut un nom de poste (sans &apos;/&apos;, ni &apos;.&apos; ni &apos;..&apos;)</source>
        <translation>--station needs a station name (no &apos;/&apos;, not &apos;.&apos; or &apos;..&apos;)</translation>
    </message>
    <message>
        <source>--workers veut un nombre entier de 1 à 1024</source>
        <translation>--workers needs a whole number from 1 to 1024</translation>
    </message>
    <message>
        <source>backup ne prend aucun argument</source>
        <translation>backup takes no argument</translation>
    </message>
    <message>
        <source>days ne prend aucun argument</source>
        <translation>days takes no argument</translation>
    </message>
    <message>
        <source>Fichiers %s/%s  %s/%s</source>
        <translation>Files %s/%s  %s/%s</translation>
    </message>
    <message>
        <source>  reste %s</source>
        <translation>  %s left</translation>
    </message>
    <message>
        <source>--to veut un dossier</source>
        <translation>--to needs a folder</translation>
    </message>
    <message>
        <source>--existing veut replace, keep-both ou skip</source>
        <translation>--existing needs replace, keep-both or skip</translation>
    </message>
    <message>
        <source>un PATH ne peut pas être vide</source>
        <translation>a PATH cannot be empty</translation>
    </message>
    <message>
        <source>restore veut un DAY</source>
        <translation>restore needs a DAY</translation>
    </message>
    <message>
        <source>verify prend un seul DAY</source>
        <translation>verify takes one DAY</translation>
    </message>
    <message>
        <source>status ne prend aucun argument</source>
        <translation>status takes no argument</translation>
    </message>
    <message>
        <source>verify --slice ne prend rien d&apos;autre</source>
        <translation>verify --slice takes nothing else</translation>
    </message>
    <message>
        <source>config règle store, time, days, network-store, before-command, after-command, before-limit ou after-limit, pas %s</source>
        <translation>config sets store, time, days, network-store, before-command, after-command, before-limit or after-limit, not %s</translation>
    </message>
    <message>
        <source>--store veut le nom d&apos;un disque de sauvegarde (lettres, chiffres, - ou _)</source>
        <translation>--store wants the name of a backup disk (letters, digits, - or _)</translation>
    </message>
    <message>
        <source>config store add DIR [NOM], config store remove NOM ou config store list</source>
        <translation>config store add DIR [NAME], config store remove NAME or config store list</translation>
    </message>
</context>
<context>
    <name>CliHelp</name>
    <message>
        <source>  Ajoute DIR aux dossiers que ce poste sauvegarde, avec les contrôles de la fenêtre
  principale. Code 0 quand il est ajouté, 1 quand il est refusé, 2 pour une ligne de
  commande fausse.
</source>
        <translation>  Adds DIR to the folders this station backs up, with the main window&apos;s checks.
  Exit 0 when added, 1 when refused, 2 on a wrong command line.
</translation>
    </message>
    <message>
        <source>  Retire DIR des dossiers que ce poste sauvegarde. Code 0 quand il est retiré, 1
  quand il n&apos;est pas dans la liste, 2 pour une ligne de commande fausse.
</source>
        <translation>  Takes DIR out of the folders this station backs up. Exit 0 when removed, 1 when
  it is not in the list, 2 on a wrong command line.
</translation>
    </message>
    <message>
        <source>  Ajoute un filtre de noms de fichiers (* et ?, majuscules ou minuscules) : les
  fichiers qui y répondent ne sont pas sauvegardés, quel que soit leur dossier.
  Code 0 quand il est ajouté, 1 quand il est refusé.
</source>
        <translation>  Adds a file-name filter (* and ?, letters of either case): matching files are not
  backed up, whatever their folder. Exit 0 when added, 1 when refused.
</translation>
    </message>
    <message>
        <source>  Retire un filtre d&apos;exclusion : les fichiers qui y répondent sont de nouveau
  sauvegardés. Code 0 quand il est retiré, 1 quand ce filtre n&apos;est pas dans la liste.
</source>
        <translation>  Removes an exclusion filter, so matching files are backed up again. Exit 0 when
  removed, 1 when no such filter is listed.
</translation>
    </message>
    <message>
        <source>  Les jours où un fichier a changé. Code 1 quand aucun jour ne le connaît.
</source>
        <translation>  The days in which a file changed. Exit 1 when no day records it.
</translation>
    </message>
    <message>
        <source>  Les fichiers dont le nom répond à PATTERN, ce jour-là ou tous les jours. Code 1
  quand aucun ne répond.
</source>
        <translation>  The files whose name matches PATTERN in that day or in every day. Exit 1 when
  nothing matches.
</translation>
    </message>
    <message>
        <source>  Les fichiers nouveaux, modifiés et disparus depuis le jour précédent.
</source>
        <translation>  The files new, changed and gone since the day before.
</translation>
    </message>
    <message>
        <source>usage : </source>
        <translation>usage: </translation>
    </message>
    <message>
        <source>        </source>
        <translation>       </translation>
    </message>
    <message>
        <source>  Liste les jours de sauvegarde, du plus ancien au plus récent. Code 6 quand le
  disque des sauvegardes est absent.
</source>
        <translation>  Lists the backup days, oldest first. Exit 6 when the store&apos;s disk is absent.
</translation>
    </message>
    <message>
        <source>  Restaure les fichiers d&apos;un jour (ceux des PATH, et en dessous, quand il y en a) à
  leur place, ou sous DIR, chacun seulement une fois prouvé identique à ce que ce
  jour a enregistré. Code 0 quand tout a été restauré, 1 quand un fichier, un dossier
  ou une ligne de la liste ne l&apos;a pas été ou qu&apos;un PATH ne désigne rien, 2 pour une
  ligne de commande fausse, 6 quand le disque des sauvegardes est absent.
</source>
        <translation>  Restores a day&apos;s files (those at or below the PATHs when given) to their places,
  or below DIR, each only once proven to be what that day recorded. Exit 0 when
  everything was restored, 1 when a file, a folder or a line of the list was not or
  a PATH names nothing, 2 on a wrong command line, 6 when the store&apos;s disk is absent.
</translation>
    </message>
    <message>
        <source>  Inclut (on) ou laisse de côté (off) les dossiers cachés (.config, .local/share,
  .thunderbird...) des dossiers sauvegardés ; les caches du bureau (.cache,
  .local/share/Trash, vignettes) sont laissés de côté dans les deux cas. Code 0 quand
  le réglage est pris, 1 quand il est refusé, 2 pour une ligne de commande fausse.
</source>
        <translation>  Includes (on) or leaves out (off) the hidden folders (.config, .local/share,
  .thunderbird...) of the backed-up folders; the desktop&apos;s caches (.cache,
  .local/share/Trash, thumbnails) are left out either way. Code 0 when the setting
  is taken, 1 when it is refused, 2 for a wrong command line.
</translation>
    </message>
    <message>
        <source>  La dernière sauvegarde réussie, les jours gardés, la taille des sauvegardes de ce
  poste, le réglage des dossiers cachés et la fin de la dernière exécution. Code 0,
  ou 2 quand aucun dossier des sauvegardes n&apos;est configuré.
</source>
        <translation>  The last successful backup, the days kept, the size of this station&apos;s backups,
  the hidden-folders setting and how the latest run ended. Code 0, or 2 when no
  backup folder is configured.
</translation>
    </message>
    <message>
        <source>  Fait une sauvegarde maintenant. Code 0 faite ou rien de changé, 1 échouée, 2 les
  réglages ne permettent aucune sauvegarde, 3 le poste est occupé, 4 le dossier du
  poste est celui d&apos;une autre machine, 5 arrêtée par un signal, 6 le disque des
  sauvegardes est absent, 7 pas assez de place sur ce disque, 8 faite mais avec des
  éléments non sauvegardés (illisibles, disparus, noms impossibles...), nommés dans
  le journal, 9 faite mais la commande après la sauvegarde a échoué. Une commande
  avant la sauvegarde qui échoue donne le code 1.
</source>
        <translation>  Backs up now. Code 0 done or nothing changed, 1 failed, 2 the settings allow no
  backup, 3 the station is busy, 4 the station folder belongs to another machine,
  5 stopped by a signal, 6 the backup disk is absent, 7 not enough room on that
  disk, 8 done but with entries not saved (unreadable, vanished, impossible
  names...), named in the log, 9 done but the command after the backup failed. A
  command before the backup that fails gives code 1.
</translation>
    </message>
    <message>
        <source>  Décode et contrôle chaque copie conservée d&apos;un jour (ou de tous les jours). Code 0
  quand toutes correspondent, 1 pour un problème ou aucun jour à vérifier, 6 quand le
  disque des sauvegardes est absent.
  --slice fait la tranche suivante de la vérification tournante des anciennes
  copies, celle que chaque sauvegarde fait après son travail ; une copie endommagée
  est notée pour la prochaine sauvegarde. Code 0 quand tout est sain, 1 pour une
  copie endommagée ou illisible, 3 quand le poste est occupé.
</source>
        <translation>  Decodes and checks every kept copy of a day (or of every day). Code 0 when
  all match, 1 for a problem or no day to check, 6 when the backup disk is absent.
  --slice makes the next slice of the check of old copies in rotation, the one
  each backup makes after its own work; a damaged copy is noted for the next
  backup. Code 0 when all is sound, 1 for a damaged or unreadable copy, 3 when
  the station is busy.
</translation>
    </message>
    <message>
        <source>  Sans argument, montre le dossier des sauvegardes, l&apos;heure de la sauvegarde
  quotidienne et le nombre de jours gardés (VARNOKET.INI). Avec un argument, le
  règle avec les contrôles de la fenêtre de configuration.
  network-store on permet un dossier des sauvegardes sur un partage réseau (NFS,
  SMB...) : chaque sauvegarde exige alors le verrou du partage.
  store add DIR [NAME] ajoute un disque de sauvegarde utilisé à tour de rôle avec
  le premier (nommé B, C... par défaut), même au même point de montage ; store
  remove NAME le retire de la liste (ses sauvegardes restent dessus) ; store list
  montre la liste. Une sauvegarde écrit sur chaque disque présent.
  before-command et after-command règlent une commande (passée à /bin/sh) lancée
  avant et après chaque sauvegarde, &quot;&quot; pour n&apos;en avoir aucune ; before-limit et
  after-limit, les minutes qu&apos;elle peut prendre (10 par défaut, de 1 à 1440).
  Une commande avant qui échoue annule la sauvegarde ; la commande après reçoit
  le résultat dans VARNOKET_OUTCOME (completed, nochange, leftout, failed,
  nospace, stopped, cancelled).
  Code 0 quand la valeur est prise, 1 quand elle est refusée (la raison sur la sortie
  d&apos;erreur), 2 pour une ligne de commande fausse.
</source>
        <translation>  Without argument, shows the store folder, the time of the daily backup and the days
  kept (VARNOKET.INI). With one, sets it with the configuration window&apos;s checks.
  network-store on allows a backup folder on a network share (NFS, SMB...): each
  backup then requires the share&apos;s lock.
  store add DIR [NAME] adds a backup disk used in turn with the first one (named B,
  C... by default), even at the same mount point; store remove NAME takes it off
  the list (its backups stay on it); store list shows the list. A backup writes to
  every disk that is plugged in.
  before-command and after-command set a command (given to /bin/sh) run before and
  after each backup, &quot;&quot; for none; before-limit and after-limit, the minutes it may
  take (10 by default, from 1 to 1440). A command before that fails cancels the
  backup; the command after gets the outcome in VARNOKET_OUTCOME (completed,
  nochange, leftout, failed, nospace, stopped, cancelled).
  Exit 0 when set, 1 when refused (the reason on standard error), 2 on a wrong
  command line.
</translation>
    </message>
    <message>
        <source>
  --program-folder DIR  le dossier de VARNOKET.INI (par défaut : celui du programme,
                        ou ~/.config/varnoket pour un programme installé)
  --station NAME        travaille sur les sauvegardes d&apos;un autre poste (restore, days,
                        verify, versions, find, changes)
  --store NAME          avec plusieurs disques de sauvegarde : travaille sur celui-ci
                        (par défaut : backup les écrit tous, les autres commandes
                        lisent le premier présent)
  --workers N           compresse et décode sur N fils au plus (par défaut : le réglage
                        WORKERS de VARNOKET.INI, sinon un par cœur)
  --existing WHAT       quand un fichier restauré trouve un fichier différent : le
                        remplacer (replace, par défaut), garder les deux (keep-both, la
                        copie restaurée va à côté) ou le laisser (skip)
  DAY                   un jour de sauvegarde, jj/mm/aaaa
  PATTERN               un nom de fichier avec * et ?, majuscules ou minuscules
  --help                ce texte, ou l&apos;usage d&apos;une commande après son nom
  --version             la version de varnoket-cli
</source>
        <translation>
  --program-folder DIR  the folder that holds VARNOKET.INI (default: the program&apos;s own,
                        or ~/.config/varnoket for an installed program)
  --station NAME        work on the backups of another workstation (restore, days, verify,
                        versions, find, changes)
  --store NAME          with several backup disks: work on this one (default: backup
                        writes to all of them, the other commands read the first one
                        plugged in)
  --workers N           compress and decode on at most N threads (default: the WORKERS
                        setting of VARNOKET.INI, else one per core)
  --existing WHAT       where a restored file meets a different file: replace it (default),
                        keep-both (the restored copy goes beside it), or skip it
  DAY                   a backup day as dd/mm/yyyy
  PATTERN               a file name with * and ?, letters of either case
  --help                this text, or a command&apos;s usage after its name
  --version             the version of varnoket-cli
</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Le répertoire (%s) n&apos;est pas accessible !</source>
        <translation>The folder (%s) is not accessible!</translation>
    </message>
    <message>
        <source>Le répertoire des sauvegardes ne doit pas être un partage réseau !</source>
        <translation>The backup folder must not be a network share!</translation>
    </message>
    <message>
        <source>Le répertoire des sauvegardes doit être sur un lecteur local non vide !<byte value="xd"/>
Si vous avez choisi un lecteur amovible, un support doit être présent dans le lecteur.</source>
        <translation>The backup folder must be on a local drive that is not empty!<byte value="xd"/>
If you chose a removable drive, a medium must be in the drive.</translation>
    </message>
    <message>
        <source>Nom réseau du poste non encore défini !</source>
        <translation>The computer&apos;s network name is not defined yet!</translation>
    </message>
    <message>
        <source>Vous devez choisir un répertoire avant de valider !</source>
        <translation>You must choose a folder before confirming!</translation>
    </message>
    <message>
        <source>Veuillez saisir une heure avant de valider.</source>
        <translation>Please enter an hour before confirming.</translation>
    </message>
    <message>
        <source>Veuillez saisir un nombre de jours avant de valider.</source>
        <translation>Please enter a number of days before confirming.</translation>
    </message>
    <message>
        <source>Impossible d&apos;écrire dans le répertoire racine de sauvegarde choisi !<byte value="xd"/>
Veuillez vérifier les droits d&apos;accès en écriture ou l&apos;espace disque disponible !<byte value="xd"/>
Sinon choisissez un autre répertoire.</source>
        <translation>Cannot write to the chosen backup folder!<byte value="xd"/>
Please check the write permissions or the free disk space!<byte value="xd"/>
Otherwise choose another folder.</translation>
    </message>
    <message>
        <source>Vous ne pouvez pas exclure tous les fichiers !</source>
        <translation>You cannot exclude every file!</translation>
    </message>
    <message>
        <source>Vous n&apos;avez pas le droit de saisir plusieurs fois le caractère &apos;*&apos; dans un filtre !</source>
        <translation>A filter may not contain the &apos;*&apos; character more than once!</translation>
    </message>
    <message>
        <source>Ce filtre existe déjà dans la liste !</source>
        <translation>This filter is already in the list!</translation>
    </message>
    <message>
        <source>Le fichier de paramètres (%s) était illisible : il a été mis de côté sous le nom (%s) et les valeurs par défaut sont utilisées.</source>
        <translation>The settings file (%s) could not be read: it was set aside as (%s) and the default values are used.</translation>
    </message>
    <message>
        <source>Impossible de créer le fichier %s : %s</source>
        <translation>Cannot create the file %s: %s</translation>
    </message>
    <message>
        <source>Fichier ini non initialisé !</source>
        <translation>Settings file not initialised!</translation>
    </message>
    <message>
        <source>Impossible de créer le dossier des réglages (%s) !<byte value="xd"/>
Veuillez vérifier les droits d&apos;accès en écriture de ce dossier.</source>
        <translation>Cannot create the settings folder (%s)!<byte value="xd"/>
Please check the write permissions of this folder.</translation>
    </message>
    <message>
        <source>Une erreur s&apos;est produite lors de la mise à jour des paramètres !<byte value="xd"/>
Veuillez contacter votre administrateur système !</source>
        <translation>An error occurred while updating the settings!<byte value="xd"/>
Please contact your system administrator!</translation>
    </message>
    <message>
        <source>Veuillez d&apos;abord configurer le répertoire de sauvegarde !</source>
        <translation>Please configure the backup folder first!</translation>
    </message>
    <message>
        <source>Aucun fichier n&apos;a encore été créé sur ce poste !</source>
        <translation>No file has been created on this computer yet!</translation>
    </message>
    <message>
        <source>Impossible de lire le fichier log (%s)</source>
        <translation>Cannot read the log file (%s)</translation>
    </message>
    <message>
        <source>Vous devez d&apos;abord configurer le répertoire des sauvegardes !</source>
        <translation>You must configure the backup folder first!</translation>
    </message>
    <message>
        <source>Choisissez un répertoire</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>Vous ne pouvez pas sauvegarder des fichiers inclus dans (%s) <byte value="xd"/>
car il s&apos;agit du répertoire qui contiendra les sauvegardes !</source>
        <translation>You cannot back up files inside (%s) <byte value="xd"/>
because it is the folder that will hold the backups!</translation>
    </message>
    <message>
        <source>Les chemins réseaux ne sont pas autorisés dans cette version !</source>
        <translation>Network paths are not allowed in this version!</translation>
    </message>
    <message>
        <source>Vous ne pouvez sauvegarder que des répertoires de lecteurs fixes (disques durs) dans cette version !</source>
        <translation>In this version you can only back up folders on fixed drives (hard disks)!</translation>
    </message>
    <message>
        <source>Ce répertoire est déjà présent dans la liste !</source>
        <translation>This folder is already in the list!</translation>
    </message>
    <message>
        <source>La dernière sauvegarde a échoué.
%s</source>
        <translation>The last backup failed.
%s</translation>
    </message>
    <message>
        <source>Aucune sauvegarde n&apos;a réussi depuis plus de %s jour.
%s</source>
        <translation>No backup has succeeded for more than %s day.
%s</translation>
    </message>
    <message>
        <source>Aucune sauvegarde n&apos;a réussi depuis plus de %s jours.
%s</source>
        <translation>No backup has succeeded for more than %s days.
%s</translation>
    </message>
    <message>
        <source>La sauvegarde du %s a échoué.</source>
        <translation>The backup of %s failed.</translation>
    </message>
    <message>
        <source>La sauvegarde du %s a échoué.
%s</source>
        <translation>The backup of %s failed.
%s</translation>
    </message>
    <message>
        <source>Échec de la sauvegarde</source>
        <translation>Backup failed</translation>
    </message>
    <message>
        <source>Sauvegarde en retard</source>
        <translation>Backup overdue</translation>
    </message>
    <message>
        <source>Sauvegarde reportée</source>
        <translation>Backup postponed</translation>
    </message>
    <message>
        <source>Le bureau n&apos;a pas de zone de notification : la fenêtre principale reste ouverte, réduite dans la barre des tâches.</source>
        <translation>The desktop has no notification area: the main window stays open, minimised in the taskbar.</translation>
    </message>
    <message>
        <source>Pas de zone de notification</source>
        <translation>No notification area</translation>
    </message>
    <message>
        <source>Dernière sauvegarde réussie : %s (dans le futur)</source>
        <translation>Last successful backup: %s (in the future)</translation>
    </message>
    <message>
        <source>Dernière sauvegarde réussie : %s (aujourd&apos;hui)</source>
        <translation>Last successful backup: %s (today)</translation>
    </message>
    <message>
        <source>Dernière sauvegarde réussie : %s (il y a %s jour)</source>
        <translation>Last successful backup: %s (%s day ago)</translation>
    </message>
    <message>
        <source>Dernière sauvegarde réussie : %s (il y a %s jours)</source>
        <translation>Last successful backup: %s (%s days ago)</translation>
    </message>
    <message>
        <source>Aucune sauvegarde réussie pour l&apos;instant</source>
        <translation>No successful backup yet</translation>
    </message>
    <message>
        <source>ATTENTION : <byte value="xd"/>
Le répertoire devant contenir les sauvegardes n&apos;est pas configuré !<byte value="xd"/>
Le programme va se terminer ...<byte value="xd"/>
Veuillez executer ce programme depuis son répertoire LOCAL et non pas depuis un partage ou un lecteur réseau pour pouvoir accéder à la configuration !</source>
        <translation>WARNING: <byte value="xd"/>
The folder that is to hold the backups is not configured!<byte value="xd"/>
The program will now close...<byte value="xd"/>
Please run this program from its LOCAL folder, not from a share or a network drive, to reach the configuration!</translation>
    </message>
    <message>
        <source>Impossible de trouver un répertoire de démarrage pour créer le raccourci !</source>
        <translation>Cannot find a startup folder to create the shortcut in!</translation>
    </message>
    <message>
        <source>Le dossier à sauvegarder (%s) est un dossier parent du répertoire de sauvegardes (%s) ce qui est interdit ! Il va donc être supprimé de la liste.</source>
        <translation>The folder to back up (%s) contains the backup folder (%s), which is not allowed! It will therefore be removed from the list.</translation>
    </message>
    <message>
        <source>le chemin de l&apos;application est incorrect !</source>
        <translation>the application&apos;s path is incorrect!</translation>
    </message>
    <message>
        <source>Impossible d&apos;effectuer la mise à jour l&apos;ancien programme sur ce poste ne s&apos;est pas arrêté correctement !</source>
        <translation>Cannot update: the old program on this computer did not stop properly!</translation>
    </message>
    <message>
        <source>Impossible de créer le fichier d&apos;échange ! La mise à jour a échoué.</source>
        <translation>Cannot create the exchange file! The update failed.</translation>
    </message>
    <message>
        <source>Erreur dans la tentative de récupération du raccourci (%s) !</source>
        <translation>Error while trying to read the shortcut (%s)!</translation>
    </message>
    <message>
        <source>ERREUR: une sauvegarde plus récente que la date du jour existe (%s). Vérifiez la date de ce poste. Sauvegarde interrompue.</source>
        <translation>ERROR: a backup more recent than today&apos;s date exists (%s). Check this computer&apos;s date. Backup stopped.</translation>
    </message>
    <message>
        <source>Sauvegarde en cours...</source>
        <translation>Backup in progress...</translation>
    </message>
    <message>
        <source>Impossible de créer le répertoire de sauvegarde du jour (%s)</source>
        <translation>Cannot create today&apos;s backup folder (%s)</translation>
    </message>
    <message>
        <source>Impossible de créer le fichier (%s) ou de mettre à jour le fichier INI !<byte value="xd"/>
Vérifiez l&apos;espace disque disponible sur le disque de sauvegarde !</source>
        <translation>Cannot create the file (%s) or update the settings file!<byte value="xd"/>
Check the free space on the backup disk!</translation>
    </message>
    <message>
        <source>Impossible de créer le fichier (%s) ! Vérifiez l&apos;espace disque disponible sur le disque de sauvegarde !</source>
        <translation>Cannot create the file (%s)! Check the free space on the backup disk!</translation>
    </message>
    <message>
        <source>Préparation de sauvegarde en cours...</source>
        <translation>Preparing the backup...</translation>
    </message>
    <message>
        <source>ERREUR: %s</source>
        <translation>ERROR: %s</translation>
    </message>
    <message>
        <source>ERREUR: %s copie(s) compressée(s) relue(s) après écriture ne redonnent pas leur fichier (voir le journal). Vérifiez le disque de sauvegarde.</source>
        <translation>ERROR: %s compressed copy(ies) read back after writing do not give back their file (see the log). Check the backup disk.</translation>
    </message>
    <message>
        <source>Sauvegarde en cours Fichier %s sur %s</source>
        <translation>Backup in progress: file %s of %s</translation>
    </message>
    <message>
        <source>ERREUR: impossible d&apos;écrire le fichier compressé (%s). Vérifiez l&apos;espace disque disponible ou les droits en écriture !</source>
        <translation>ERROR: cannot write the compressed file (%s). Check the free disk space or the write permissions!</translation>
    </message>
    <message>
        <source>Une sauvegarde de ce poste est déjà en cours (%s). Cette sauvegarde n&apos;est pas effectuée.</source>
        <translation>A backup of this computer is already running (%s). This backup is not made.</translation>
    </message>
    <message>
        <source>Le dossier de sauvegarde du poste (%s) est introuvable. Aucune sauvegarde n&apos;est faite.</source>
        <translation>The computer&apos;s backup folder (%s) cannot be found. No backup is made.</translation>
    </message>
    <message>
        <source>Impossible de verrouiller le dossier de sauvegarde du poste (%s) : %s. Aucune sauvegarde n&apos;est faite.</source>
        <translation>Cannot lock the computer&apos;s backup folder (%s): %s. No backup is made.</translation>
    </message>
    <message>
        <source>ATTENTION: le disque de sauvegarde (%s) ne permet pas de verrou : seules les sauvegardes de cette machine sont exclues les unes des autres.</source>
        <translation>WARNING: the backup disk (%s) does not support locks: only this machine&apos;s backups are kept from running at the same time.</translation>
    </message>
    <message>
        <source>Impossible d&apos;enregistrer le fichier (%s)</source>
        <translation>Cannot save the file (%s)</translation>
    </message>
    <message>
        <source>Impossible de lire le fichier (%s)</source>
        <translation>Cannot read the file (%s)</translation>
    </message>
    <message>
        <source>Le dossier de destination (%s) se trouve dans le dossier des sauvegardes (%s) : choisissez un dossier en dehors.</source>
        <translation>The destination folder (%s) is inside the backup folder (%s): choose a folder outside it.</translation>
    </message>
    <message>
        <source>NomPCReseau non défini dans restauration !</source>
        <translation>Computer network name not defined in the restore!</translation>
    </message>
    <message>
        <source>Début de la restauration ...</source>
        <translation>Restore starting...</translation>
    </message>
    <message>
        <source>Choisissez d&apos;abord un fichier dans la liste des fichiers.</source>
        <translation>First choose a file in the file list.</translation>
    </message>
    <message>
        <source>Choisissez d&apos;abord une journée.</source>
        <translation>First choose a day.</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Impossible de recréer le répertoire (%s) ! &lt;---</source>
        <translation>---&gt; ERROR: Cannot recreate the folder (%s)! &lt;---</translation>
    </message>
    <message>
        <source>Fichier-&gt; %s (déjà à jour)</source>
        <translation>File-&gt; %s (already up to date)</translation>
    </message>
    <message>
        <source>Fichier-&gt; %s (ignoré : un fichier différent existe déjà à cet endroit)</source>
        <translation>File-&gt; %s (skipped: a different file already exists there)</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Impossible de recréer le fichier (%s) à côté du fichier existant ! &lt;---</source>
        <translation>---&gt; ERROR: Cannot recreate the file (%s) beside the existing file! &lt;---</translation>
    </message>
    <message>
        <source>     copie restaurée à côté du fichier existant : %s</source>
        <translation>     restored copy beside the existing file: %s</translation>
    </message>
    <message>
        <source>Fichiers : %s créé(s), %s laissé(s) tel(s) quel(s) (déjà à jour), %s remplacé(s), %s restauré(s) à côté du fichier existant, %s ignoré(s)</source>
        <translation>Files: %s created, %s left as they were (already up to date), %s replaced, %s restored beside the existing file, %s skipped</translation>
    </message>
    <message>
        <source>Fichiers restaurés : %s ; non restaurés : %s</source>
        <translation>Files restored: %s; not restored: %s</translation>
    </message>
    <message>
        <source>%s fichier(s) à restaurer existe(nt) déjà sur votre poste avec un contenu différent.<byte value="xd"/>
Voulez-vous les remplacer, garder les deux (la copie restaurée est écrite à côté, sous un nom qui porte sa journée) ou les ignorer ?</source>
        <translation>%s file(s) to restore already exist on your computer with different content.<byte value="xd"/>
Do you want to replace them, keep both (the restored copy is written beside it, under a name that carries its day) or skip them?</translation>
    </message>
    <message>
        <source>Fichier-&gt; %s</source>
        <translation>File-&gt; %s</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Nom de répertoire de plus de %s caractères ! Impossible de le recréer (%s) ! &lt;---</source>
        <translation>---&gt; ERROR: Folder name longer than %s characters! Cannot recreate it (%s)! &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Impossible de recréer le fichier car le nom de destination dépasse %s caractères. (%s)  ! &lt;---</source>
        <translation>---&gt; ERROR: Cannot recreate the file because the destination name is longer than %s characters. (%s)  ! &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Impossible de recréer le fichier (%s) Vérifiez l&apos;espace disque disponible et si le fichier n&apos;est pas actuellement utilisé par une autre application ! &lt;---</source>
        <translation>---&gt; ERROR: Cannot recreate the file (%s) Check the free disk space and whether the file is in use by another application! &lt;---</translation>
    </message>
    <message>
        <source>Opération terminée : %s fichiers ou dossiers restaurés pour un total de %s octets !</source>
        <translation>Done: %s files or folders restored, %s bytes in all!</translation>
    </message>
    <message>
        <source>ATTENTION %s fichiers ou répertoires n&apos;ont pas pu être correctement restaurés !<byte value="xd"/>
Veuillez vérifier que les chemins réseaux éventuels à restaurer existent toujours, que vous avez les droits suffisants en écriture et que vous disposez d&apos;assez d&apos;espace disque sur chacun des lecteurs contenant des fichiers à restaurer.<byte value="xd"/>
Si tout parait correct vérifiez également que des données sauvegardées n&apos;ont pas été déplacées ou supprimées sur la racine de partage</source>
        <translation>WARNING: %s files or folders could not be restored correctly!<byte value="xd"/>
Please check that any network paths to restore still exist, that you have enough write permission and that there is enough disk space on each drive that holds files to restore.<byte value="xd"/>
If everything looks right, also check that backed-up data has not been moved or deleted in the shared backup folder</translation>
    </message>
    <message>
        <source>Restauration abandonnée par l&apos;utilisateur !</source>
        <translation>Restore stopped by the user!</translation>
    </message>
    <message>
        <source>Le fichier de version téléchargé est incorrect !</source>
        <translation>The downloaded version file is incorrect!</translation>
    </message>
    <message>
        <source>Aucune sauvegarde du %s pour ce poste.</source>
        <translation>No backup of %s for this computer.</translation>
    </message>
    <message>
        <source>Aucune sauvegarde conservée n&apos;enregistre le chemin (%s).</source>
        <translation>No kept backup records the path (%s).</translation>
    </message>
    <message>
        <source>Aucun fichier ne correspond à (%s).</source>
        <translation>No file matches (%s).</translation>
    </message>
    <message>
        <source>Aucun répertoire à sauvegarder n&apos;est configuré (%s).</source>
        <translation>No folder to back up is configured (%s).</translation>
    </message>
    <message>
        <source>ATTENTION : <byte value="xd"/>
Le répertoire devant contenir les sauvegardes n&apos;est pas configuré !<byte value="xd"/>
Tant que la configuration sera incomplète aucune sauvegarde ne pourra s&apos;effectuer.</source>
        <translation>WARNING: <byte value="xd"/>
The folder that is to hold the backups is not configured!<byte value="xd"/>
As long as the configuration is incomplete, no backup can be made.</translation>
    </message>
    <message>
        <source>Disque de sauvegarde absent (%s)</source>
        <translation>Backup disk missing (%s)</translation>
    </message>
    <message>
        <source>Disque de sauvegarde absent (%s) : le disque présent porte une autre sauvegarde.</source>
        <translation>Backup disk missing (%s): the disk there holds another backup.</translation>
    </message>
    <message>
        <source>Le marqueur du disque de sauvegarde (%s) est illisible : vérifiez le disque.</source>
        <translation>The backup disk&apos;s marker (%s) cannot be read: check the disk.</translation>
    </message>
    <message>
        <source>Disque de sauvegarde absent</source>
        <translation>Backup disk missing</translation>
    </message>
    <message>
        <source>%s
La sauvegarde partira dès qu&apos;il sera branché.</source>
        <translation>%s
The backup will start as soon as it is plugged in.</translation>
    </message>
    <message>
        <source>Sauvegarde reportée : sur batterie (%s, moins de %s)</source>
        <translation>Backup postponed: on battery (%s, below %s)</translation>
    </message>
    <message>
        <source>Ce répertoire (%s) n&apos;est pas dans la liste !</source>
        <translation>This folder (%s) is not in the list!</translation>
    </message>
    <message>
        <source>Ce filtre (%s) n&apos;est pas dans la liste !</source>
        <translation>This filter (%s) is not in the list!</translation>
    </message>
    <message>
        <source>Dossiers à sauvegarder :</source>
        <translation>Folders to back up:</translation>
    </message>
    <message>
        <source>Filtres d&apos;exclusion :</source>
        <translation>Exclusion filters:</translation>
    </message>
    <message>
        <source>Dossier des sauvegardes : %s</source>
        <translation>Backup folder: %s</translation>
    </message>
    <message>
        <source>(non configuré)</source>
        <translation>(not configured)</translation>
    </message>
    <message>
        <source>Heure de la sauvegarde quotidienne : %s</source>
        <translation>Time of the daily backup: %s</translation>
    </message>
    <message>
        <source>Journées successives mémorisées : %s</source>
        <translation>Successive days kept: %s</translation>
    </message>
    <message>
        <source>Le dossier à sauvegarder (%s) contient le répertoire des sauvegardes choisi (%s) : les sauvegardes se sauvegarderaient elles-mêmes. Choisissez un répertoire en dehors des dossiers à sauvegarder, ou retirez d&apos;abord ce dossier de la liste.</source>
        <translation>The folder to back up (%s) holds the chosen backup folder (%s): the backups would back themselves up. Choose a folder outside the folders to back up, or first remove that folder from the list.</translation>
    </message>
    <message>
        <source>Poste : %s</source>
        <translation>Station: %s</translation>
    </message>
    <message>
        <source>Journées mémorisées : %s sur %s au plus</source>
        <translation>Days kept: %s of at most %s</translation>
    </message>
    <message>
        <source>Taille des sauvegardes du poste : %s (%s)</source>
        <translation>Size of the station&apos;s backups: %s (%s)</translation>
    </message>
    <message>
        <source>Dernière exécution : %s</source>
        <translation>Last run: %s</translation>
    </message>
    <message>
        <source>aucune pour l&apos;instant</source>
        <translation>none yet</translation>
    </message>
    <message>
        <source>terminée le %s</source>
        <translation>completed on %s</translation>
    </message>
    <message>
        <source>terminée le %s, avec une erreur : %s</source>
        <translation>completed on %s, with an error: %s</translation>
    </message>
    <message>
        <source>terminée le %s, aucune modification</source>
        <translation>completed on %s, nothing changed</translation>
    </message>
    <message>
        <source>échouée le %s : %s</source>
        <translation>failed on %s: %s</translation>
    </message>
    <message>
        <source>échouée le %s (voir le journal %s)</source>
        <translation>failed on %s (see the log %s)</translation>
    </message>
    <message>
        <source>interrompue le %s (le programme s&apos;est terminé)</source>
        <translation>interrupted on %s (the program ended)</translation>
    </message>
    <message>
        <source>commencée, sans fin écrite (dernière ligne du %s) : en cours, ou arrêtée brutalement</source>
        <translation>started, no end written (last line on %s): still running, or stopped abruptly</translation>
    </message>
    <message>
        <source>Aucune sauvegarde de ce poste n&apos;a été trouvée dans (%s).</source>
        <translation>No backup of this station was found in (%s).</translation>
    </message>
    <message>
        <source>ATTENTION %s fichiers ou répertoires n&apos;ont pas pu être correctement restaurés !</source>
        <translation>WARNING %s files or folders could not be restored correctly!</translation>
    </message>
    <message>
        <source>Rien de ce jour ne se trouve à (%s) : aucun fichier ni dossier restauré pour ce chemin.</source>
        <translation>Nothing of this day lies at (%s): no file or folder restored for this path.</translation>
    </message>
    <message>
        <source>%s jour(s), %s fichier(s) vérifié(s), %s copie(s) décodée(s), %s problème(s)</source>
        <translation>%s day(s), %s file(s) checked, %s copy(ies) decoded, %s problem(s)</translation>
    </message>
    <message>
        <source>ligne coupée (il lui manque des champs ou sa fin)</source>
        <translation>line cut short (fields or its end missing)</translation>
    </message>
    <message>
        <source>taille, somme, attributs ou date qui n&apos;est pas un nombre</source>
        <translation>size, checksum, attributes or date that is not a number</translation>
    </message>
    <message>
        <source>septième champ inconnu</source>
        <translation>unknown seventh field</translation>
    </message>
    <message>
        <source>chemin qui n&apos;est pas absolu, qui contient « . », « .. », un nom vide ou un caractère de contrôle</source>
        <translation>path that is not absolute, or holds &quot;.&quot;, &quot;..&quot;, an empty name or a control character</translation>
    </message>
    <message>
        <source>nom de copie qui sortirait du dossier du jour</source>
        <translation>copy name that would leave the day folder</translation>
    </message>
    <message>
        <source>chemin hors des dossiers sauvegardés ce jour-là</source>
        <translation>path outside the folders backed up that day</translation>
    </message>
    <message>
        <source>chemin présent deux fois dans la liste avec des contenus différents</source>
        <translation>path listed twice with different contents</translation>
    </message>
    <message>
        <source>La liste de ce jour contient %s ligne(s) illisible(s) : ce qu&apos;elles décrivent ne peut pas être restauré.</source>
        <translation>This day&apos;s list holds %s unreadable line(s): what they describe cannot be restored.</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Ligne illisible dans la liste du jour (%s) : %s. Rien n&apos;est restauré pour elle. &lt;---</source>
        <translation>---&gt; ERROR: Unreadable line in the day&apos;s list (%s): %s. Nothing is restored for it. &lt;---</translation>
    </message>
    <message>
        <source>Répertoire-&gt; %s</source>
        <translation>Folder-&gt; %s</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Accès refusé à la copie compressée (%s) : fichier non restauré. &lt;---</source>
        <translation>---&gt; ERROR: Access denied to the compressed copy (%s): file not restored. &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Impossible de lire la copie compressée (%s) : %s. Fichier non restauré. &lt;---</source>
        <translation>---&gt; ERROR: Cannot read the compressed copy (%s): %s. File not restored. &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Copie compressée endommagée (%s) : fichier non restauré. &lt;---</source>
        <translation>---&gt; ERROR: Damaged compressed copy (%s): file not restored. &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Copie compressée tronquée (%s) : fichier non restauré. &lt;---</source>
        <translation>---&gt; ERROR: Truncated compressed copy (%s): file not restored. &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: La copie compressée (%s) ne donne pas le contenu enregistré ce jour-là (taille %s, somme %s au lieu de taille %s, somme %s) : fichier non restauré. &lt;---</source>
        <translation>---&gt; ERROR: The compressed copy (%s) does not hold the content recorded that day (size %s, checksum %s instead of size %s, checksum %s): file not restored. &lt;---</translation>
    </message>
    <message>
        <source>     Aucune des %s copies plus anciennes de ce nom ne donne le contenu enregistré.</source>
        <translation>     None of the %s older copies of this name holds the recorded content.</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Accès refusé : impossible d&apos;écrire le fichier (%s) ! &lt;---</source>
        <translation>---&gt; ERROR: Access denied: cannot write the file (%s)! &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Impossible de recréer le fichier (%s) : %s ! &lt;---</source>
        <translation>---&gt; ERROR: Cannot recreate the file (%s): %s! &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Accès refusé : impossible de recréer le répertoire (%s) ! &lt;---</source>
        <translation>---&gt; ERROR: Access denied: cannot recreate the folder (%s)! &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Un fichier occupe la place du répertoire (%s) : il n&apos;est pas remplacé ! &lt;---</source>
        <translation>---&gt; ERROR: A file stands where the folder (%s) goes: it is not replaced! &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Le fichier (%s) sortirait du dossier de destination (%s) : il n&apos;est pas restauré ! &lt;---</source>
        <translation>---&gt; ERROR: The file (%s) would land outside the destination folder (%s): it is not restored! &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Un dossier occupe la place du fichier (%s) : il n&apos;est pas remplacé ! &lt;---</source>
        <translation>---&gt; ERROR: A folder stands where the file (%s) goes: it is not replaced! &lt;---</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Enregistrement illisible pour (%s) : fichier non restauré. &lt;---</source>
        <translation>---&gt; ERROR: Unreadable record for (%s): file not restored. &lt;---</translation>
    </message>
    <message>
        <source>%s : copie illisible (%s, %s) pour %s</source>
        <translation>%s: unreadable copy (%s, %s) for %s</translation>
    </message>
    <message>
        <source>%s : copie endommagée (%s) pour %s</source>
        <translation>%s: damaged copy (%s) for %s</translation>
    </message>
    <message>
        <source>%s : copie tronquée (%s) pour %s</source>
        <translation>%s: truncated copy (%s) for %s</translation>
    </message>
    <message>
        <source>%s : contenu différent (%s : taille %s, somme %s ; liste : taille %s, somme %s) pour %s</source>
        <translation>%s: different content (%s: size %s, checksum %s; list: size %s, checksum %s) for %s</translation>
    </message>
    <message>
        <source>%s : copie absente (%s) pour %s</source>
        <translation>%s: missing copy (%s) for %s</translation>
    </message>
    <message>
        <source>ERREUR: impossible de lire le fichier (%s)</source>
        <translation>ERROR: cannot read the file (%s)</translation>
    </message>
    <message>
        <source>%s : ligne illisible (%s) : %s</source>
        <translation>%s: unreadable line (%s): %s</translation>
    </message>
    <message>
        <source>Le dossier du %s (%s) est un lien symbolique, pas un jour de sauvegarde : il n&apos;est pas lu.</source>
        <translation>The folder of %s (%s) is a symbolic link, not a backup day: it is not read.</translation>
    </message>
    <message>
        <source>Le fichier des réglages du poste (%s) ne peut pas être lu : la date de la dernière sauvegarde qu&apos;il garde est inconnue.</source>
        <translation>The station&apos;s settings file (%s) cannot be read: the date of the last backup it keeps is unknown.</translation>
    </message>
    <message>
        <source>Le fichier de paramètres (%s) n&apos;est pas un fichier (un dossier ou autre chose porte son nom) : les réglages ne peuvent pas être lus.</source>
        <translation>The settings file (%s) is not a file (a folder or something else bears its name): the settings cannot be read.</translation>
    </message>
    <message>
        <source>Le fichier de paramètres (%s) ne peut pas être lu : %s.</source>
        <translation>The settings file (%s) cannot be read: %s.</translation>
    </message>
    <message>
        <source>Une sauvegarde fusionne les jours les plus anciens : la lecture attend que la fusion se termine...</source>
        <translation>A backup is merging the oldest days: reading waits for the merge to end...</translation>
    </message>
    <message>
        <source>%s copie(s) endommagée(s) sur %s notée(s) dans (%s) : la prochaine sauvegarde stockera à nouveau leurs fichiers s&apos;ils n&apos;ont pas changé.</source>
        <translation>%s of %s damaged copy(ies) noted in (%s): the next backup will store their files again if they have not changed.</translation>
    </message>
    <message>
        <source>La sauvegarde du %s est faite, mais %s élément(s) n&apos;ont pas pu être sauvegardés.
La liste est dans le journal (%s).</source>
        <translation>The backup of %s is done, but %s item(s) could not be saved.
The list is in the log (%s).</translation>
    </message>
    <message>
        <source>Sauvegarde incomplète</source>
        <translation>Incomplete backup</translation>
    </message>
    <message>
        <source>Dossiers cachés : inclus (sauf les caches du bureau)</source>
        <translation>Hidden folders: included (except the desktop&apos;s caches)</translation>
    </message>
    <message>
        <source>Dossiers cachés : laissés de côté</source>
        <translation>Hidden folders: left out</translation>
    </message>
    <message>
        <source>terminée le %s, incomplète : %s</source>
        <translation>completed on %s, incomplete: %s</translation>
    </message>
    <message>
        <source>Aucun dossier sûr de cet utilisateur ne peut recevoir le marqueur du programme.</source>
        <translation>No safe folder of this user can hold the program&apos;s marker.</translation>
    </message>
    <message>
        <source>Le disque de sauvegarde (%s) ne permet pas de verrou, et aucun dossier de cet utilisateur ne peut recevoir en sûreté le verrou qui le remplace : %s. Aucune sauvegarde n&apos;est faite.</source>
        <translation>The backup disk (%s) does not allow locks, and no folder of this user can safely hold the lock that stands in for it: %s. No backup is made.</translation>
    </message>
    <message>
        <source>le marqueur (%s) est un lien</source>
        <translation>the marker (%s) is a link</translation>
    </message>
    <message>
        <source>impossible d&apos;ouvrir le marqueur (%s) : %s</source>
        <translation>cannot open the marker (%s): %s</translation>
    </message>
    <message>
        <source>le marqueur (%s) n&apos;est pas un fichier ordinaire</source>
        <translation>the marker (%s) is not a regular file</translation>
    </message>
    <message>
        <source>le marqueur (%s) appartient à un autre utilisateur</source>
        <translation>the marker (%s) belongs to another user</translation>
    </message>
    <message>
        <source>impossible de verrouiller le marqueur (%s) : %s</source>
        <translation>cannot lock the marker (%s): %s</translation>
    </message>
    <message>
        <source>impossible de créer le dossier (%s) : %s</source>
        <translation>cannot create the folder (%s): %s</translation>
    </message>
    <message>
        <source>(%s) n&apos;est pas un dossier mais un lien ou un fichier</source>
        <translation>(%s) is not a folder but a link or a file</translation>
    </message>
    <message>
        <source>impossible d&apos;ouvrir le dossier (%s) : %s</source>
        <translation>cannot open the folder (%s): %s</translation>
    </message>
    <message>
        <source>(%s) n&apos;est pas un dossier</source>
        <translation>(%s) is not a folder</translation>
    </message>
    <message>
        <source>le dossier (%s) appartient à un autre utilisateur</source>
        <translation>the folder (%s) belongs to another user</translation>
    </message>
    <message>
        <source>le dossier (%s) est ouvert à d&apos;autres utilisateurs</source>
        <translation>the folder (%s) is open to other users</translation>
    </message>
    <message>
        <source>le dossier (%s) est modifiable par d&apos;autres utilisateurs</source>
        <translation>the folder (%s) can be changed by other users</translation>
    </message>
    <message>
        <source>Êtes-vous sûr de vouloir quitter Varnoket ?</source>
        <translation>Are you sure you want to quit Varnoket?</translation>
    </message>
    <message>
        <source>Varnoket</source>
        <translation>Varnoket</translation>
    </message>
    <message>
        <source>Le dossier (%s) est un dossier parent du répertoire qui contiendra les sauvegardes (%s) !<byte value="xd"/>
Vous ne pouvez pas sélectionner ce dossier, ou alors vous devez modifier le répertoire des sauvegardes dans l&apos;écran de configuration (possible uniquement sur un ordinateur principal) !</source>
        <translation>The folder (%s) contains the folder that will hold the backups (%s)!<byte value="xd"/>
You cannot select this folder, unless you change the backup folder in the configuration screen (only possible on a main computer)!</translation>
    </message>
    <message>
        <source>ATTENTION si vous enlevez un répertoire de la liste, les fichiers qu&apos;il contient ne seront plus sauvegardés!<byte value="xd"/>
Confirmez-vous votre choix ?</source>
        <translation>WARNING: if you remove a folder from the list, the files it contains will no longer be backed up!<byte value="xd"/>
Do you confirm your choice?</translation>
    </message>
    <message>
        <source>Une sauvegarde peut prendre beaucoup de temps...<byte value="xd"/>
Voulez-vous sauvegarder maintenant ?</source>
        <translation>A backup can take a long time...<byte value="xd"/>
Do you want to back up now?</translation>
    </message>
    <message>
        <source>Une sauvegarde a déjà été effectuée aujourd&apos;hui.<byte value="xd"/>
Voulez-vous recommencer et écraser l&apos;ancienne ?</source>
        <translation>A backup was already made today.<byte value="xd"/>
Do you want to run it again and overwrite the earlier one?</translation>
    </message>
    <message>
        <source>ATTENTION : <byte value="xd"/>
Le répertoire devant contenir les sauvegardes n&apos;est pas configuré !<byte value="xd"/>
Cliquer sur OK pour faire apparaître l&apos;écran de configuration !<byte value="xd"/>
Tant que la configuration sera incomplète aucune sauvegarde ne pourra s&apos;effectuer.</source>
        <translation>WARNING: <byte value="xd"/>
The folder that is to hold the backups is not configured!<byte value="xd"/>
Click OK to open the configuration screen!<byte value="xd"/>
As long as the configuration is incomplete, no backup can be made.</translation>
    </message>
    <message>
        <source>Le programme va se terminer ... <byte value="xd"/>
Veuillez contacter votre administrateur système ou exécuter le programme depuis son répertoire physique d&apos;installation !</source>
        <translation>The program will now close... <byte value="xd"/>
Please contact your system administrator or run the program from the folder it is installed in!</translation>
    </message>
    <message>
        <source>Impossible d&apos;écrire dans le répertoire racine de sauvegarde (%s) !<byte value="xd"/>
Veuillez vérifier que ce répertoire existe toujours, que vous avez les droits d&apos;accès en écriture et qu&apos;il reste suffisamment d&apos;espace disque disponible !</source>
        <translation>Cannot write to the backup folder (%s)!<byte value="xd"/>
Please check that this folder still exists, that you have write permission and that there is enough free disk space!</translation>
    </message>
    <message>
        <source>Le répertoire (%s) a été déplacé ou supprimé !<byte value="xd"/>
Veuillez modifier la liste des répertoires en conséquence sinon aucune sauvegarde ne pourra être effectuée !</source>
        <translation>The folder (%s) has been moved or deleted!<byte value="xd"/>
Please change the list of folders accordingly, otherwise no backup can be made!</translation>
    </message>
    <message>
        <source>Préparation de (...%s)</source>
        <translation>Preparing (...%s)</translation>
    </message>
    <message>
        <source>ATTENTION voulez-vous vraiment interrompre la restauration ?</source>
        <translation>WARNING: do you really want to stop the restore?</translation>
    </message>
    <message>
        <source>Le répertoire de sauvegarde de ce poste (%s) n&apos;existe pas ou a été supprimé ! Il n&apos;y a rien à restaurer.</source>
        <translation>This computer&apos;s backup folder (%s) does not exist or has been deleted! There is nothing to restore.</translation>
    </message>
    <message>
        <source>ATTENTION vous allez perdre vos sélections si vous en avez effectué ! Confirmez-vous ?</source>
        <translation>WARNING: you will lose your selections, if you made any! Do you confirm?</translation>
    </message>
    <message>
        <source>ATTENTION : vous allez effectuer une restauration.<byte value="xd"/>
Tous les fichiers et répertoires choisis déjà présents sur votre poste seront remplacés !<byte value="xd"/>
Confirmez-vous ?</source>
        <translation>WARNING: you are about to restore files.<byte value="xd"/>
All the chosen files and folders already on your computer will be replaced!<byte value="xd"/>
Do you confirm?</translation>
    </message>
    <message>
        <source>Aucune sauvegarde n&apos;a encore été effectuée pour ce poste ! Il n&apos;y a rien à restaurer.</source>
        <translation>No backup has been made for this computer yet! There is nothing to restore.</translation>
    </message>
    <message>
        <source>---&gt; ERREUR: Fichier compressé absent ! Soit il a été effacé, soit il n&apos;a pas pu être sauvegardé &lt;---</source>
        <translation>---&gt; ERROR: Compressed file missing! Either it was deleted or it could not be backed up &lt;---</translation>
    </message>
    <message>
        <source>ATTENTION vous allez modifier le dossier où sont stockées les sauvegardes,<byte value="xd"/>
toutes les anciennes sauvegardes éventuelles, ainsi que la liste des répertoires à sauvegarder ne seront plus visibles par varnoket !<byte value="xd"/>
Même si les données ne sont pas effacées, vous ne pourrez donc plus les restaurer à moins de revenir à la configuration actuelle <byte value="xd"/>
ou de déplacer tous les fichiers de l&apos;ancien répertoire de sauvegarde vers le nouveau ... <byte value="xd"/>
Confirmez-vous ?</source>
        <translation>WARNING: you are about to change the folder where the backups are stored,<byte value="xd"/>
all earlier backups, as well as the list of folders to back up, will no longer be visible to varnoket!<byte value="xd"/>
Even though the data is not deleted, you will not be able to restore it unless you return to the current configuration <byte value="xd"/>
or move all the files from the old backup folder to the new one... <byte value="xd"/>
Do you confirm?</translation>
    </message>
    <message>
        <source>Veuillez saisir une chaîne de caractères avant de valider !</source>
        <translation>Please type some text before confirming!</translation>
    </message>
    <message>
        <source>Le fichier ini (%s) n&apos;a pas pu être créé !<byte value="xd"/>
Vérifiez vos droits d&apos;accès au répertoire (%s)</source>
        <translation>The settings file (%s) could not be created!<byte value="xd"/>
Check your access rights to the folder (%s)</translation>
    </message>
    <message>
        <source>Impossible de créer le répertoire temporaire (%s).</source>
        <translation>Cannot create the temporary folder (%s).</translation>
    </message>
    <message>
        <source>Impossible de télécharger (%s). Mise à jour interrompue !</source>
        <translation>Cannot download (%s). Update stopped!</translation>
    </message>
    <message>
        <source>Le premier fichier de la mise à jour téléchargé n&apos;est pas un exécutable. Mise à jour interrompue !</source>
        <translation>The first downloaded file of the update is not a program. Update stopped!</translation>
    </message>
    <message>
        <source>La signature de la mise à jour téléchargée est incorrecte. Mise à jour interrompue !</source>
        <translation>The signature of the downloaded update is incorrect. Update stopped!</translation>
    </message>
    <message>
        <source>Impossible de lancer la mise à jour téléchargée (%s). Mise à jour interrompue !</source>
        <translation>Cannot start the downloaded update (%s). Update stopped!</translation>
    </message>
    <message>
        <source>Le dossier des sauvegardes (%s) n&apos;existe plus (disque débranché, dossier renommé ou supprimé) : rien n&apos;a été enregistré. Rebranchez le disque ou choisissez un autre dossier.</source>
        <translation>The backup folder (%s) no longer exists (disk unplugged, folder renamed or deleted): nothing was saved. Plug the disk back in or choose another folder.</translation>
    </message>
    <message>
        <source>Le nombre de jours de sauvegardes doit être un nombre entre 2 et 120 !</source>
        <translation>The number of backup days must be a number between 2 and 120!</translation>
    </message>
    <message>
        <source>L&apos;heure préférée de sauvegarde doit être un nombre entre 0 et 23 !</source>
        <translation>The preferred backup hour must be a number between 0 and 23!</translation>
    </message>
    <message>
        <source>La minute préférée de sauvegarde doit être un nombre entre 0 et 59 !</source>
        <translation>The preferred backup minute must be a number between 0 and 59!</translation>
    </message>
    <message>
        <source>Le dossier de destination (%s) n&apos;est pas un dossier : rien n&apos;est restauré. Choisissez un dossier.</source>
        <translation>The destination folder (%s) is not a folder: nothing is restored. Choose a folder.</translation>
    </message>
    <message>
        <source>Deux éléments cochés iraient au même endroit (%s) : rien n&apos;est restauré. Restaurez-les en plusieurs fois.</source>
        <translation>Two ticked items would go to the same place (%s): nothing is restored. Restore them one at a time.</translation>
    </message>
    <message>
        <source>ATTENTION : vous allez effectuer une restauration.<byte value="xd"/>
Confirmez-vous ?</source>
        <translation>WARNING: you are about to restore files.<byte value="xd"/>
Do you confirm?</translation>
    </message>
    <message>
        <source>Impossible de verrouiller le fichier %s : %s</source>
        <translation>Cannot lock the file %s: %s</translation>
    </message>
    <message>
        <source>verrou refusé</source>
        <translation>lock refused</translation>
    </message>
    <message>
        <source>Impossible de lire le fichier %s : %s</source>
        <translation>Cannot read the file %s: %s</translation>
    </message>
    <message>
        <source>erreur de lecture</source>
        <translation>read error</translation>
    </message>
    <message>
        <source>Impossible de mettre de côté le fichier illisible %s : %s</source>
        <translation>Cannot set aside the unreadable file %s: %s</translation>
    </message>
    <message>
        <source>Impossible d&apos;écrire le fichier %s : %s</source>
        <translation>Cannot write the file %s: %s</translation>
    </message>
    <message>
        <source>Erreur de lecture du flux</source>
        <translation>Stream read error</translation>
    </message>
    <message>
        <source>Erreur d&apos;écriture du flux</source>
        <translation>Stream write error</translation>
    </message>
    <message>
        <source>Impossible d&apos;ouvrir le fichier %s : %s</source>
        <translation>Cannot open the file %s: %s</translation>
    </message>
    <message>
        <source>Erreur de lecture du fichier %s : %s</source>
        <translation>Error reading the file %s: %s</translation>
    </message>
    <message>
        <source>Erreur d&apos;écriture dans le fichier %s : %s</source>
        <translation>Error writing to the file %s: %s</translation>
    </message>
    <message>
        <source>Erreur de positionnement dans le fichier %s : %s</source>
        <translation>Seek error in the file %s: %s</translation>
    </message>
    <message>
        <source>Impossible de lire la taille du fichier %s : %s</source>
        <translation>Cannot read the size of the file %s: %s</translation>
    </message>
    <message>
        <source>Erreur d&apos;écriture sur le disque du fichier %s : %s</source>
        <translation>Error writing the file %s to the disk: %s</translation>
    </message>
    <message>
        <source>Erreur à la fermeture du fichier %s : %s</source>
        <translation>Error closing the file %s: %s</translation>
    </message>
    <message>
        <source>Erreur de positionnement dans le flux</source>
        <translation>Stream seek error</translation>
    </message>
    <message>
        <source>ERREUR: accès refusé au fichier (%s) : il n&apos;est pas sauvegardé.</source>
        <translation>ERROR: access denied to the file (%s): it is not backed up.</translation>
    </message>
    <message>
        <source>ERREUR: impossible de lire le fichier (%s) : %s. Il n&apos;est pas sauvegardé.</source>
        <translation>ERROR: cannot read the file (%s): %s. It is not backed up.</translation>
    </message>
    <message>
        <source>Fusion des jours les plus anciens reportée : une restauration ou une vérification lit la sauvegarde.</source>
        <translation>Merge of the oldest days postponed: a restore or a check is reading the backup.</translation>
    </message>
    <message>
        <source>Fusion des jours les plus anciens reportée : impossible de verrouiller la sauvegarde contre les lectures (%s).</source>
        <translation>Merge of the oldest days postponed: cannot lock the backup against readers (%s).</translation>
    </message>
    <message>
        <source>ATTENTION: Le dossier à sauvegarder (%s) n&apos;est plus sur le même disque qu&apos;à la sauvegarde précédente (disque non monté ou partage non connecté ?) : ce que la sauvegarde précédente y avait trouvé est gardé. Retirez-le de la liste pour ne plus le sauvegarder.</source>
        <translation>WARNING: The folder to back up (%s) is no longer on the same disk as at the previous backup (disk not mounted or share not connected?): what the previous backup found there is kept. Remove it from the list to stop backing it up.</translation>
    </message>
    <message>
        <source>ATTENTION: Le dossier à sauvegarder (%s) est vide (disque non monté ou partage non connecté ?) : ce que la sauvegarde précédente y avait trouvé est gardé. Retirez-le de la liste pour ne plus le sauvegarder.</source>
        <translation>WARNING: The folder to back up (%s) is empty (disk not mounted or share not connected?): what the previous backup found there is kept. Remove it from the list to stop backing it up.</translation>
    </message>
    <message>
        <source>Le répertoire (%s) est un cache (%s) : il n&apos;est pas sauvegardé.</source>
        <translation>The folder (%s) is a cache (%s): it is not backed up.</translation>
    </message>
    <message>
        <source>Le fichier (%s) fait %s octets, plus que la limite de %s Mo : il n&apos;est pas sauvegardé.</source>
        <translation>The file (%s) is %s bytes, more than the limit of %s MB: it is not backed up.</translation>
    </message>
    <message>
        <source>Sauvegarde terminée avec %s élément(s) non sauvegardé(s) : voir les lignes ERREUR et ATTENTION de ce journal.</source>
        <translation>Backup finished with %s item(s) not backed up: see the ERROR and WARNING lines of this log.</translation>
    </message>
    <message>
        <source>Préparation de la sauvegarde ...</source>
        <translation>Preparing the backup ...</translation>
    </message>
    <message>
        <source>La préparation de la sauvegarde a échoué. Sauvegarde interrompue.</source>
        <translation>Preparing the backup failed. Backup stopped.</translation>
    </message>
    <message>
        <source>Aucune modification n&apos;a été détectée.</source>
        <translation>No change was found.</translation>
    </message>
    <message>
        <source>Début de la sauvegarde ...</source>
        <translation>Start of the backup ...</translation>
    </message>
    <message>
        <source>Le disque de sauvegarde (%s) a été retiré pendant la sauvegarde. Sauvegarde interrompue.</source>
        <translation>The backup disk (%s) was removed during the backup. Backup stopped.</translation>
    </message>
    <message>
        <source>Copies absentes ou endommagées stockées à nouveau : %s fichier(s).</source>
        <translation>Missing or damaged copies stored again: %s file(s).</translation>
    </message>
    <message>
        <source>Sauvegarde terminée sur le poste %s Total Bytes=%s Total Fichiers distincts=%s (hors répertoires vides)</source>
        <translation>Backup finished on station %s Total bytes=%s Total distinct files=%s (empty folders excluded)</translation>
    </message>
    <message>
        <source>Vérification : %s copie(s) relue(s) et décodée(s) sans erreur.</source>
        <translation>Check: %s copy(ies) read back and decoded without error.</translation>
    </message>
    <message>
        <source>Vérification : %s copie(s) relue(s) et décodée(s) sans erreur, %s copie(s) refusée(s).</source>
        <translation>Check: %s copy(ies) read back and decoded without error, %s copy(ies) refused.</translation>
    </message>
    <message>
        <source>Le dossier de sauvegarde (%s) porte désormais son marqueur (%s).</source>
        <translation>The backup folder (%s) now carries its marker (%s).</translation>
    </message>
    <message>
        <source>Nettoyage d&apos;une sauvegarde interrompue : %s fichier(s) temporaire(s) et %s dossier(s) sans liste de fichiers supprimés.</source>
        <translation>Cleanup of an interrupted backup: %s temporary file(s) and %s folder(s) without a file list deleted.</translation>
    </message>
    <message>
        <source>Sauvegarde interrompue : le programme se termine.</source>
        <translation>Backup stopped: the program is ending.</translation>
    </message>
    <message>
        <source>Fin de la sauvegarde !</source>
        <translation>End of the backup!</translation>
    </message>
    <message>
        <source>Reprise d&apos;une sauvegarde interrompue : %s copie(s) déjà faite(s) reprise(s) sans nouvelle compression.</source>
        <translation>Resuming an interrupted backup: %s copy(ies) already made taken over without compressing again.</translation>
    </message>
    <message>
        <source>ATTENTION: Le chemin du fichier compressé dépasse %s caractères (%s). Fichier non sauvegardé !</source>
        <translation>WARNING: The path of the compressed file is longer than %s characters (%s). File not backed up!</translation>
    </message>
    <message>
        <source>ATTENTION: le fichier (%s) a changé pendant chacune de ses %s lectures : il n&apos;est pas sauvegardé (sa version précédente, s&apos;il en a une, est gardée).</source>
        <translation>WARNING: the file (%s) changed during each of its %s reads: it is not backed up (its previous version, if it has one, is kept).</translation>
    </message>
    <message>
        <source>ERREUR: la copie compressée de (%s) relue après écriture ne redonne pas le fichier. Elle n&apos;est pas gardée ; le fichier sera sauvegardé de nouveau.</source>
        <translation>ERROR: the compressed copy of (%s) read back after writing does not give the file back. It is not kept; the file will be backed up again.</translation>
    </message>
    <message>
        <source>ERREUR: impossible de lire la liste de fichiers (%s)</source>
        <translation>ERROR: cannot read the file list (%s)</translation>
    </message>
    <message>
        <source>ATTENTION: Le nom (%s) contient un caractère qu&apos;une liste de fichiers ne peut pas contenir (|, retour chariot, saut de ligne ou autre caractère de contrôle). Non sauvegardé !</source>
        <translation>WARNING: The name (%s) holds a character a file list cannot hold (|, carriage return, line feed or another control character). Not backed up!</translation>
    </message>
    <message>
        <source>ATTENTION: Le répertoire (%s) contient les sauvegardes : il n&apos;est pas sauvegardé.</source>
        <translation>WARNING: The folder (%s) holds the backups: it is not backed up.</translation>
    </message>
    <message>
        <source>ATTENTION: Le répertoire (%s) a déjà été parcouru par un autre chemin (boucle ou montage) : il n&apos;est pas sauvegardé une seconde fois.</source>
        <translation>WARNING: The folder (%s) was already walked through another path (loop or mount): it is not backed up a second time.</translation>
    </message>
    <message>
        <source>Le lien symbolique (%s) mène à un répertoire : il n&apos;est pas suivi.</source>
        <translation>The symbolic link (%s) leads to a folder: it is not followed.</translation>
    </message>
    <message>
        <source>Le répertoire (%s) est un cache du bureau : il n&apos;est pas sauvegardé.</source>
        <translation>The folder (%s) is a desktop cache: it is not backed up.</translation>
    </message>
    <message>
        <source>Le dossier caché (%s) n&apos;est pas sauvegardé : le jeu de sauvegarde laisse de côté les dossiers cachés.</source>
        <translation>The hidden folder (%s) is not backed up: the backup set leaves hidden folders out.</translation>
    </message>
    <message>
        <source>ATTENTION: Le lien symbolique (%s) ne mène à aucun fichier (cassé ou en boucle) : il n&apos;est pas sauvegardé.</source>
        <translation>WARNING: The symbolic link (%s) leads to no file (broken or looping): it is not backed up.</translation>
    </message>
    <message>
        <source>ATTENTION: (%s) est un tube, une socket ou un périphérique : il n&apos;est pas sauvegardé.</source>
        <translation>WARNING: (%s) is a pipe, a socket or a device: it is not backed up.</translation>
    </message>
    <message>
        <source>Impossible d&apos;écrire le fichier (%s) : %s. Aucune sauvegarde n&apos;est faite.</source>
        <translation>Cannot write the file (%s): %s. No backup is made.</translation>
    </message>
    <message>
        <source>Impossible de lire le fichier (%s) : %s. Aucune sauvegarde n&apos;est faite.</source>
        <translation>Cannot read the file (%s): %s. No backup is made.</translation>
    </message>
    <message>
        <source>Le fichier (%s) ne désigne aucune machine. Aucune sauvegarde n&apos;est faite.<byte value="xd"/>
Si ce dossier est bien celui de cette machine, supprimez ce fichier.</source>
        <translation>The file (%s) names no machine. No backup is made.<byte value="xd"/>
If this folder really is this machine&apos;s, delete this file.</translation>
    </message>
    <message>
        <source>Le dossier de sauvegarde (%s) appartient à une autre machine (%s) qui porte le même nom de poste. Aucune sauvegarde n&apos;est faite, pour ne pas mélanger les fichiers des deux machines.<byte value="xd"/>
Donnez un autre nom réseau à cette machine ou, si elle remplace l&apos;ancienne, supprimez le fichier (%s).</source>
        <translation>The backup folder (%s) belongs to another machine (%s) that has the same station name. No backup is made, so as not to mix the two machines&apos; files.<byte value="xd"/>
Give this machine another network name or, if it replaces the old one, delete the file (%s).</translation>
    </message>
    <message>
        <source>%s répertoire(s) de cache (%s)</source>
        <translation>%s cache folder(s) (%s)</translation>
    </message>
    <message>
        <source>%s répertoire(s) de cache du bureau (.cache, vignettes, corbeille)</source>
        <translation>%s desktop cache folder(s) (.cache, thumbnails, trash)</translation>
    </message>
    <message>
        <source>%s fichier(s) de plus de %s</source>
        <translation>%s file(s) larger than %s</translation>
    </message>
    <message>
        <source>%s Mo (%s octets)</source>
        <translation>%s MB (%s bytes)</translation>
    </message>
    <message>
        <source>%s dossier(s) caché(s) (réglage du jeu de sauvegarde)</source>
        <translation>%s hidden folder(s) (backup set setting)</translation>
    </message>
    <message>
        <source>%s lien(s) vers un répertoire, non suivi(s)</source>
        <translation>%s link(s) to a folder, not followed</translation>
    </message>
    <message>
        <source>%s fichier(s) illisible(s)</source>
        <translation>%s unreadable file(s)</translation>
    </message>
    <message>
        <source>%s répertoire(s) illisible(s)</source>
        <translation>%s unreadable folder(s)</translation>
    </message>
    <message>
        <source>%s nom(s) qu&apos;une liste ne peut pas contenir</source>
        <translation>%s name(s) a list cannot hold</translation>
    </message>
    <message>
        <source>%s nom(s) ou chemin(s) trop long(s)</source>
        <translation>%s name(s) or path(s) too long</translation>
    </message>
    <message>
        <source>%s lien(s) symbolique(s) cassé(s) ou en boucle</source>
        <translation>%s broken or looping symbolic link(s)</translation>
    </message>
    <message>
        <source>%s fichier(s) spéciaux (tube, socket, périphérique)</source>
        <translation>%s special file(s) (pipe, socket, device)</translation>
    </message>
    <message>
        <source>%s fichier(s) modifié(s) pendant leur lecture</source>
        <translation>%s file(s) changed while being read</translation>
    </message>
    <message>
        <source>%s dossier(s) à sauvegarder vide(s) ou sur un autre disque</source>
        <translation>%s folder(s) to back up empty or on another disk</translation>
    </message>
    <message>
        <source>Laissés de côté :.</source>
        <translation>Left out:.</translation>
    </message>
    <message>
        <source>Laissés de côté : %s.</source>
        <translation>Left out: %s.</translation>
    </message>
    <message>
        <source>Espace insuffisant sur le disque de sauvegarde (%s) : jusqu&apos;à %s à écrire pour %s libres, il manque %s. Sauvegarde non commencée : réduisez le nombre de journées mémorisées (%s actuellement) ou libérez de la place sur ce disque.</source>
        <translation>Not enough space on the backup disk (%s): up to %s to write for %s free, %s missing. Backup not started: lower the number of days kept (%s now) or free some space on this disk.</translation>
    </message>
    <message>
        <source>le programme tourne déjà et fait une sauvegarde ; sa fenêtre s&apos;ouvrira à la fin de celle-ci.</source>
        <translation>the program is already running and making a backup; its window will open when the backup ends.</translation>
    </message>
    <message>
        <source>le programme tourne déjà pour cet utilisateur mais ne répond pas ; rien n&apos;est ouvert.</source>
        <translation>the program is already running for this user but does not answer; nothing is opened.</translation>
    </message>
    <message>
        <source>aucun affichage (DISPLAY) n&apos;est disponible ; le programme a besoin d&apos;un bureau.
Sans bureau, utilisez varnoket-cli (backup, days, restore, verify).</source>
        <translation>no display (DISPLAY) is available; the program needs a desktop.
Without a desktop, use varnoket-cli (backup, days, restore, verify).</translation>
    </message>
    <message>
        <source>détenteur inconnu</source>
        <translation>unknown holder</translation>
    </message>
    <message>
        <source>machine %s (%s), processus %s, depuis le %s</source>
        <translation>machine %s (%s), process %s, since %s</translation>
    </message>
    <message>
        <source>le nom du canal (%s) est trop long</source>
        <translation>the socket name (%s) is too long</translation>
    </message>
    <message>
        <source>(%s) existe et n&apos;est pas un canal</source>
        <translation>(%s) exists and is not a socket</translation>
    </message>
    <message>
        <source>impossible d&apos;écouter sur (%s) : %s</source>
        <translation>cannot listen on (%s): %s</translation>
    </message>
    <message>
        <source>Impossible de fixer la taille du fichier %s : %s</source>
        <translation>Cannot set the size of the file %s: %s</translation>
    </message>
    <message>
        <source>La sauvegarde du %s est faite : aucun fichier n&apos;avait changé.</source>
        <translation>The backup of %s is done: no file had changed.</translation>
    </message>
    <message>
        <source>La sauvegarde du %s est faite.</source>
        <translation>The backup of %s is done.</translation>
    </message>
    <message>
        <source>La sauvegarde a été arrêtée avant sa fin. Les copies déjà faites seront reprises par la prochaine sauvegarde, demain à l&apos;heure prévue ou dès que vous cliquerez sur « Sauvegarder Maintenant ».</source>
        <translation>The backup was stopped before its end. The copies already made will be taken up by the next backup, tomorrow at the set time or as soon as you click “Back Up Now”.</translation>
    </message>
    <message>
        <source>Sauvegarde terminée</source>
        <translation>Backup finished</translation>
    </message>
    <message>
        <source>Sauvegarde arrêtée</source>
        <translation>Backup stopped</translation>
    </message>
    <message>
        <source>Prochaine sauvegarde : aujourd&apos;hui à %s</source>
        <translation>Next backup: today at %s</translation>
    </message>
    <message>
        <source>Prochaine sauvegarde : demain à %s</source>
        <translation>Next backup: tomorrow at %s</translation>
    </message>
    <message>
        <source>Prochaine sauvegarde : à la prochaine vérification (toutes les 10 minutes)</source>
        <translation>Next backup: at the next check (every 10 minutes)</translation>
    </message>
    <message>
        <source>Espace libre sur le disque des sauvegardes : %s</source>
        <translation>Free space on the backup disk: %s</translation>
    </message>
    <message>
        <source>Espace libre sur le disque des sauvegardes : inconnu</source>
        <translation>Free space on the backup disk: unknown</translation>
    </message>
    <message>
        <source>Fichier %s sur %s : %s sur %s</source>
        <translation>File %s of %s: %s of %s</translation>
    </message>
    <message>
        <source>Sauvegarde en cours : %s %</source>
        <translation>Backup under way: %s %</translation>
    </message>
    <message>
        <source>arrêtée le %s à la demande de l&apos;utilisateur</source>
        <translation>stopped on %s at the user&apos;s request</translation>
    </message>
    <message>
        <source>%s fichier(s) exclu(s) par les filtres (%s)</source>
        <translation>%s file(s) excluded by the filters (%s)</translation>
    </message>
    <message>
        <source>en cours</source>
        <translation>under way</translation>
    </message>
    <message>
        <source>%s : copie endommagée (%s, bloc %s à l&apos;octet %s) pour %s</source>
        <translation>%s: damaged copy (%s, block %s at byte %s) for %s</translation>
    </message>
    <message>
        <source>Commande avant la sauvegarde : %s (au plus %s minute(s))</source>
        <translation>Command before the backup: %s (at most %s minute(s))</translation>
    </message>
    <message>
        <source>Commande après la sauvegarde : %s (au plus %s minute(s))</source>
        <translation>Command after the backup: %s (at most %s minute(s))</translation>
    </message>
    <message>
        <source>(aucune)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>Le temps d&apos;une commande doit être un nombre de minutes entre 1 et 1440 !</source>
        <translation>The time of a command must be a number of minutes between 1 and 1440!</translation>
    </message>
    <message>
        <source>Une commande tient sur une seule ligne.</source>
        <translation>A command fits on one line.</translation>
    </message>
    <message>
        <source>Commande avant la sauvegarde : %s</source>
        <translation>Command before the backup: %s</translation>
    </message>
    <message>
        <source>[avant] ... et %s ligne(s) de plus, non journalisées.</source>
        <translation>[before] ... and %s more line(s), not logged.</translation>
    </message>
    <message>
        <source>La commande avant la sauvegarde a fini sans erreur.</source>
        <translation>The command before the backup ended without error.</translation>
    </message>
    <message>
        <source>ERREUR: la commande avant la sauvegarde a échoué (code %s) : la sauvegarde n&apos;a pas lieu.</source>
        <translation>ERROR: the command before the backup failed (code %s): no backup is made.</translation>
    </message>
    <message>
        <source>ERREUR: la commande avant la sauvegarde n&apos;est pas exécutable (code 126) : la sauvegarde n&apos;a pas lieu.</source>
        <translation>ERROR: the command before the backup is not executable (code 126): no backup is made.</translation>
    </message>
    <message>
        <source>ERREUR: la commande avant la sauvegarde est introuvable (code 127) : la sauvegarde n&apos;a pas lieu.</source>
        <translation>ERROR: the command before the backup was not found (code 127): no backup is made.</translation>
    </message>
    <message>
        <source>ERREUR: la commande avant la sauvegarde n&apos;avait pas fini après %s minute(s) : elle a été arrêtée et la sauvegarde n&apos;a pas lieu.</source>
        <translation>ERROR: the command before the backup had not ended after %s minute(s): it was stopped and no backup is made.</translation>
    </message>
    <message>
        <source>ERREUR: la commande avant la sauvegarde a été arrêtée par le signal %s : la sauvegarde n&apos;a pas lieu.</source>
        <translation>ERROR: the command before the backup was ended by signal %s: no backup is made.</translation>
    </message>
    <message>
        <source>ERREUR: la commande avant la sauvegarde n&apos;a pas pu être lancée (%s) : la sauvegarde n&apos;a pas lieu.</source>
        <translation>ERROR: the command before the backup could not be started (%s): no backup is made.</translation>
    </message>
    <message>
        <source>La commande avant la sauvegarde a été arrêtée.</source>
        <translation>The command before the backup was stopped.</translation>
    </message>
    <message>
        <source>Commande après la sauvegarde : %s</source>
        <translation>Command after the backup: %s</translation>
    </message>
    <message>
        <source>[après] ... et %s ligne(s) de plus, non journalisées.</source>
        <translation>[after] ... and %s more line(s), not logged.</translation>
    </message>
    <message>
        <source>La commande après la sauvegarde a fini sans erreur.</source>
        <translation>The command after the backup ended without error.</translation>
    </message>
    <message>
        <source>ERREUR: la commande après la sauvegarde a échoué (code %s).</source>
        <translation>ERROR: the command after the backup failed (code %s).</translation>
    </message>
    <message>
        <source>ERREUR: la commande après la sauvegarde n&apos;est pas exécutable (code 126).</source>
        <translation>ERROR: the command after the backup is not executable (code 126).</translation>
    </message>
    <message>
        <source>ERREUR: la commande après la sauvegarde est introuvable (code 127).</source>
        <translation>ERROR: the command after the backup was not found (code 127).</translation>
    </message>
    <message>
        <source>ERREUR: la commande après la sauvegarde n&apos;avait pas fini après %s minute(s) : elle a été arrêtée.</source>
        <translation>ERROR: the command after the backup had not ended after %s minute(s): it was stopped.</translation>
    </message>
    <message>
        <source>ERREUR: la commande après la sauvegarde a été arrêtée par le signal %s.</source>
        <translation>ERROR: the command after the backup was ended by signal %s.</translation>
    </message>
    <message>
        <source>ERREUR: la commande après la sauvegarde n&apos;a pas pu être lancée (%s).</source>
        <translation>ERROR: the command after the backup could not be started (%s).</translation>
    </message>
    <message>
        <source>ERREUR: la commande après la sauvegarde a été arrêtée.</source>
        <translation>ERROR: the command after the backup was stopped.</translation>
    </message>
    <message>
        <source>Aucune ancienne copie à vérifier.</source>
        <translation>No old copy to check.</translation>
    </message>
    <message>
        <source>Anciennes copies : toutes relues lors de la passe du %s au %s</source>
        <translation>Old copies: all read back in the pass from %s to %s</translation>
    </message>
    <message>
        <source>Anciennes copies : première passe de relecture en cours depuis le %s</source>
        <translation>Old copies: first read-back pass under way since %s</translation>
    </message>
    <message>
        <source>Anciennes copies : aucune relue jusqu&apos;ici</source>
        <translation>Old copies: none read back so far</translation>
    </message>
    <message>
        <source>Anciennes copies : pas de relecture tournante (VERIF_JOURS=0)</source>
        <translation>Old copies: no read-back in rotation (VERIF_JOURS=0)</translation>
    </message>
    <message>
        <source>Vérification des anciennes copies : la liste (%s) est illisible.</source>
        <translation>Check of old copies: the list (%s) cannot be read.</translation>
    </message>
    <message>
        <source>Vérification des anciennes copies : copie illisible (%s) pour %s.</source>
        <translation>Check of old copies: unreadable copy (%s) for %s.</translation>
    </message>
    <message>
        <source>Vérification des anciennes copies : copie endommagée (%s) pour %s. La prochaine sauvegarde stockera à nouveau ce fichier s&apos;il n&apos;a pas changé ; sinon, ces journées ne le restaurent plus : %s.</source>
        <translation>Check of old copies: damaged copy (%s) for %s. The next backup stores this file again if it has not changed; otherwise these days no longer restore it: %s.</translation>
    </message>
    <message>
        <source>Vérification des anciennes copies...</source>
        <translation>Checking old copies...</translation>
    </message>
    <message>
        <source>Vérification des anciennes copies : %s copie(s) relue(s), %s endommagée(s), %s illisible(s).</source>
        <translation>Check of old copies: %s copy(ies) read back, %s damaged, %s unreadable.</translation>
    </message>
    <message>
        <source>Toutes les anciennes copies ont été relues depuis le %s.</source>
        <translation>Every old copy has been read back since %s.</translation>
    </message>
    <message>
        <source>ERREUR: la vérification des anciennes copies a trouvé %s copie(s) endommagée(s) : voir le journal.</source>
        <translation>ERROR: the check of old copies found %s damaged copy(ies): see the log.</translation>
    </message>
    <message>
        <source>Dossier des sauvegardes sur un partage réseau : permis (avec son verrou)</source>
        <translation>Backup folder on a network share: allowed (with its lock)</translation>
    </message>
    <message>
        <source>network-store prend on (permettre un partage réseau) ou off.</source>
        <translation>network-store takes on (allow a network share) or off.</translation>
    </message>
    <message>
        <source>Le partage réseau des sauvegardes (%s) ne permet pas de verrou : aucune sauvegarde n&apos;est faite, pour que deux machines n&apos;y écrivent jamais en même temps. Montez-le avec la prise en charge des verrous (NFS version 4, ou SMB sans l&apos;option nolock).</source>
        <translation>The network share of the backups (%s) takes no lock: no backup is made, so that two machines never write there at once. Mount it with lock support (NFS version 4, or SMB without the nolock option).</translation>
    </message>
    <message>
        <source>Disque de sauvegarde à brancher</source>
        <translation>Backup disk to plug in</translation>
    </message>
    <message>
        <source>Disque %s : jamais sauvegardé</source>
        <translation>Disk %s: never backed up</translation>
    </message>
    <message>
        <source>Disque %s : sauvegardé aujourd&apos;hui</source>
        <translation>Disk %s: backed up today</translation>
    </message>
    <message>
        <source>Disque %s : sauvegardé il y a %s jour</source>
        <translation>Disk %s: backed up %s day ago</translation>
    </message>
    <message>
        <source>Disque %s : sauvegardé il y a %s jours</source>
        <translation>Disk %s: backed up %s days ago</translation>
    </message>
    <message>
        <source>Disque %s (%s) : branché</source>
        <translation>Disk %s (%s): plugged in</translation>
    </message>
    <message>
        <source>Disque %s (%s) : absent</source>
        <translation>Disk %s (%s): absent</translation>
    </message>
    <message>
        <source>Rappel : le disque %s n&apos;a encore reçu aucune sauvegarde ; branchez-le.</source>
        <translation>Reminder: disk %s has not received any backup yet; plug it in.</translation>
    </message>
    <message>
        <source>Rappel : le disque %s n&apos;a reçu aucune sauvegarde depuis %s jours ; branchez-le.</source>
        <translation>Reminder: disk %s has received no backup for %s days; plug it in.</translation>
    </message>
    <message>
        <source>Disque de sauvegarde suivant, %s : %s</source>
        <translation>Next backup disk, %s: %s</translation>
    </message>
    <message>
        <source>Disque de sauvegarde lu : %s (%s)</source>
        <translation>Backup disk read: %s (%s)</translation>
    </message>
    <message>
        <source>Aucun dossier des sauvegardes n&apos;est configuré : choisissez d&apos;abord le premier avec « varnoket-cli config store DIR ».</source>
        <translation>No backup folder is configured: first choose the first one with “varnoket-cli config store DIR”.</translation>
    </message>
    <message>
        <source>La liste compte déjà %s disques de sauvegarde, le plus permis.</source>
        <translation>The list already holds %s backup disks, the most allowed.</translation>
    </message>
    <message>
        <source>Un disque de sauvegarde s&apos;appelle déjà %s.</source>
        <translation>A backup disk is already called %s.</translation>
    </message>
    <message>
        <source>Un nom de disque de sauvegarde a de 1 à 20 lettres, chiffres, - ou _ (pas %s).</source>
        <translation>A backup disk&apos;s name has 1 to 20 letters, digits, - or _ (not %s).</translation>
    </message>
    <message>
        <source>Le dossier (%s) et le disque de sauvegarde %s (%s) sont l&apos;un dans l&apos;autre : une sauvegarde sauvegarderait l&apos;autre. Choisissez un dossier à part.</source>
        <translation>The folder (%s) and backup disk %s (%s) lie one inside the other: one backup would back up the other. Choose a separate folder.</translation>
    </message>
    <message>
        <source>Le dossier (%s) porte le marqueur du disque de sauvegarde %s : c&apos;est ce disque, ou une copie de son image. Pour en faire un disque à part, retirez son fichier VARNOKET.STORE puis ajoutez-le à nouveau.</source>
        <translation>The folder (%s) carries the marker of backup disk %s: it is that disk, or a copy of its image. To make it a disk of its own, remove its VARNOKET.STORE file and add it again.</translation>
    </message>
    <message>
        <source>Le disque de sauvegarde %s est le seul de la liste : changez-le avec « varnoket-cli config store DIR ».</source>
        <translation>Backup disk %s is the only one in the list: change it with “varnoket-cli config store DIR”.</translation>
    </message>
    <message>
        <source>Aucun disque de sauvegarde ne s&apos;appelle %s.</source>
        <translation>No backup disk is called %s.</translation>
    </message>
    <message>
        <source>Le disque de sauvegarde %s n&apos;est plus dans la liste ; ses sauvegardes restent sur le disque.</source>
        <translation>Backup disk %s is no longer in the list; its backups stay on the disk.</translation>
    </message>
    <message>
        <source>Disque de sauvegarde %s : %s</source>
        <translation>Backup disk %s: %s</translation>
    </message>
    <message>
        <source>Disque de sauvegarde %s absent (%s) : il sera sauvegardé quand il reviendra.</source>
        <translation>Backup disk %s absent (%s): it will be backed up when it comes back.</translation>
    </message>
    <message>
        <source>Le dossier à sauvegarder (%s) contient le disque de sauvegarde %s (%s) : ce disque n&apos;est pas écrit. Retirez-le de la liste des disques ou ce dossier de l&apos;ensemble à sauvegarder.</source>
        <translation>The folder to back up (%s) holds backup disk %s (%s): this disk is not written. Take it off the list of disks, or this folder out of the backup set.</translation>
    </message>
    <message>
        <source>L&apos;ensemble à sauvegarder n&apos;a pas pu être écrit sur le disque de sauvegarde %s (%s) : %s. Ce disque n&apos;est pas écrit.</source>
        <translation>The backup set could not be written on backup disk %s (%s): %s. This disk is not written.</translation>
    </message>
    <message>
        <source>Les réglages du poste n&apos;ont pu être ni lus ni créés sur le disque de sauvegarde %s (%s) : ce disque n&apos;est pas écrit.</source>
        <translation>The station settings could neither be read nor created on backup disk %s (%s): this disk is not written.</translation>
    </message>
    <message>
        <source>Sauvegarde sur le disque %s (%s) :</source>
        <translation>Backup on disk %s (%s):</translation>
    </message>
    <message>
        <source>L&apos;ensemble à sauvegarder gardé sur ce poste, plus récent que celui du disque, est désormais celui de tous les disques.</source>
        <translation>The backup set kept on this station, newer than the disk&apos;s, is now every disk&apos;s.</translation>
    </message>
    <message>
        <source>L&apos;ensemble à sauvegarder modifié en dernier, celui du disque %s, est désormais celui de tous les disques.</source>
        <translation>The backup set edited last, disk %s&apos;s, is now every disk&apos;s.</translation>
    </message>
    <message>
        <source>Disque %s (%s) : sauvegarde non lancée</source>
        <translation>Disk %s (%s): backup not started</translation>
    </message>
    <message>
        <source>Disque %s (%s) : sauvegarde terminée</source>
        <translation>Disk %s (%s): backup complete</translation>
    </message>
    <message>
        <source>Disque %s (%s) : aucune modification depuis sa dernière sauvegarde</source>
        <translation>Disk %s (%s): no change since its last backup</translation>
    </message>
    <message>
        <source>Disque %s (%s) : sauvegarde terminée avec des éléments non sauvegardés</source>
        <translation>Disk %s (%s): backup complete with entries not saved</translation>
    </message>
    <message>
        <source>Disque %s (%s) : absent, rien n&apos;y a été écrit</source>
        <translation>Disk %s (%s): absent, nothing was written there</translation>
    </message>
    <message>
        <source>Disque %s (%s) : sauvegarde interrompue</source>
        <translation>Disk %s (%s): backup stopped</translation>
    </message>
    <message>
        <source>Disque %s (%s) : une autre sauvegarde y travaille</source>
        <translation>Disk %s (%s): another backup is working on it</translation>
    </message>
    <message>
        <source>Disque %s (%s) : ÉCHEC de la sauvegarde</source>
        <translation>Disk %s (%s): backup FAILED</translation>
    </message>
    <message>
        <source>Aucun disque de sauvegarde ne s&apos;appelle %s (%s).</source>
        <translation>No backup disk is called %s (%s).</translation>
    </message>
    <message>
        <source>Le dossier (%s) porte le marqueur d&apos;un autre disque de sauvegarde de la liste : branchez le premier disque, ou retirez celui-ci de la liste avant d&apos;en faire le premier.</source>
        <translation>The folder (%s) carries the marker of another backup disk of the list: plug in the first disk, or take this one off the list before making it the first.</translation>
    </message>
    <message>
        <source>La copie de l&apos;ensemble à sauvegarder gardée sur ce poste n&apos;a pas pu être écrite (%s).</source>
        <translation>This station&apos;s copy of the backup set could not be written (%s).</translation>
    </message>
    <message>
        <source>La sauvegarde du %s est faite, mais :
%s</source>
        <translation>The backup of %s is done, but:
%s</translation>
    </message>
    <message>
        <source>Sauvegarde faite, avec un problème</source>
        <translation>Backup done, with a problem</translation>
    </message>
    <message>
        <source>le disque des sauvegardes ne répond pas</source>
        <translation>the backup disk does not answer</translation>
    </message>
    <message>
        <source>Le disque des sauvegardes ne répond pas : le journal ne peut pas être lu pour le moment.</source>
        <translation>The backup disk does not answer: the log cannot be read for now.</translation>
    </message>
    <message>
        <source>Le disque des sauvegardes ne répond pas : les sauvegardes ne peuvent pas être lues pour le moment.</source>
        <translation>The backup disk does not answer: the backups cannot be read for now.</translation>
    </message>
    <message>
        <source>Le disque des sauvegardes (%s) ne répond pas.</source>
        <translation>The backup disk (%s) does not answer.</translation>
    </message>
    <message>
        <source>Nouvel essai de la sauvegarde à %s.</source>
        <translation>The backup will be tried again at %s.</translation>
    </message>
    <message>
        <source>Le disque des sauvegardes ne répond pas : la liste ne peut pas être modifiée pour le moment.</source>
        <translation>The backup disk does not answer: the list cannot be changed for now.</translation>
    </message>
    <message>
        <source>Le dossier des sauvegardes (%s) ne répond pas : la configuration ne peut pas être enregistrée pour le moment.</source>
        <translation>The backup folder (%s) does not answer: the configuration cannot be saved for now.</translation>
    </message>
    <message>
        <source>ERREUR: impossible d&apos;écrire (%s) sur le disque de sauvegarde : %s. La sauvegarde du jour n&apos;est pas enregistrée.</source>
        <translation>ERROR: cannot write (%s) on the backup disk: %s. Today&apos;s backup is not saved.</translation>
    </message>
    <message>
        <source>ERREUR: impossible de lire le répertoire (%s) : %s ; ce que la sauvegarde précédente y avait trouvé est gardé.</source>
        <translation>ERROR: cannot read the folder (%s): %s; what the previous backup found there is kept.</translation>
    </message>
    <message>
        <source>Le dossier de sauvegarde du poste (%s) est illisible : %s. Aucune sauvegarde n&apos;est faite.</source>
        <translation>The computer&apos;s backup folder (%s) cannot be read: %s. No backup is made.</translation>
    </message>
</context>
<context>
    <name>QtDialogs</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Oui</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Non</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Erreur</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Avertissement</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
</context>
<context>
    <name>varnoket::ConfigurationDialog</name>
    <message>
        <source>Dossier commun qui contiendra les sauvegardes</source>
        <translation>Shared folder that will hold the backups</translation>
    </message>
    <message>
        <source>&amp;Choisir</source>
        <translation>C&amp;hoose</translation>
    </message>
    <message>
        <source>Sélection du dossier de sauvegardes</source>
        <translation>Choose the backup folder</translation>
    </message>
    <message>
        <source>Seul un répertoire local, situé sur un disque dur ou sur un support amovible, peut être choisi comme dossier des sauvegardes.</source>
        <translation>Only a local folder, on a hard disk or on removable media, can be chosen as the backup folder.</translation>
    </message>
    <message>
        <source>Nombre maximum de journées successives mémorisées</source>
        <translation>Maximum number of successive days kept</translation>
    </message>
    <message>
        <source>Heure préférée de sauvegarde quotidienne (0 à 23)</source>
        <translation>Preferred hour of the daily backup (0 to 23)</translation>
    </message>
    <message>
        <source>Minute préférée de sauvegarde quotidienne (0 à 59)</source>
        <translation>Preferred minute of the daily backup (0 to 59)</translation>
    </message>
    <message>
        <source>&amp;Valider et mémoriser</source>
        <translation>&amp;Confirm and save</translation>
    </message>
    <message>
        <source>Mémoriser la configuration</source>
        <translation>Save the configuration</translation>
    </message>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Fermer la fenêtre</source>
        <translation>Close the window</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>Ecran de configuration</source>
        <translation>Configuration screen</translation>
    </message>
    <message>
        <source>Choisissez un répertoire</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>Permettre un dossier des sauvegardes sur un partage réseau (NFS, SMB...), protégé par son verrou</source>
        <translation>Allow a backup folder on a network share (NFS, SMB...), protected by its lock</translation>
    </message>
</context>
<context>
    <name>varnoket::DesktopExistingFilesQuestion</name>
    <message>
        <source>Restauration</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>&amp;Remplacer</source>
        <translation>&amp;Replace</translation>
    </message>
    <message>
        <source>&amp;Garder les deux</source>
        <translation>&amp;Keep both</translation>
    </message>
    <message>
        <source>&amp;Ignorer</source>
        <translation>&amp;Skip</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>varnoket::ErrorWindow</name>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>ERREUR</source>
        <translation>ERROR</translation>
    </message>
    <message>
        <source>Fermer la fenêtre</source>
        <translation>Close the window</translation>
    </message>
</context>
<context>
    <name>varnoket::ExclusionDialog</name>
    <message>
        <source>&amp;Ajouter ce filtre</source>
        <translation>&amp;Add this filter</translation>
    </message>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Fermer la fenêtre</source>
        <translation>Close the window</translation>
    </message>
    <message>
        <source>Ajout d&apos;un filtre d&apos;exclusion</source>
        <translation>Add an exclusion filter</translation>
    </message>
    <message>
        <source>Exemples de filtres :</source>
        <translation>Examples of filters:</translation>
    </message>
    <message>
        <source>monfichier.doc  ou  *.doc  ou  *.?oc</source>
        <translation>myfile.doc  or  *.doc  or  *.?oc</translation>
    </message>
    <message>
        <source>*=n&apos;importe quelle suite de caractères</source>
        <translation>*=any run of characters</translation>
    </message>
    <message>
        <source>?=n&apos;importe quel caractère (un seul)</source>
        <translation>?=any character (just one)</translation>
    </message>
    <message>
        <source>ATTENTION: TOUS les fichiers qui correspondent à au moins un </source>
        <translation>WARNING: ALL the files that match at least one </translation>
    </message>
    <message>
        <source>dans lequel ils se trouvent, et ceci même si vous tapez un nom de </source>
        <translation>they are in, and this even if you type a file name </translation>
    </message>
    <message>
        <source>fichier sans caractères spéciaux. </source>
        <translation>without special characters. </translation>
    </message>
    <message>
        <source>(dans l&apos;exemple &apos;monfichier.doc&apos; TOUS les fichiers qui se nomment</source>
        <translation>(in the example &apos;myfile.doc&apos;, ALL the files named</translation>
    </message>
    <message>
        <source>&apos;monfichier.doc&apos; dans tous les répertoires de sauvegarde seront exclus).</source>
        <translation>&apos;myfile.doc&apos; in all the backed-up folders will be excluded).</translation>
    </message>
    <message>
        <source>Saisissez un filtre de noms de fichiers ci-dessous</source>
        <translation>Type a file name filter below</translation>
    </message>
    <message>
        <source>des filtres saisis ne seront PAS sauvegardés peu importe le répertoire </source>
        <translation>of the filters typed will NOT be backed up, whatever the folder </translation>
    </message>
</context>
<context>
    <name>varnoket::HelpWindow</name>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Aide Varnoket</source>
        <translation>Varnoket Help</translation>
    </message>
    <message>
        <source>Fermer la fenêtre</source>
        <translation>Close the window</translation>
    </message>
</context>
<context>
    <name>varnoket::ListWindow</name>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Fermer la fenêtre</source>
        <translation>Close the window</translation>
    </message>
</context>
<context>
    <name>varnoket::LogViewer</name>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Fichier LOG de la dernière sauvegarde</source>
        <translation>LOG file of the last backup</translation>
    </message>
    <message>
        <source>DATE</source>
        <translation>DATE</translation>
    </message>
    <message>
        <source>MESSAGE</source>
        <translation>MESSAGE</translation>
    </message>
    <message>
        <source>Fermer la fenêtre</source>
        <translation>Close the window</translation>
    </message>
</context>
<context>
    <name>varnoket::MainWindow</name>
    <message>
        <source>Varnoket version %1       Sauvegarde quotidienne de vos fichiers</source>
        <translation>Varnoket version %1       Daily backup of your files</translation>
    </message>
    <message>
        <source>Ecran principal</source>
        <translation>Main screen</translation>
    </message>
    <message>
        <source>&amp;Voir LOG</source>
        <translation>View &amp;Log</translation>
    </message>
    <message>
        <source>&amp;Configurer</source>
        <translation>&amp;Configure</translation>
    </message>
    <message>
        <source>Configuration (heure de sauvegarde,répertoire ...)</source>
        <translation>Configuration (backup time, folder...)</translation>
    </message>
    <message>
        <source>A&amp;IDE</source>
        <translation>&amp;HELP</translation>
    </message>
    <message>
        <source>Obtenir de l&apos;aide</source>
        <translation>Get help</translation>
    </message>
    <message>
        <source>VISITEZ %1</source>
        <translation>VISIT %1</translation>
    </message>
    <message>
        <source>Cliquer ici pour visiter notre site internet</source>
        <translation>Click here to visit our website</translation>
    </message>
    <message>
        <source>CONTACT:  %1</source>
        <translation>CONTACT:  %1</translation>
    </message>
    <message>
        <source>Cliquer ici pour nous envoyer un email</source>
        <translation>Click here to send us an email</translation>
    </message>
    <message>
        <source>Répertoires à Sauvegarder</source>
        <translation>Folders to Back Up</translation>
    </message>
    <message>
        <source>&amp;Ajouter</source>
        <translation>&amp;Add</translation>
    </message>
    <message>
        <source>Ajoute un répertoire à la liste des répertoires à sauvegarder</source>
        <translation>Adds a folder to the list of folders to back up</translation>
    </message>
    <message>
        <source>E&amp;nlever</source>
        <translation>Re&amp;move</translation>
    </message>
    <message>
        <source>Fichiers à Exclure (facultatif)</source>
        <translation>Files to Exclude (optional)</translation>
    </message>
    <message>
        <source>A&amp;jouter</source>
        <translation>A&amp;dd</translation>
    </message>
    <message>
        <source>Ajoute un filtre d&apos;exclusion de fichiers</source>
        <translation>Adds a file exclusion filter</translation>
    </message>
    <message>
        <source>En&amp;lever</source>
        <translation>Remo&amp;ve</translation>
    </message>
    <message>
        <source>Enlève un filtre d&apos;exclusion de fichiers</source>
        <translation>Removes a file exclusion filter</translation>
    </message>
    <message>
        <source>Effectuer une &amp;Restauration</source>
        <translation>&amp;Restore Files</translation>
    </message>
    <message>
        <source>Effectuer une restauration de fichiers </source>
        <translation>Restore files from a backup </translation>
    </message>
    <message>
        <source>&amp;Sauvegarder Maintenant</source>
        <translation>&amp;Back Up Now</translation>
    </message>
    <message>
        <source>Effectuer une sauvegarde tout de suite</source>
        <translation>Make a backup right away</translation>
    </message>
    <message>
        <source>&amp;Fermer</source>
        <translation>Cl&amp;ose</translation>
    </message>
    <message>
        <source>Fermer la fenêtre</source>
        <translation>Close the window</translation>
    </message>
    <message>
        <source>&amp;Agrandir</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>Ai&amp;de</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;Quitter</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>Inclure les dossiers cachés</source>
        <translation>Include hidden folders</translation>
    </message>
    <message>
        <source>Les dossiers cachés (.config, .local/share, .thunderbird...) gardent le courrier, les clés et les données des applications. Les caches du bureau (.cache, corbeille, vignettes) ne sont jamais sauvegardés.</source>
        <translation>Hidden folders (.config, .local/share, .thunderbird...) hold mail, keys and application data. The desktop&apos;s caches (.cache, trash, thumbnails) are never saved.</translation>
    </message>
    <message>
        <source>Enlève un répertoire de la liste</source>
        <translation>Removes a folder from the list</translation>
    </message>
    <message>
        <source>Arrêter Varnoket : plus aucune sauvegarde jusqu&apos;à son prochain démarrage</source>
        <translation>Stop Varnoket: no more backups until it is started again</translation>
    </message>
    <message>
        <source>&amp;Sauvegarder maintenant</source>
        <translation>&amp;Back up now</translation>
    </message>
    <message>
        <source>Par défaut, la musique et la vidéo (*.mp3, *.mpeg, *.mpg) et le fichier d&apos;échange de Windows (PageFile.sys) ne sont pas sauvegardés ; chaque sauvegarde compte dans son journal les fichiers ainsi laissés de côté.</source>
        <translation>By default, music and video (*.mp3, *.mpeg, *.mpg) and the Windows swap file (PageFile.sys) are not backed up; each backup counts in its log the files left out this way.</translation>
    </message>
    <message>
        <source>Sauvegarder aussi la &amp;musique et la vidéo</source>
        <translation>Back up music and video &amp;too</translation>
    </message>
    <message>
        <source>Enlève les filtres d&apos;exclusion proposés par défaut</source>
        <translation>Removes the exclusion filters offered by default</translation>
    </message>
    <message>
        <source>État des sauvegardes</source>
        <translation>Backup status</translation>
    </message>
    <message>
        <source>Arrê&amp;ter la sauvegarde</source>
        <translation>&amp;Stop the backup</translation>
    </message>
    <message>
        <source>Arrêter la sauvegarde en cours : les copies déjà faites seront reprises par la prochaine</source>
        <translation>Stop the backup under way: the copies already made will be taken up by the next one</translation>
    </message>
    <message>
        <source>Arrêt demandé : la sauvegarde s&apos;arrête après le fichier en cours.</source>
        <translation>Stop requested: the backup stops after the current file.</translation>
    </message>
</context>
<context>
    <name>varnoket::RestoreReportWindow</name>
    <message>
        <source>E&amp;nregistrer...</source>
        <translation>&amp;Save...</translation>
    </message>
    <message>
        <source>Enregistrer ces lignes dans un fichier texte</source>
        <translation>Save these lines in a text file</translation>
    </message>
    <message>
        <source>Fermer la fenêtre</source>
        <translation>Close the window</translation>
    </message>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Enregistrer le compte rendu</source>
        <translation>Save the report</translation>
    </message>
    <message>
        <source>Texte (*.txt)</source>
        <translation>Text (*.txt)</translation>
    </message>
    <message>
        <source>Informations sur la restauration</source>
        <translation>Restore information</translation>
    </message>
    <message>
        <source>&amp;Abandonner la restauration</source>
        <translation>&amp;Stop the restore</translation>
    </message>
    <message>
        <source>Ci-dessous sont affichés les informations et messages d&apos;erreurs survenant pendant la restauration</source>
        <translation>Below are the information and error messages that occur during the restore</translation>
    </message>
</context>
<context>
    <name>varnoket::RestoreWindow</name>
    <message>
        <source>Restauration</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Veuillez patienter ...</source>
        <translation>Please wait...</translation>
    </message>
    <message>
        <source>Choisissez le dossier où restaurer</source>
        <translation>Choose the folder to restore into</translation>
    </message>
    <message>
        <source>à l&apos;emplacement d&apos;origine</source>
        <translation>to the original location</translation>
    </message>
    <message>
        <source>Choisissez la journée à restaurer -&gt;</source>
        <translation>Choose the day to restore -&gt;</translation>
    </message>
    <message>
        <source>Nom de fichier (* et ? permis)</source>
        <translation>File name (* and ? allowed)</translation>
    </message>
    <message>
        <source>Chercher des fichiers par leur nom, sans tenir compte des majuscules</source>
        <translation>Find files by name, ignoring upper and lower case</translation>
    </message>
    <message>
        <source>dans toutes les &amp;journées</source>
        <translation>in all &amp;days</translation>
    </message>
    <message>
        <source>&amp;Rechercher</source>
        <translation>&amp;Search</translation>
    </message>
    <message>
        <source>Chercher par nom</source>
        <translation>Search by name</translation>
    </message>
    <message>
        <source>&amp;Tout Restaurer</source>
        <translation>Restore &amp;All</translation>
    </message>
    <message>
        <source>Cocher la case pour tout restaurer</source>
        <translation>Tick the box to restore everything</translation>
    </message>
    <message>
        <source>C&amp;hangements du jour</source>
        <translation>Day&apos;s c&amp;hanges</translation>
    </message>
    <message>
        <source>Les fichiers sauvegardés ce jour et ceux disparus depuis la veille</source>
        <translation>The files backed up that day and those gone since the day before</translation>
    </message>
    <message>
        <source>Arborescence des Répertoires</source>
        <translation>Folder Tree</translation>
    </message>
    <message>
        <source>Nom</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Taille</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>&amp;Versions du fichier...</source>
        <translation>File &amp;versions...</translation>
    </message>
    <message>
        <source>&amp;Effectuer la restauration</source>
        <translation>&amp;Restore</translation>
    </message>
    <message>
        <source>Démarrer la restauration</source>
        <translation>Start the restore</translation>
    </message>
    <message>
        <source>dans un &amp;autre dossier</source>
        <translation>to an&amp;other folder</translation>
    </message>
    <message>
        <source>Recréer les éléments cochés sous un dossier à choisir</source>
        <translation>Recreate the ticked items below a folder of your choice</translation>
    </message>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Fermer la fenêtre</source>
        <translation>Close the window</translation>
    </message>
    <message>
        <source>
Listes illisibles (journées passées) : %1</source>
        <translation>
Unreadable lists (days skipped): %1</translation>
    </message>
    <message>
        <source>Versions de %1</source>
        <translation>Versions of %1</translation>
    </message>
    <message>
        <source>Journée</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>Date du fichier</source>
        <translation>File date</translation>
    </message>
    <message>
        <source>&amp;Restaurer cette version</source>
        <translation>&amp;Restore this version</translation>
    </message>
    <message>
        <source>%1 version(s) conservée(s), chacune différente de la journée d&apos;avant.</source>
        <translation>%1 version(s) kept, each different from the day before.</translation>
    </message>
    <message>
        <source>
Ce chemin est un dossier les journées : %1</source>
        <translation>
This path is a folder on these days: %1</translation>
    </message>
    <message>
        <source>Recherche de %1</source>
        <translation>Search for %1</translation>
    </message>
    <message>
        <source>Fichier</source>
        <translation>File</translation>
    </message>
    <message>
        <source>&amp;Afficher</source>
        <translation>&amp;Show</translation>
    </message>
    <message>
        <source>%1 fichier(s) trouvé(s) dans toutes les journées.</source>
        <translation>%1 file(s) found in all days.</translation>
    </message>
    <message>
        <source>%1 fichier(s) trouvé(s) le %2.</source>
        <translation>%1 file(s) found on %2.</translation>
    </message>
    <message>
        <source>Changements du %1</source>
        <translation>Changes of %1</translation>
    </message>
    <message>
        <source>Changement</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>Impossible de lire les listes de fichiers de cette journée et de la veille.</source>
        <translation>Cannot read the file lists of this day and the day before.</translation>
    </message>
    <message>
        <source>%1 fichier(s) sauvegardé(s) le %2, %3 disparu(s) (première journée conservée).</source>
        <translation>%1 file(s) backed up on %2, %3 gone (first day kept).</translation>
    </message>
    <message>
        <source>%1 fichier(s) sauvegardé(s) le %2, %3 disparu(s) depuis le %4.</source>
        <translation>%1 file(s) backed up on %2, %3 gone since %4.</translation>
    </message>
    <message>
        <source>Nouveau</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Modifié</source>
        <translation>Changed</translation>
    </message>
    <message>
        <source>Disparu</source>
        <translation>Gone</translation>
    </message>
    <message>
        <source>Fichiers (du répertoire sélectionné)</source>
        <translation>Files (of the selected folder)</translation>
    </message>
    <message>
        <source>Chaque élément coché y va directement, sans le chemin de son dossier d&apos;origine.</source>
        <translation>Each ticked item goes straight into it, without the path of its original folder.</translation>
    </message>
    <message>
        <source>Dossier</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>Disque :</source>
        <translation>Disk:</translation>
    </message>
</context>
<context>
    <name>varnoket::StartError</name>
    <message>
        <source>ERREUR</source>
        <translation>ERROR</translation>
    </message>
</context>
</TS>
