#pragma once
// The operations behind the variable commands (SaveVariables, LoadVariables,
// ClearVariables, DeleteArray, GetArrayInfo). The command table binds them;
// parameters arrive already evaluated by their kinds. Each reports its
// outcome through [LastError] like the commands do.

#include <QString>

#include <functional>

namespace tomeric {

// Turns a file name a script gave into a path on disk (the actions layer
// passes ResolveFile, which also extracts files included in the
// publication). Without one, the name is only mapped to a native path.
using FileNameResolver = std::function<QString(const QString& name)>;

// SaveVariables: writes every global variable, in order, as `key=value`
// lines ended by CR LF, in Windows-1252; CR and LF inside values are written
// "[#13]" and "[#10]". The old file is replaced only once the new one is
// complete. [LastError]: empty, or the reason writing failed. True on success.
bool SaveVariables(const QString& fileName);

// LoadVariables: reads such a file and assigns each `key=value` line through
// SetVariable (lines without a name are skipped; the value is everything
// after the first "="). [LastError]: empty, or the reason reading failed
// (then nothing is loaded). True on success.
bool LoadVariables(const QString& fileName, const FileNameResolver& resolve = {});

// ClearVariables: with a list (items separated by "," or "|"), each item is
// assigned the empty value; with an empty list, every global variable is, in
// list order (typed variables go back to their type's value for "").
void ClearVariables(const QString& list = QString());

// What an array holds: the keys that begin with a prefix (any case) and
// continue with a whole number.
struct ArrayInfo {
    int lowest = 2147483647;
    int highest = -2147483647;
    int count = 0;
};
// `arrayName` is the prefix, as a kind-6 parameter gives it ("Item"), or a
// bracketed name ("[Item]"), which is turned into its key first.
ArrayInfo ScanArray(const QString& arrayName);

// DeleteArray: assigns the empty value to every element from the lowest
// index up to `upperIndex` ("All", any case: the highest).
void DeleteArray(const QString& arrayName, const QString& upperIndex);

// GetArrayInfo: stores the lowest and highest index (only when the array has
// an element) and the count (always) into the three variables.
void GetArrayInfo(const QString& arrayName, const QString& lowestVar, const QString& highestVar,
                  const QString& countVar);

} // namespace tomeric
