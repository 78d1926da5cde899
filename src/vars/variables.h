#pragma once
// The variable store: the publication's global variables, the local
// variables of the running script, the built-in names, and the one routine
// that replaces [Name] references inside a text by their values.
//
// Everything here runs on the main thread only; worker threads post their
// results and the main thread writes them.
//
// Names and keys: a script writes a variable as "[Name]"; the key under which
// it is kept is the name without its outer brackets, with every inner
// reference replaced by its value ("[Item[i]]" with [i] = 3 is kept as
// "Item3"). Keys compare case-insensitively.

#include "vars/var_string_list.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace tomeric {

// ---- the three lists -------------------------------------------------------

// The publication's variables; lives from start-up to exit.
TVarStringList& GlobalVars();
// The local variables of the script running now; null while the current
// scope has defined none.
TVarStringList* LocalVars();
// The local variables of the current scope, created on first use.
TVarStringList& EnsureLocalVars();
// The fixed table of built-in names ("Name" -> "R" or "W") in their order.
const TVarStringList& BuiltinVarTable();

// A local scope: every script run (each evaluator, GoSub, user-function Call)
// holds one for its lifetime. Creating it saves the current local variables
// and starts with none; destroying it frees its own locals and brings the
// saved ones back. Scopes must end in the reverse order of their creation,
// which nested evaluators on one thread do naturally.
//
//     class TActionEval { LocalScope locals_; ... };
class LocalScope {
public:
    LocalScope();
    ~LocalScope();
    LocalScope(const LocalScope&) = delete;
    LocalScope& operator=(const LocalScope&) = delete;

    // This scope's variables (created on demand).
    TVarStringList& Vars();

private:
    friend TVarStringList* LocalVars();
    friend TVarStringList& EnsureLocalVars();
    LocalScope* saved_ = nullptr;
    std::unique_ptr<TVarStringList> vars_;
    bool isBase_ = false;
    struct BaseTag {};
    explicit LocalScope(BaseTag);
    friend LocalScope& CurrentLocalScope();
};
// The scope that is current now (the process-wide base scope when no script
// runs).
LocalScope& CurrentLocalScope();

// ---- names and substitution ------------------------------------------------

// Makes a bracketed reference out of a name as a script wrote it: "A" gives
// "[A]", "Item[i" gives "[Item[i]]", "" stays "".
QString NormalizeVarName(const QString& text);
// The same in capitals, as variable observers and texts compare names
// ("score" -> "[SCORE]").
QString BracketedUpper(const QString& name);

// The key a name stands for: NormalizeVarName, then substitution in name
// mode. Empty when the name is empty (every operation then does nothing).
QString VarKey(const QString& name);

// Replaces every [Name] reference in `text`:
//  - references are looked up in the local, then the global variables, then
//    the built-in names; "[#n]" not found there is the character with code n
//    (0..255, Windows-1252); any other unknown name gives nothing;
//  - `numeric`: a reference that gives nothing gives "0" instead;
//  - `nameMode`: the outermost references are replaced by their names (inner
//    references are still replaced by their values);
//  - a "]" outside any reference ends the text; an unterminated reference is
//    dropped;
//  - all time and date names read in one call show the same instant.
QString SubstituteVars(const QString& text, bool numeric = false, bool nameMode = false);

// What a variable parameter's text gives: SubstituteVars in name mode. For
// a plain "[Name]" of a parsed script the key is made once and the same
// key text given again on later passes, so its look-ups are remembered.
QString VariableParameterKey(const QString& text);

// The value of a variable given as a script writes it ("[A]" or "A").
QString GetVariable(const QString& name);
// The value a script variable (local, else global) holds under `key`, in
// place; null for built-in and unknown names. Valid until the store changes.
const QString* StoredValue(QStringView key);
// The same; a loop that looks the same key text up again and again (a
// parsed script's) finds it at once after the first time.
const QString* StoredValue(const QString& key);

// The type of a local (else global) variable; vtUndefined when untyped or
// absent.
TVarType GetVarType(const QString& name);
// The same for a key already resolved (no brackets).
TVarType GetKeyType(QStringView key);
TVarType GetKeyType(const QString& key);

