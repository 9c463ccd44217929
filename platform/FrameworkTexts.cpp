#include "FrameworkTexts.h"

#include "CFileException.h"

namespace {

const char* FileErrorPattern(int cause) {
    switch (cause) {
        case CFileException::none:
            return "Aucune erreur.";
        case CFileException::fileNotFound:
            return "%1 est introuvable.";
        case CFileException::badPath:
            return "%1 contient un chemin d'accès non valide.";
        case CFileException::tooManyOpenFiles:
            return "Impossible d'ouvrir %1, car trop de fichiers sont ouverts.";
        case CFileException::accessDenied:
            return "L'accès à %1 a été refusé.";
        case CFileException::invalidFile:
            return "Un handle de fichier non valide a été associé à %1.";
        case CFileException::removeCurrentDir:
            return "Impossible de supprimer %1, car il s'agit du répertoire en cours.";
        case CFileException::directoryFull:
            return "Impossible de créer %1, car le répertoire est plein.";
        case CFileException::badSeek:
            return "Échec du positionnement dans %1.";
        case CFileException::hardIO:
            return "Une erreur matérielle d'E/S s'est produite lors de l'accès à %1.";
        case CFileException::sharingViolation:
            return "Violation de partage lors de l'accès à %1.";
        case CFileException::lockViolation:
            return "Violation de verrouillage lors de l'accès à %1.";
        case CFileException::diskFull:
            return "Disque plein lors de l'accès à %1.";
        case CFileException::endOfFile:
            return "Tentative d'accès à %1 au-delà de sa fin.";
        default:
            return "Une erreur inattendue s'est produite lors de l'accès à %1.";
    }
}

}  // namespace

std::string FrameworkTexts::FileError(int cause, const std::string& fileName) {
    const std::string name = fileName.empty() ? std::string("un fichier sans nom") : fileName;
    std::string text = FileErrorPattern(cause);
    if (const auto at = text.find("%1"); at != std::string::npos) {
        text.replace(at, 2, name);
    }
    return text;
}

const std::string& FrameworkTexts::OutOfMemory() {
    static const std::string text = "Mémoire insuffisante.";
    return text;
}
