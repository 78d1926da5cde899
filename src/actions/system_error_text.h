#pragma once
// The texts a failing file operation reports in [LastError]. Publications
// were made for the French Windows build, whose system messages they show
// (and sometimes compare); the common failures therefore read as that system
// wrote them, and any other error falls back to the C library's text.

#include <QString>

namespace tomeric {

// The message for an errno value. `forFolder` tells the file-not-found
// family apart: a missing folder reads "path not found".
QString SystemErrorText(int errnoValue, bool forFolder = false);

// The message for an operation on `nativePath` that failed with errno:
// a missing file reads "file not found", a missing folder on the way to it
// "path not found".
QString FileErrorText(int errnoValue, const QString& nativePath);

// The usual texts by name, for failures that are not errno values.
QString FileNotFoundText();   // "Le fichier spécifié est introuvable."
QString PathNotFoundText();   // "Le chemin d'accès spécifié est introuvable."
QString AccessDeniedText();   // "Accès refusé."

} // namespace tomeric
