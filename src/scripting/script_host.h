#pragma once
// Function files written in JavaScript ("Language=JScript" or
// "Language=JavaScript") run on QJSEngine, with the object "Publication"
// through which the body reaches the publication:
//
//     Publication.qxGetVar("[Name]")          the variable's value
//     Publication.qxSetVar("[Name]", value)   writes it (the one write path)
//     Publication.qxExecAction(script)        runs an action script at once
//
// Parameters reach the body by substitution before it runs: a Variable
// parameter's declared name becomes the caller's variable ("[Total]"),
// every other parameter's name becomes its value. An error in the body
// stops the script that called the function, with the error and its line
// in [LastError] (and the error box while ShowErrors is on). Other script
// languages (VBScript ...) stop it with a message saying that the language
// is not available on this system.
//
// This library is the only part that links Qt Qml; the core reaches it
// through SetScriptFunctionRunner.

namespace tomeric {

// Makes Call run JavaScript function files (both programs call it once).
void InstallScriptFunctions();

} // namespace tomeric
