#include "StringEntry.h"

// The French texts of the user interface, in UTF-8.
extern const StringEntry kFrenchStrings[] = {
    {1, "Lancer le dézippage des Maps"},
    {2, "Voir le contenu des fichiers \"zip\"."},
    {4, "Configurer les options\r\ngénérales."},
    {5, "Rechercher le répertoire cible"},
    {6, "Rechercher la source"},
    {100, "Vous devez redémarrer l'application pour\nque les modifications prennent effet."},
    {101, "&A propos de Zanvo..."},
    {133, "Fermer cette fenêtre"},
    {134, "http://www.orbelle.example/"},
    {135, "Télécharger des maps\r\nsur Orbelle"},
    {136, "Sélectionnez un répertoire :"},
    {137, "Ce répertoire contient des archives"},
    {138, "Ce répertoire ne contient pas d'archives"},
    {139, "Quitter l'application"},
    {140, "Réduire cette fenêtre"},
    {141, "Nom"},
    {142, "Type"},
    {143, "Taille"},
    {144, "Date de Modification"},
    {145, "Taux"},
    {146, "Compressé"},
    {147, "Vous devez d'abord sélectionner un répertoire source !"},
    {148, "Vous devez d'abord sélectionner un répertoire cible !"},
    {149, "Erreur"},
    {150, "Répertoire"},
    {151, "Aucun fichier archive trouvé !"},
    {152, "Total: %d fichiers, %s octets."},
    {153, " "},
    {154,
     "Le répertoire de base n'a pas été trouvé pour cette archive. Si cette archive est une "
     "archive multi-volume, assurez vous d'insérer le dernier disque de l'archive. Essayer à "
     "nouveau?"},
    {155, "Erreur lors de l'ouverture du fichier !"},
    {156, "Caractères génériques non autorisés !"},
    {157, "Commentaire"},
    {158, "%d/%m/%Y %H:%M"},
    {159, "Voir le détail des fichiers"},
    {160, "Annuler l'opération"},
    {161, "Le répertoire n'existe pas. \r\n\r\nVoulez vous le créer?"},
    {162, "Lancer l'extraction des fichiers"},
    {163, "Le répertoire source n'existe pas.\r\n\r\n Veuillez sélectionner un autre répertoire."},
    {164, "Attention"},
    {165, "Le répertoire n'a pas pu être crée ! L'erreur renvoyée par Windows est : \r\n\r\n"},
    {166, "Masquer le détail des fichiers"},
    {167, "Annuler l'extraction des fichiers?"},
    {168, "&Fermer"},
    {169, "Extraction achevée."},
    {170, "Extraction achevée:  %d Erreur(s)."},
    {171, "Annulé par utilisateur"},
    {172, "&Lancer"},
    {173, "&Annuler"},
    {175, "Fichier: \r\n     %s\r\n\r\nErreur : \r\n     %s"},
    {176, "Pas de détails d'extraction\r\nà afficher pour l'instant."},
    {177, "Pas de rapport d'extraction\r\nà afficher pour l'instant."},
    {178, "Afficher le rapport d'extraction"},
    {179, "&Rapport"},
    {180, "Remplacer le fichier existant:"},
    {181, "Par le fichier:"},
    {184, "%s octets du %s"},
    {185, "Impossible d'obtenir les informations sur la version actuelle."},
    {186, "Votre version de Zanvo est la dernière en date."},
    {187,
     "Une version plus récente de Zanvo est disponible.\r\n\r\nSouhaitez vous la télécharger?"},
    {188, "Information"},
    {189, "%s : %s -> Fichier existant non remplacé\r\n"},
    // The command-line tool.
    {1000,
     "Usage : zanvo-cli [OPTIONS] COMMANDE ...\n"
     "\n"
     "Lit et installe les archives ZIP de maps comme le fait Zanvo, sans fenêtre, et\n"
     "tient un journal de chaque installation pour la vérifier ou la désinstaller.\n"
     "\n"
     "Commandes :\n"
     "  list ARCHIVE           Une ligne par entrée, dans l'ordre des entrées, champs\n"
     "                         séparés par des tabulations : index, répertoire, nom,\n"
     "                         taille, taille compressée, taux, date, attributs (r, a,\n"
     "                         h, s ou -), et D pour un répertoire ou F pour un\n"
     "                         fichier.\n"
     "  test ARCHIVE           Lit chaque fichier avec tous les contrôles d'une\n"
     "                         installation (CRC-32, tailles, descripteur de données,\n"
     "                         noms sûrs) sans rien écrire. Une ligne par fichier :\n"
     "                         son chemin dans l'archive, une tabulation, et OK ou\n"
     "                         l'erreur.\n"
     "  install SOURCE CIBLE   Installe l'archive SOURCE (un chemin finissant par\n"
     "                         .zip), ou chaque archive *.zip du répertoire SOURCE,\n"
     "                         dans le répertoire CIBLE. Le rapport va sur la sortie\n"
     "                         standard, l'état final sur la sortie d'erreur. Les\n"
     "                         fichiers à risque sont écartés, chacun avec une ligne\n"
     "                         dans le rapport, sauf avec --allow-risky.\n"
     "  plan SOURCE [CIBLE]    N'écrit rien. Une ligne par fichier, champs séparés\n"
     "                         par des tabulations : l'archive, le chemin dans\n"
     "                         l'archive, et l'endroit où install mettrait le fichier\n"
     "                         (relatif à CIBLE), « skip », ou « refused » et\n"
     "                         pourquoi ; avec CIBLE aussi « new » ou « exists » ;\n"
     "                         pour un fichier à risque, un dernier champ « risky: »\n"
     "                         et pourquoi.\n"
     "  games                  Une ligne par répertoire de jeu des bibliothèques\n"
     "                         Steam, champs séparés par des tabulations : le jeu,\n"
     "                         son mod (le nom que prend --game) et le répertoire.\n"
     "  history CIBLE          Les installations et désinstallations enregistrées\n"
     "                         dans CIBLE, de la plus récente à la plus ancienne,\n"
     "                         champs séparés par des tabulations : l'heure (UTC),\n"
     "                         l'archive, les fichiers écrits, les fichiers\n"
     "                         remplacés, le nom du journal et l'état : « installed »,\n"
     "                         « uninstalled », « interrupted », ou « uninstall of »\n"
     "                         et le journal retiré.\n"
     "  verify CIBLE [ARCHIVE]\n"
     "                         Une ligne par fichier enregistré (de ARCHIVE seulement\n"
     "                         s'il est donné), champs séparés par des tabulations :\n"
     "                         l'archive, le chemin, et « OK », « changed »,\n"
     "                         « missing », ou « replaced by » et l'archive installée\n"
     "                         par-dessus.\n"
     "  uninstall CIBLE ARCHIVE\n"
     "                         Retire la dernière installation de ARCHIVE (quelle que\n"
     "                         soit la casse) : supprime ses fichiers, remet ceux\n"
     "                         qu'elle a remplacés, supprime les répertoires qu'elle\n"
     "                         a créés une fois vides, et garde un fichier modifié\n"
     "                         depuis ou remplacé par une archive installée ensuite.\n"
     "                         Une ligne par étape : remove, restore, keep et\n"
     "                         pourquoi, rmdir. Avec le nom d'un journal (voir\n"
     "                         history) comme ARCHIVE, retire celui-là : c'est ainsi\n"
     "                         qu'on annule une désinstallation.\n"
     "\n"
     "Options de install et plan (les paramètres enregistrés de Zanvo sont les\n"
     "valeurs par défaut ; ils sont lus, jamais écrits) :\n"
     "  --sort, --no-sort      Analyser et trier les fichiers des archives Steam, ou\n"
     "                         garder les répertoires des archives.\n"
     "  --misc RÉPERTOIRE      Le répertoire « Divers », relatif à CIBLE, pour les\n"
     "                         fichiers que le tri ne sait pas placer.\n"
     "  --replace, --no-replace\n"
     "                         Remplacer les fichiers existants sans confirmer.\n"
     "  --confirm-different, --no-confirm-different\n"
     "                         Avec --replace, demander quand même si la date ou la\n"
     "                         taille diffère.\n"
     "  --yes-all, --no-all    Répondre à chaque question de remplacement par Oui pour\n"
     "                         Tous, ou par Non pour Tous.\n"
     "  --yes                  Créer CIBLE sans demander quand il n'existe pas.\n"
     "  --game MOD             À la place de CIBLE : le répertoire du mod MOD\n"
     "                         (cstrike, valve, ...) dans les bibliothèques Steam, tel\n"
     "                         que games le liste.\n"
     "  --no-journal, --journal\n"
     "                         Ne tenir aucun journal de l'installation dans CIBLE,\n"
     "                         ou en tenir un (par défaut, sauf si le paramètre\n"
     "                         Journal vaut 0).\n"
     "  --allow-risky          Installer aussi les fichiers à risque : programmes et\n"
     "                         bibliothèques, code du jeu (dlls/, cl_dlls/,\n"
     "                         addons/metamod/) et configuration du jeu (.cfg,\n"
     "                         liblist.gam, gameinfo.txt).\n"
     "\n"
     "Option de uninstall :\n"
     "  --dry-run              Montrer ce que ferait uninstall, sans rien modifier.\n"
     "\n"
     "Options :\n"
     "  --language english|french\n"
     "                         Langue des messages et du format des nombres (par\n"
     "                         défaut : la langue enregistrée de Zanvo, french au\n"
     "                         premier démarrage).\n"
     "  --help                 Affiche cette aide.\n"
     "\n"
     "Les questions (essayer à nouveau une archive, créer la cible, remplacer un\n"
     "fichier) sont posées sur le terminal ; quand l'entrée n'est pas un terminal, la\n"
     "réponse est non, et les fichiers existants sont gardés. Ctrl+C arrête une\n"
     "installation après l'archive en cours ; un second Ctrl+C, SIGTERM ou SIGHUP\n"
     "l'arrête aussitôt.\n"
     "\n"
     "Une installation qui écrit des fichiers les enregistre, avec leur SHA-256, dans\n"
     "CIBLE/.zanvo/journal/, et garde les fichiers qu'elle remplace dans\n"
     "CIBLE/.zanvo/backup/. Une installation interrompue avant d'avoir écrit son\n"
     "journal apparaît dans history comme « interrupted » ; uninstall remet les\n"
     "fichiers qu'elle a remplacés.\n"
     "\n"
     "Code de sortie : 0 en cas de succès ; 1 quand une entrée a échoué (test,\n"
     "install), qu'une archive n'a pas pu être ouverte (plan), que l'installation a\n"
     "été arrêtée, qu'aucun répertoire de jeu n'a été trouvé (games), qu'un fichier\n"
     "a été modifié ou manque (verify), qu'un journal ne peut pas être lu (history,\n"
     "verify), ou qu'un fichier n'a pas pu être déplacé ou la désinstallation\n"
     "enregistrée (uninstall) ; 2 quand l'archive n'a pas pu être ouverte (list,\n"
     "test), qu'aucune archive n'a été trouvée, que la source, la cible ou le jeu de\n"
     "--game a été refusé, qu'aucune installation de ARCHIVE n'est enregistrée\n"
     "(verify, uninstall), qu'un journal n'est pas fiable (uninstall), ou que la\n"
     "ligne de commande est incorrecte ; 3 quand install a écarté des fichiers à\n"
     "risque sans autre erreur.\n"},
    {1001, "Commande inconnue : %s"},
    {1002, "Chemin de l'archive manquant."},
    {1003, "Langue inconnue : %s (english ou french)."},
    {1004, "Option inconnue : %s"},
    {1005, " [o/N] "},
    {1006, "o"},
    {1007, "Essayez « zanvo-cli --help »."},
    {1008, "Trop d'arguments."},
    {1009, "Archive %d/%d, entrée %d/%d"},
    {1010, "[o] oui, [n] non, [t] oui pour tous, [a] non pour tous ? "},
    {1011, "onta"},
    {1012, "Source ou cible manquante."},
    {1013, "Impossible d'écrire la sortie : %s"},
    {1014, "Valeur manquante pour %s."},
    {1015, "Le répertoire Divers ne peut pas passer par « .. » : %s"},
    {1016, "Répertoire cible utilisé : %s (son nom ne diffère de celui donné que par la casse)."},
    {1017,
     "Le fichier de paramètres %s n'est pas un fichier ordinaire ; les paramètres par défaut "
     "s'appliquent."},
    {1018, "Le fichier de paramètres %s dépasse 1 Mio ; les paramètres par défaut s'appliquent."},
    {1019,
     "Le fichier de paramètres %s ne peut pas être lu (%s) ; les paramètres par défaut "
     "s'appliquent."},
    {1020, "Le journal %s n'est pas un fichier ordinaire : il n'est pas utilisé."},
    {1021, "Le journal %s est trop grand pour être un journal de Zanvo : il n'est pas utilisé."},
    {1022, "Le journal %s ne peut pas être lu (%s) : il n'est pas utilisé."},
    {1023, "Le journal %s est mal formé (%s) : il n'est pas utilisé."},
    {1024, "Le journal %s désigne un chemin hors de la cible (%s) : il n'est pas utilisé."},
    {1025, "%s est un lien symbolique : les journaux ne sont pas utilisés."},
    {1026, "Aucune installation de %s n'est enregistrée dans cette cible."},
    {1027, "%s a déjà été désinstallé : rien à faire."},
    {1028, "Rien n'a été supprimé : un journal de cette cible n'est pas fiable."},
    {1029, "Simulation : rien n'a été modifié."},
    {1030, "%s désinstallé : %s supprimé(s), %s restauré(s), %s conservé(s)."},
    {1031, "modifié depuis l'installation"},
    {1032, "remplacé par %s"},
    {1033, "déjà absent"},
    {1034, "pas le fichier installé : un répertoire ou un lien s'y trouve"},
    {1035, "le fichier remplacé manque dans le répertoire de sauvegarde"},
    {1036, "le fichier remplacé a changé dans le répertoire de sauvegarde ; il y reste : %s"},
    {1037, "un autre fichier s'y trouve ; celui qu'il a remplacé reste dans %s"},
    {1038, "n'a pas pu être déplacé : %s"},
    {1039, "Aucune installation n'est enregistrée dans cette cible."},
    {1040, "Le répertoire cible %s n'existe pas."},
    {1041, "Le journal %s passe par un lien symbolique (%s) : rien n'a été supprimé."},
    {1042, "La désinstallation n'a pas pu être enregistrée : %s"},
    {1043, "programme ou bibliothèque (%s)"},
    {1044, "programme (signature %s)"},
    {1045, "code du jeu (%s)"},
    {1046, "configuration du jeu (%s)"},
    {1047, "%s : %s -> Non installé, %s\r\n"},
    {1048,
     "%s contient des fichiers qui exécutent du code ou modifient la configuration du jeu. Un pack "
     "de cartes n'a aucune raison d'en contenir :\n\n%s\nLes installer malgré tout ?"},
    {1049, "Les ignorer"},
    {1050, "Les installer"},
    {1051, "Fichiers à risque"},
    {1052, "--dry-run n'est une option que de uninstall."},
    {1053, "Répertoire cible ou nom d'archive manquant."},
    {1054, "Le journal %s n'est pas du JSON : il n'est pas utilisé."},
    {1055, "L'entrée serait écrite dans le répertoire des journaux d'installation"},
    // The game folders of the Steam libraries.
    {1060,
     "Aucun répertoire de jeu n'a été trouvé dans les bibliothèques Steam ; si Steam est "
     "installé ailleurs, indiquez son répertoire dans STEAM_DIR."},
    {1061,
     "Aucun répertoire de jeu %s n'a été trouvé dans les bibliothèques Steam ; « zanvo-cli "
     "games » liste ceux qui ont été trouvés."},
    {1062, "Plusieurs répertoires de jeu s'appellent %s ; donnez celui voulu comme CIBLE :"},
    {1063, "--game remplace CIBLE ; ne donnez que l'un des deux."},
};
extern const int kFrenchStringCount = sizeof kFrenchStrings / sizeof kFrenchStrings[0];
