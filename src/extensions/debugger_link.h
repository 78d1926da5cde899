#pragma once
// The debugger link: in a preview package that names a debugger folder, the
// player loads the debugger library from it and tells it about every script
// line, variable change, page change and error (include/tomeric/debugger.h
// fixes the calls). Errors and DebugBreakPoint then ask the debugger how to
// go on.
//
//     auto debugger = TDebuggerLibrary::Link(folder, previewMode);
//     if (!debugger) -> message 322, the program ends
//     services.Debugger = debugger.get();
//     ...
//     debugger.reset();   // Debug_Stop, then the library is unloaded

#include "actions/services.h"
#include "extensions/shared_library.h"
#include "vars/variables.h"

#include <QSet>
#include <QString>

#include <memory>

namespace tomeric {

class TDebuggerLibrary final : public DebuggerLink, public VariableObserver {
public:
    // "QXDebug.so" (the platform's suffix) of `folder`, loaded with the
    // current folder switched there; null when it is missing, is no
    // debugger, or Debug_Start refuses.
    static std::unique_ptr<TDebuggerLibrary> Link(const QString& folder, int previewMode, void* mainWindow);
    // The library's file name in its folder on this system.
    static QString LibraryFileName();
    ~TDebuggerLibrary() override;

    // DebuggerLink
    void ActionStart(int serial, const QString& sourceName, int debugType, int sourceKind) override;
    void AddAction(int serial, const QString& text, int kind) override;
    void ActionComplete(int serial) override;
    int ErrorReport(const QString& script, const QString& message, const QString& sourceName, int mode,
                    int lineNo, int sourceKind) override;
    void Message(int message, int parameter) override;

    // VariableObserver: every write of the store, and [LastError].
    void VariableChanged(const QString& bracketedName, const QString& value) override;
    void LastErrorSet(const QString& text, bool showErrorBox) override;
    // A script's local scope began or ended: the locals that were visible
    // are reported deleted, those visible now created.
    void LocalScopeChanged() override;
    // The whole store was cleared (a publication opens or closes in the
    // window): one report instead of a deletion per variable.
    void VariablesCleared();

private:
    TDebuggerLibrary() = default;
    bool Resolve();

    TSharedLibrary library_;
    struct Exports;
    std::unique_ptr<Exports> exports_;
    QSet<QString> known_;       // variables reported as created
    QSet<QString> shownLocals_; // the locals the debugger was last told about
};

} // namespace tomeric
