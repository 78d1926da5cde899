#include "platform/string_table.h"

#include <algorithm>
#include <iterator>

namespace tomeric {
namespace {

struct Entry {
    int id;
    const char* text; // UTF-8
};

// Keep sorted by number: lookups use a binary search.
constexpr Entry kStrings[] = {
    {202, "OK"},
    {209, "Pas assez de mémoire !"},
    {213, "Erreur de lecture sur le disque ! Le fichier est peut-être endommagé."},
    {228, "Inconnu(e)"},
    {229, "Impossible de modifier la valeur d'une variable globale en lecture seule"},
    {230, "Ce module externe (Plug-in) est déjà installé !"},
    {231, "Ce n'est pas un module externe (Plug-in) de Tomeric !"},
    {232, "Ce fichier n'existe pas !"},
    {233, "Impossible de charger ce module externe (Plug-in) !"},
    {234, "Ce nom de module externe (Plug-in) entre en conflit avec un module déjà installé.|Veuillez contacter son vendeur."},
    {236, "Impossible d'accéder à des données de ressources."},
    {238, "Envoi d'un e-mail en cours. Voulez-vous annuler ?"},
    {239, "Cette action nécessite %s paramètre(s)."},
    {240, "La commande fait référence à un sous-programme qui n'existe pas."},
    {241, "Il manque des guillemets dans cette expression."},
    {242, "Erreur de syntaxe !"},
    {244, "La commande fait référence à une étiquette qui n'existe pas."},
    {245, "Il n'existe pas de fonction portant ce nom."},
    {246, "Cette page n'existe pas."},
    {247, "Je ne comprends pas cette commande !"},
    {251, "Cet objet n'existe pas."},
    {252, "Ce n'est pas un type d'information valide sur un objet."},
    {253, "Clé de la base de registre invalide !"},
    {254, "La commande de boucle requiert une variable."},
    {255, "Les actions de changement de page ne sont pas autorisées ici."},
    {256, "Ce n'est pas une application ! Essayez un autre fichier EXE."},
    {300, "Un fichier ne peut pas être copié sur lui-même."},
    {301, "Impossible de copier le fichier."},
    {303, "Le fichier n'existe pas."},
    {304, "Le chemin n'existe pas."},
    {316, "Impossible de supprimer ce dossier."},
    {320, "Entrée d'une valeur invalide. Utilisez ECHAP pour abandonner les modifications."},
    {321, "L'action %s ne peut pas provenir d'un lien de Navigateur Web."},
    {322, "Impossible d'initialiser le débogueur."},
    {323, "Cette équation mathématique contient une erreur de syntaxe."},
    {324, "\"%s\" n'est pas une valeur valide pour un nombre entier."},
    {325, "\"%s\" n'est pas une valeur monétaire valide."},
    {326, "\"%s\" n'est pas une valeur valide pour un nombre décimal."},
    {327, "\"%s\" n'est pas une valeur booléenne valide."},
    {328, "\"%s\" n'est pas une valeur valide pour une date."},
    {329, "Impossible de changer le type de la variable globale \"%s\"."},
    {330, "\"%s\" n'est pas un type de variable valide."},
    {336, "Touche invalide"},
    {337, "Caractère \"}\" manquant"},
    {338, "%s n'est pas un opérateur valide."},
    {339, "Un opérateur manque dans l'expression."},
    {340, "Expression invalide."},
    {341, "L'objet n'est pas accompagné d'un intitulé."},
    {342, "L'objet n'a pas de nom de fichier."},
    {345, "La navigation par page n'est pas autorisée en mode de test de page simple."},
    {346, "La commande Quitter n'est pas valide en dehors de la boucle."},
    {347, "Cet élément n'existe pas."},
    {348, "La commande requiert un objet visible."},
    {990, "Trop d'appels imbriqués : la limite est de %s scripts en cours."},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }),
              "the string table must stay sorted by number");

} // namespace

QString Message(int id) {
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const Entry& e, int wanted) { return e.id < wanted; });
    if (it == std::end(kStrings) || it->id != id)
        return {};
    return QString::fromUtf8(it->text);
}

QString Message(int id, const QString& argument) {
    QString text = Message(id);
    const qsizetype at = text.indexOf(QLatin1String("%s"));
    if (at >= 0)
        text.replace(at, 2, argument);
    return text;
}

} // namespace tomeric
