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
     "Usage : zanvo-cli [--language english|french] COMMANDE ARCHIVE\n"
     "\n"
     "Lit les archives ZIP de maps comme le fait Zanvo, sans fenêtre.\n"
     "\n"
     "Commandes :\n"
     "  list ARCHIVE   Une ligne par entrée, dans l'ordre des entrées, champs séparés\n"
     "                 par des tabulations : index, répertoire, nom, taille, taille\n"
     "                 compressée, taux, date, attributs (r, a, h, s ou -), et D pour\n"
     "                 un répertoire ou F pour un fichier.\n"
     "  test ARCHIVE   Lit chaque fichier avec tous les contrôles d'une installation\n"
     "                 (CRC-32, tailles, descripteur de données, noms sûrs) sans rien\n"
     "                 écrire. Une ligne par fichier : son chemin dans l'archive, une\n"
     "                 tabulation, et OK ou l'erreur.\n"
     "\n"
     "Options :\n"
     "  --language english|french   Langue des messages et du format des nombres\n"
     "                              (par défaut : french).\n"
     "  --help                      Affiche cette aide.\n"
     "\n"
     "Quand la fin d'une archive est introuvable, zanvo-cli demande sur le terminal\n"
     "s'il faut essayer à nouveau ; quand son entrée n'est pas un terminal, la\n"
     "réponse est non.\n"
     "\n"
     "Code de sortie : 0 en cas de succès ; 1 quand une entrée a échoué au test ;\n"
     "2 quand l'archive n'a pas pu être ouverte ou que la ligne de commande est\n"
     "incorrecte.\n"},
    {1001, "Commande inconnue : %s"},
    {1002, "Chemin de l'archive manquant."},
    {1003, "Langue inconnue : %s (english ou french)."},
    {1004, "Option inconnue : %s"},
    {1005, " [o/N] "},
    {1006, "o"},
    {1007, "Essayez « zanvo-cli --help »."},
    {1008, "Trop d'arguments."},
};
extern const int kFrenchStringCount = sizeof kFrenchStrings / sizeof kFrenchStrings[0];