// The one write path for every variable, typed, local, global or built-in.
//  - an empty value deletes an untyped variable;
//  - a typed variable converts the value (on failure it keeps its value,
//    the list's ConversionFailed is set and [LastError] gets the reason);
//  - a read-only built-in is refused (message 229 in [LastError]); a
//    writable one runs its handler;
//  - a new name becomes a global variable (nothing happens for an empty
//    value);
//  - every change is broadcast to the VariableObservers.
void SetVariable(const QString& name, const QString& value);
// The same for a key already resolved: a name without brackets, as a
// variable parameter holds it after evaluation.
void SetVariableKey(const QString& key, const QString& value);
// SetVariableKey for a value given as a view. An untyped script variable
// that already holds `key` takes the new text into its own buffer when
// nobody else shares it, so a loop's counter is written without
// allocating; the store ends the same as after SetVariableKey.
void SetVariableKeyText(const QString& key, QStringView value);

// Where the script variable a key names lives (or that none does), kept by
// a loop's line for the key it reads or writes on every pass. It is found
// again only once a list has gained, lost or moved a line or a local scope
// has begun or ended, so a pass's look-up is one comparison.
class VariablePlace {
public:
    // StoredValue, GetKeyType and SetVariableKeyText for `key`, which must
    // be the same text on every call.
    const QString* Value(const QString& key);
    TVarType Type(const QString& key);
    void Write(const QString& key, QStringView value);

private:
    void Find(const QString& key);
    std::uint64_t shape_ = 0;
    bool known_ = false;
    TVarStringList* list_ = nullptr;
    TVarStringList::Line* line_ = nullptr;
};

// Defines (or retypes) a variable. `typeWord` is one of the seven type
// words; `format` the decimals (Decimal) or date format (Date). Returns true
// when a variable was created or its type or format changed. Errors (330
// unknown type word, 329 built-in name or LastError) go to [LastError].
bool DefineVariable(const QString& name, const QString& typeWord, const QString& format,
                    bool isLocal);

// [LastError] as commands report their outcome: empty on success.
void SetLastError(const QString& text);
QString LastError();
// True while [LastError] holds nothing (clearing it then changes nothing).
bool LastErrorIsClear();

// ---- change broadcast and the error box -------------------------------------

// Told about every change of the store. The player implements it: it sends
// object message 1226 to pages, floating windows and menu items, shows the
// error box, and tells an attached debugger.
class VariableObserver {
public:
    virtual ~VariableObserver() = default;
    // A variable or built-in was written. `bracketedName` is the upper-cased
    // key in brackets ("[SCORE]"); `value` the value written (empty when the
    // variable was deleted).
    virtual void VariableChanged(const QString& bracketedName, const QString& value) = 0;
    // False when VariableChanged would do nothing for the variable `key`:
    // the write then skips building the announcement for this observer.
    virtual bool Watches(QStringView key) const
    {
        (void)key;
        return true;
    }
    // [LastError] received a non-empty text. `showErrorBox` is true while
    // ShowErrors is on and error display is not suppressed: the observer then
    // shows the error dialog.
    virtual void LastErrorSet(const QString& text, bool showErrorBox) = 0;
    // The current local scope was entered or left (for a debugger).
    virtual void LocalScopeChanged() {}
};

void AddVariableObserver(VariableObserver* observer);
void RemoveVariableObserver(VariableObserver* observer);

// The main window's ShowErrors setting (the ShowErrors command), initially
// on. Kept here, beside [LastError], because the store decides whether a new
// error is shown.
bool ShowErrors();
void SetShowErrors(bool on);

// While one of these lives, a new [LastError] is not shown in the error box
// (the evaluator sets the error quietly while a debugger is asked; SILENTMODE
// publications hold one for their whole run).
class ErrorDisplaySuppressor {
public:
    ErrorDisplaySuppressor();
    ~ErrorDisplaySuppressor();
    ErrorDisplaySuppressor(const ErrorDisplaySuppressor&) = delete;
    ErrorDisplaySuppressor& operator=(const ErrorDisplaySuppressor&) = delete;
};
bool ErrorDisplaySuppressed();

// Empties the global variables and the current locals (the main window does
// this when it is created for a publication and when it is destroyed).
void ResetVariableStore();

} // namespace tomeric
