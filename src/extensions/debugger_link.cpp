#include "extensions/debugger_link.h"

#include "actions/command_table.h"
#include "extensions/plugins.h"
#include "platform/cp1252.h"

#include <tomeric/debugger.h>

#include <QDir>

namespace tomeric {

struct TDebuggerLibrary::Exports {
    decltype(&Debug_Start) start = nullptr;
    decltype(&Debug_AddAction) addAction = nullptr;
    decltype(&Debug_ActionStart) actionStart = nullptr;
    decltype(&Debug_ActionComplete) actionComplete = nullptr;
    decltype(&Debug_SetVar) setVar = nullptr;
    decltype(&Debug_Message) message = nullptr;
    decltype(&Debug_ErrorReport) errorReport = nullptr;
    decltype(&Debug_Stop) stop = nullptr;
};

namespace {

QByteArray Text(const QString& text) { return EncodeWindows1252(text); }

// Type letters by variable type: untyped, string, integer, currency,
// decimal, boolean, date.
const char* TypeLetter(TVarType type) {
    static const char* const kLetters[] = {"U", "S", "I", "C", "P", "B", "D"};
    return type < std::size(kLetters) ? kLetters[type] : "U";
}

void ListKeywords(QXWordList* list) {
    if (list == nullptr || list->add == nullptr)
        return;
    if (list->clear != nullptr)
        list->clear(list->owner);
    for (const char* word : {"ELSE", "ENDIF", "ENDWHILE", "ENDLOOP", "DEBUGOFF", "DEBUGON"})
        list->add(list->owner, word);
    for (const QString& name : CommandTable().CommandNames())
        list->add(list->owner, Text(name).constData());
}

QString LibrarySuffix() {
#if defined(_WIN32)
    return QStringLiteral(".dll");
#elif defined(__APPLE__)
    return QStringLiteral(".dylib");
#else
    return QStringLiteral(".so");
#endif
}

} // namespace

QString TDebuggerLibrary::LibraryFileName() { return QStringLiteral("QXDebug") + LibrarySuffix(); }

std::unique_ptr<TDebuggerLibrary> TDebuggerLibrary::Link(const QString& folder, int previewMode, void* mainWindow) {
    std::unique_ptr<TDebuggerLibrary> link(new TDebuggerLibrary);
    const QString previous = QDir::currentPath();
    // The library may look for its own files beside itself.
    const bool switched = QDir::setCurrent(folder);
    const bool opened = link->library_.Open(QDir(folder).absoluteFilePath(LibraryFileName()));
    if (switched)
        QDir::setCurrent(previous);
    if (!opened || !link->Resolve())
        return nullptr;
    const TPlugInCallbacks host = PlugInCallbacks();
    if (link->exports_->start(mainWindow, mainWindow, static_cast<unsigned char>(previewMode), ListKeywords,
                              host.getInfo, host.runScript, host.setVar, host.getVar) == 0)
        return nullptr;
    AddVariableObserver(link.get());
    return link;
}

bool TDebuggerLibrary::Resolve() {
    exports_ = std::make_unique<Exports>();
    Exports& e = *exports_;
    e.start = library_.Find<decltype(e.start)>("Debug_Start");
    e.addAction = library_.Find<decltype(e.addAction)>("Debug_AddAction");
    e.actionStart = library_.Find<decltype(e.actionStart)>("Debug_ActionStart");
    e.actionComplete = library_.Find<decltype(e.actionComplete)>("Debug_ActionComplete");
    e.setVar = library_.Find<decltype(e.setVar)>("Debug_SetVar");
    e.message = library_.Find<decltype(e.message)>("Debug_Message");
    e.errorReport = library_.Find<decltype(e.errorReport)>("Debug_ErrorReport");
    e.stop = library_.Find<decltype(e.stop)>("Debug_Stop");
    return e.start != nullptr;
}

TDebuggerLibrary::~TDebuggerLibrary() {
    RemoveVariableObserver(this);
    if (exports_ && exports_->stop != nullptr && library_.IsOpen())
        exports_->stop();
}

void TDebuggerLibrary::ActionStart(int serial, const QString& sourceName, int debugType, int sourceKind) {
    if (exports_->actionStart != nullptr)
        exports_->actionStart(serial, Text(sourceName).constData(), debugType, sourceKind);
}

void TDebuggerLibrary::AddAction(int serial, const QString& text, int kind) {
    if (exports_->addAction != nullptr)
        exports_->addAction(serial, Text(text).constData(), kind);
}

void TDebuggerLibrary::ActionComplete(int serial) {
    // The evaluator's serial stands for the evaluator: the same value for
    // the whole run of one script.
    if (exports_->actionComplete != nullptr)
        exports_->actionComplete(reinterpret_cast<void*>(static_cast<quintptr>(serial)));
}

int TDebuggerLibrary::ErrorReport(const QString& script, const QString& message, const QString& sourceName,
                                  int mode, int lineNo, int sourceKind) {
    if (exports_->errorReport == nullptr)
        return QX_DEBUG_STOP_SCRIPT;
    return exports_->errorReport(Text(script).constData(), Text(message).constData(),
                                 Text(sourceName).constData(), mode, lineNo, sourceKind);
}

void TDebuggerLibrary::Message(int message, int parameter) {
    if (exports_->message != nullptr)
        exports_->message(message, parameter);
}

void TDebuggerLibrary::VariableChanged(const QString& bracketedName, const QString& value) {
    if (exports_->setVar == nullptr)
        return;
    const QString name = bracketedName.mid(1, bracketedName.size() - 2);
    const TVarStringList* locals = LocalVars();
    const bool isLocal = locals != nullptr && locals->Contains(name);
    QSet<QString>& known = isLocal ? shownLocals_ : known_;
    const QString key = name.toUpper();
    int operation = QX_VAR_CHANGED;
    if (value.isEmpty()) {
        operation = QX_VAR_DELETED;
        known.remove(key);
    } else if (!known.contains(key)) {
        operation = QX_VAR_CREATED;
        known.insert(key);
    }
    exports_->setVar(operation, Text(bracketedName).constData(), Text(value).constData(), isLocal ? 1 : 0,
                     TypeLetter(GetVarType(bracketedName)));
}

void TDebuggerLibrary::LocalScopeChanged() {
    if (exports_->setVar == nullptr)
        return;
    for (const QString& key : std::as_const(shownLocals_))
        exports_->setVar(QX_VAR_DELETED, Text(QLatin1Char('[') + key + QLatin1Char(']')).constData(), "", 1, "U");
    shownLocals_.clear();
    const TVarStringList* locals = LocalVars();
    if (locals == nullptr)
        return;
    locals->ForEach([this](const QString& key, const QString& value, const TGenericVarInfo* info) {
        shownLocals_.insert(key.toUpper());
        exports_->setVar(QX_VAR_CREATED, Text(QLatin1Char('[') + key.toUpper() + QLatin1Char(']')).constData(),
                         Text(value).constData(), 1, TypeLetter(info != nullptr ? info->VarType : vtUndefined));
    });
}

void TDebuggerLibrary::VariablesCleared() {
    known_.clear();
    shownLocals_.clear();
    if (exports_->setVar != nullptr)
        exports_->setVar(QX_VAR_CLEARED, "", "", 0, "U");
}

void TDebuggerLibrary::LastErrorSet(const QString& text, bool) {
    AddAction(0, text, QX_LINE_ERROR);
}

} // namespace tomeric
