// QXDebug: the tracing debugger that ships with the player.
//
// Linked by preview packages that name its folder (tomeric-pack build
// --preview FOLDER). It writes one readable line per event to the file named
// by TOMERIC_DEBUG_TRACE, or to standard error:
//
//   debugger attached (preview mode 2)
//   script 3 starts: "Go" (script, source kind 1)
//   3 run   SetVar "[Score]" "5"
//   var [SCORE] = "5" (created, global, U)
//   3 skip  AlertBox "never"
//   page 2
//   error in "Go" line 4: Je ne comprends pas cette commande !
//   breakpoint in "Go" line 2: check the score
//
// A DebugBreakPoint asks on the terminal (standard input) what to do:
// "c" continue, "s" stop the script, "a" abort everything, "p NAME" print
// a variable and ask again. End of input continues. An error stops the
// script it happened in, as it does without a debugger.
//
// Built only against include/tomeric/debugger.h, like any debugger would be.

#include <tomeric/debugger.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct DebuggerState {
    std::FILE* trace = nullptr;
    bool ownsTrace = false;
    QXGetVar getVar = nullptr;
};

DebuggerState& State()
{
    static DebuggerState state;
    return state;
}

// Line breaks inside a text would break the one-line-per-event rule.
std::string OneLine(const char* text)
{
    std::string line = text != nullptr ? text : "";
    for (char& c : line)
        if (c == '\r' || c == '\n')
            c = ' ';
    return line;
}

void Trace(const std::string& line)
{
    std::FILE* out = State().trace != nullptr ? State().trace : stderr;
    std::fprintf(out, "%s\n", line.c_str());
    std::fflush(out);
}

const char* ScriptKind(int debugType)
{
    switch (debugType) {
    case 25: return "page script";
    case 27: return "plug-in script";
    default: return "script";
    }
}

const char* Operation(int operation)
{
    switch (operation) {
    case QX_VAR_CREATED: return "created";
    case QX_VAR_DELETED: return "deleted";
    default: return "changed";
    }
}

std::string Trimmed(const char* text)
{
    std::string s = text;
    const auto first = s.find_first_not_of(" \t\r\n");
    const auto last = s.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

void PrintVariable(const std::string& name)
{
    char* value = nullptr;
    if (State().getVar != nullptr)
        State().getVar(name.c_str(), &value);
    std::fprintf(stderr, "%s = \"%s\"\n", name.c_str(), value != nullptr ? value : "");
    Trace("print " + name + " = \"" + OneLine(value) + "\"");
    std::free(value);
}

// The breakpoint prompt: asks until it gets an answer.
int AskAtBreakpoint()
{
    char answer[512];
    for (;;) {
        std::fprintf(stderr, "breakpoint: [c]ontinue, [s]top the script, [a]bort all, [p]rint NAME > ");
        std::fflush(stderr);
        if (std::fgets(answer, sizeof answer, stdin) == nullptr) {
            Trace("answer: continue (end of input)");
            return QX_DEBUG_CONTINUE;
        }
        const std::string word = Trimmed(answer);
        if (word.empty() || word == "c" || word == "continue") {
            Trace("answer: continue");
            return QX_DEBUG_CONTINUE;
        }
        if (word == "s" || word == "stop") {
            Trace("answer: stop");
            return QX_DEBUG_STOP_SCRIPT;
        }
        if (word == "a" || word == "abort") {
            Trace("answer: abort");
            return QX_DEBUG_ABORT_ALL;
        }
        const auto space = word.find(' ');
        const std::string verb = word.substr(0, space);
        if ((verb == "p" || verb == "print") && space != std::string::npos)
            PrintVariable(Trimmed(word.substr(space + 1).c_str()));
        else
            std::fprintf(stderr, "unknown answer \"%s\"\n", word.c_str());
    }
}

} // namespace

extern "C" {

QX_EXPORT int Debug_Start(QXWindowHandle, QXWindowHandle, unsigned char previewMode, QXListKeywords, QXGetInfo,
                          QXRunScript, QXSetVar, QXGetVar getVar)
{
    DebuggerState& state = State();
    state.getVar = getVar;
    if (const char* path = std::getenv("TOMERIC_DEBUG_TRACE"); path != nullptr && *path != '\0') {
        state.trace = std::fopen(path, "w");
        if (state.trace == nullptr) {
            std::fprintf(stderr, "QXDebug: cannot write the trace to %s\n", path);
            return 0;
        }
        state.ownsTrace = true;
    }
    Trace("debugger attached (preview mode " + std::to_string(previewMode) + ")");
    return 1;
}

QX_EXPORT void Debug_AddAction(int serial, const char* text, int kind)
{
    const std::string who = std::to_string(serial);
    switch (kind) {
    case QX_LINE_SKIPPED: Trace(who + " skip  " + OneLine(text)); break;
    case QX_LINE_EXECUTED: Trace(who + " run   " + OneLine(text)); break;
    case QX_LINE_ERROR: Trace("[LastError] = \"" + OneLine(text) + "\""); break;
    case QX_LINE_COMMENT: Trace(who + " note  " + OneLine(text)); break;
    case QX_LINE_RUN_BEGINS: Trace("---"); break;
    }
}

QX_EXPORT void Debug_ActionStart(int serial, const char* sourceName, int debugType, int sourceKind)
{
    Trace("script " + std::to_string(serial) + " starts: \"" + OneLine(sourceName) + "\" (" +
          ScriptKind(debugType) + ", source kind " + std::to_string(sourceKind) + ")");
}

QX_EXPORT void Debug_ActionComplete(void*) {}

QX_EXPORT void Debug_SetVar(int operation, const char* name, const char* value, int isLocal, const char* typeLetter)
{
    if (operation == QX_VAR_CLEARED) {
        Trace("all variables cleared");
        return;
    }
    std::string line = std::string("var ") + OneLine(name);
    if (operation != QX_VAR_DELETED)
        line += " = \"" + OneLine(value) + "\"";
    line += std::string(" (") + Operation(operation) + (isLocal ? ", local, " : ", global, ") +
            (typeLetter != nullptr ? typeLetter : "U") + ")";
    Trace(line);
}

QX_EXPORT void Debug_Message(int message, int parameter)
{
    if (message == QX_DEBUG_PAGE_CHANGED)
        Trace("page " + std::to_string(parameter));
    else if (message == QX_DEBUG_WINDOW_ORDER)
        Trace("window order changed");
    else if (message == QX_DEBUG_FLOATING_WINDOW)
        Trace("floating window " + std::to_string(parameter));
}

QX_EXPORT int Debug_ErrorReport(const char*, const char* message, const char* sourceName, int mode, int lineNo,
                                int)
{
    const std::string where = std::string(mode == 1 ? "breakpoint" : "error") + " in \"" + OneLine(sourceName) +
                              "\" line " + std::to_string(lineNo) + ": " + OneLine(message);
    Trace(where);
    if (mode != 1)
        return QX_DEBUG_STOP_SCRIPT;
    if (State().trace != nullptr) // else the trace line above is on the terminal already
        std::fprintf(stderr, "%s\n", where.c_str());
    return AskAtBreakpoint();
}

QX_EXPORT void Debug_Stop(void)
{
    Trace("debugger detached");
    DebuggerState& state = State();
    if (state.ownsTrace && state.trace != nullptr)
        std::fclose(state.trace);
    state.trace = nullptr;
    state.ownsTrace = false;
}

} // extern "C"
