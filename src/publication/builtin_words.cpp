#include "publication/publication_model.h"

#include "platform/string_table.h"

namespace tomeric {

namespace {

// The player's words, in the order of the language texts (tag − 800).
const char* const kBuiltinWords[kLanguageTextCount] = {
    "OK", "Annuler", "Oui", "Non", "Fermer", "Erreur", "Rechercher", "Rechercher :",
    "Rechercher", "Suivant", "Texte introuvable.", "Mot de passe",
    "Cette publication est protégée par un mot de passe.", "Mot de passe :",
    "Mot de passe incorrect !", "Erreur multimédia", "Erreur Internet", "Voulez-vous interrompre ?",
    "Erreur d'extraction", "Dossier d'installation :", "Groupe de programmes :",
    "Lancer après l'installation", "Insérez le disque suivant", "Disque incorrect",
    "Erreur d'installation", "Voulez-vous quitter l'installation ?", "Installation",
    "Installation en cours", "Veuillez patienter", "Envoyer un e-mail", "Serveur de messagerie :",
    "Copier", "Tout sélectionner", "Téléchargement du fichier", "Veuillez patienter...",
};

} // namespace

QString BuiltinWord(TLanguageText which)
{
    if (which < 0 || which >= kLanguageTextCount)
        return QString();
    if (which == ltOk)
        return Message(msgOk);
    return QString::fromUtf8(kBuiltinWords[which]);
}

} // namespace tomeric
