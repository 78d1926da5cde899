#pragma once
// The program's string table: every user-visible message by number, in the
// French of the original build. A "|" inside a message stands for a line
// break; dialogs turn it into one when they show the text.
//
// Code names a message by its id (msgNoSuchObject), never by its number:
// the ids and the texts come from the one list below, so every id has its
// text. Numbers below 1000 are those of the original table; from 1000 on
// come the operating system's texts that scripts see in [LastError] (as
// Windows words them) and the player's own texts that have no number there.

#include <QString>

namespace tomeric {

// X(id, number, text in UTF-8)
#define TOMERIC_MESSAGES(X) \
    X(msgOk,                     202, "OK") \
    X(msgOutOfMemory,            209, "Pas assez de mémoire !") \
    X(msgDiskReadError,          213, "Erreur de lecture sur le disque ! Le fichier est peut-être endommagé.") \
    X(msgUnknown,                228, "Inconnu(e)") \
    X(msgReadOnlyGlobal,         229, "Impossible de modifier la valeur d'une variable globale en lecture seule") \
    X(msgPlugInInstalled,        230, "Ce module externe (Plug-in) est déjà installé !") \
    X(msgNotAPlugIn,             231, "Ce n'est pas un module externe (Plug-in) de Tomeric !") \
    X(msgNoSuchFile,             232, "Ce fichier n'existe pas !") \
    X(msgPlugInNotLoaded,        233, "Impossible de charger ce module externe (Plug-in) !") \
    X(msgPlugInNameConflict,     234, "Ce nom de module externe (Plug-in) entre en conflit avec un module déjà installé.|Veuillez contacter son vendeur.") \
    X(msgNoResourceAccess,       236, "Impossible d'accéder à des données de ressources.") \
    X(msgMailInProgress,         238, "Envoi d'un e-mail en cours. Voulez-vous annuler ?") \
    X(msgParameterCount,         239, "Cette action nécessite %s paramètre(s).") \
    X(msgNoSuchSubroutine,       240, "La commande fait référence à un sous-programme qui n'existe pas.") \
    X(msgUnbalancedQuotes,       241, "Il manque des guillemets dans cette expression.") \
    X(msgSyntaxError,            242, "Erreur de syntaxe !") \
    X(msgNoSuchLabel,            244, "La commande fait référence à une étiquette qui n'existe pas.") \
    X(msgNoSuchFunction,         245, "Il n'existe pas de fonction portant ce nom.") \
    X(msgNoSuchPage,             246, "Cette page n'existe pas.") \
    X(msgUnknownCommand,         247, "Je ne comprends pas cette commande !") \
    X(msgNoSuchObject,           251, "Cet objet n'existe pas.") \
    X(msgInvalidObjectInfo,      252, "Ce n'est pas un type d'information valide sur un objet.") \
    X(msgInvalidRegistryKey,     253, "Clé de la base de registre invalide !") \
    X(msgLoopNeedsVariable,      254, "La commande de boucle requiert une variable.") \
    X(msgPageChangeRefused,      255, "Les actions de changement de page ne sont pas autorisées ici.") \
    X(msgNotAnApplication,       256, "Ce n'est pas une application ! Essayez un autre fichier EXE.") \
    X(msgCopyOntoItself,         300, "Un fichier ne peut pas être copié sur lui-même.") \
    X(msgCopyFailed,             301, "Impossible de copier le fichier.") \
    X(msgFileMissing,            303, "Le fichier n'existe pas.") \
    X(msgPathMissing,            304, "Le chemin n'existe pas.") \
    X(msgFolderNotRemoved,       316, "Impossible de supprimer ce dossier.") \
    X(msgInvalidEntry,           320, "Entrée d'une valeur invalide. Utilisez ECHAP pour abandonner les modifications.") \
    X(msgBrowserLinkRefused,     321, "L'action %s ne peut pas provenir d'un lien de Navigateur Web.") \
    X(msgDebuggerNotStarted,     322, "Impossible d'initialiser le débogueur.") \
    X(msgMathSyntax,             323, "Cette équation mathématique contient une erreur de syntaxe.") \
    X(msgInvalidInteger,         324, "\"%s\" n'est pas une valeur valide pour un nombre entier.") \
    X(msgInvalidCurrency,        325, "\"%s\" n'est pas une valeur monétaire valide.") \
    X(msgInvalidDecimal,         326, "\"%s\" n'est pas une valeur valide pour un nombre décimal.") \
    X(msgInvalidBoolean,         327, "\"%s\" n'est pas une valeur booléenne valide.") \
    X(msgInvalidDate,            328, "\"%s\" n'est pas une valeur valide pour une date.") \
    X(msgGlobalTypeFixed,        329, "Impossible de changer le type de la variable globale \"%s\".") \
    X(msgInvalidVariableType,    330, "\"%s\" n'est pas un type de variable valide.") \
    X(msgInvalidKey,             336, "Touche invalide") \
    X(msgMissingBrace,           337, "Caractère \"}\" manquant") \
    X(msgInvalidOperator,        338, "%s n'est pas un opérateur valide.") \
    X(msgMissingOperator,        339, "Un opérateur manque dans l'expression.") \
    X(msgInvalidExpression,      340, "Expression invalide.") \
    X(msgNoCaption,              341, "L'objet n'est pas accompagné d'un intitulé.") \
    X(msgNoFileName,             342, "L'objet n'a pas de nom de fichier.") \
    X(msgNotConnected,           344, "Erreur de connexion Internet.") \
    X(msgSinglePagePreview,      345, "La navigation par page n'est pas autorisée en mode de test de page simple.") \
    X(msgExitOutsideLoop,        346, "La commande Quitter n'est pas valide en dehors de la boucle.") \
    X(msgNoSuchItem,             347, "Cet élément n'existe pas.") \
    X(msgNeedsVisibleObject,     348, "La commande requiert un objet visible.") \
    X(msgNestingTooDeep,         990, "Trop d'appels imbriqués : la limite est de %s scripts en cours.") \
    /* the system's texts and the player's own */ \
    X(msgSysFileNotFound,       1000, "Le fichier spécifié est introuvable.") \
    X(msgSysPathNotFound,       1001, "Le chemin d'accès spécifié est introuvable.") \
    X(msgSysAccessDenied,       1002, "Accès refusé.") \
    X(msgSysSharingViolation,   1003, "Le processus ne peut pas accéder au fichier car ce fichier est utilisé par un autre processus.") \
    X(msgSysFileExists,         1004, "Le fichier existe.") \
    X(msgSysDiskFull,           1005, "Espace insuffisant sur le disque.") \
    X(msgSysFolderNotEmpty,     1006, "Le répertoire n'est pas vide.") \
    X(msgSysNameTooLong,        1007, "Le nom de fichier ou l'extension est trop long.") \
    X(msgSysBadName,            1008, "La syntaxe du nom de fichier, de répertoire ou de volume est incorrecte.") \
    X(msgNotFound,              1100, "Fichier introuvable !") \
    X(msgScriptLanguageMissing, 1101, "Le langage de script \"%s\" n'est pas disponible sur ce système.") \
    X(msgCannotOpenFile,        1102, "Impossible d'ouvrir le fichier %s") \
    X(msgOneInternetCommand,    1103, "Une seule commande Internet n'est possible à la fois.") \
    X(msgNoMailServer,          1104, "Aucun serveur de messagerie n'a été spécifié.") \
    X(msgMailHostUnreachable,   1105, "Connexion impossible avec l'hôte de messagerie :") \
    X(msgMailAccessDenied,      1106, "Accès refusé !") \
    X(msgMailCancelled,         1107, "Action 'Envoyer un e-mail' (SendMail) annulée.") \
    /* running and controlling programs */ \
    X(msgAppNotFound,           1200, "Impossible de trouver l'application.") \
    X(msgNoMainWindow,          1201, "Impossible d'identifier la fenêtre principale de l'application.") \
    X(msgAppAlreadyHosted,      1202, "Une application est déjà liée à %s.") \
    X(msgNoDroppedFiles,        1203, "L'application n'accepte pas les fichiers déposés.") \
    X(msgNoMenu,                1204, "Cette application n'a pas de menu.") \
    X(msgWineMissing,           1205, "Impossible de lancer le programme Windows %s : Wine n'est pas installé.") \
    X(msgCannotOpenHere,        1206, "Ce type de fichier ne peut pas être ouvert sur ce système : %s") \
    /* plug-ins and script functions */ \
    X(msgPlugInBuiltForWindows, 1210, "Ce module externe (Plug-in) a été compilé pour Windows : il doit être recompilé pour ce système.") \
    X(msgPlugInOtherInterface,  1211, "Ce module externe (Plug-in) a été compilé pour une autre version de l'interface des plug-ins (%s).") \
    X(msgScriptFailed,          1212, "Erreur dans le script de la fonction %s :")

enum MessageId : int {
#define TOMERIC_MESSAGE_ID(id, number, text) id = number,
    TOMERIC_MESSAGES(TOMERIC_MESSAGE_ID)
#undef TOMERIC_MESSAGE_ID
};

// The message's text.
QString Message(MessageId id);

// The message with its first "%s" replaced by the argument.
QString Message(MessageId id, const QString& argument);

} // namespace tomeric
