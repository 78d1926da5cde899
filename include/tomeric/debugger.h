/*
 * Tomeric Player debugger interface.
 *
 * When a preview package names a debugger folder, the player loads the
 * debugger library from it ("QXDebug.so" on Linux, "QXDebug.dylib" on
 * macOS, "QXDebug.dll" on Windows), with the current folder switched to
 * that folder while it loads, and calls the functions below, which the
 * library exports with C linkage. When the library is missing, lacks
 * Debug_Start, or Debug_Start returns 0, the player says "Impossible
 * d'initialiser le débogueur." and ends.
 *
 * Every text is a zero-terminated Windows-1252 string that belongs to the
 * player and is valid during the call only. The host callbacks follow the
 * rules of plugin.h (QXGetVar's value is malloc()ed; free() it).
 * Every call comes from the player's main thread.
 */
#ifndef TOMERIC_DEBUGGER_H
#define TOMERIC_DEBUGGER_H

#include <tomeric/plugin.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A list the debugger owns; the player clears it, then adds each word. */
typedef struct QXWordList {
    void* owner;
    void (*clear)(void* owner);
    void (*add)(void* owner, const char* word);
} QXWordList;
/* Fills the list with the block words (ELSE, ENDIF, ENDWHILE, ENDLOOP,
 * DEBUGOFF, DEBUGON) and every command name, plug-ins' included. */
typedef void (*QXListKeywords)(QXWordList* list);

/* Debug_AddAction kinds. */
enum QXDebugLineKind {
    QX_LINE_SKIPPED = 0,  /* a line inside a branch that does not run */
    QX_LINE_EXECUTED = 1, /* a command line about to run */
    QX_LINE_ERROR = 2,    /* [LastError] was set; the text is the error */
    QX_LINE_COMMENT = 3,  /* a comment or a label */
    QX_LINE_RUN_BEGINS = 4 /* a script starts while no other runs; no text */
};

/* Debug_SetVar operations. */
enum QXDebugVarOperation {
    QX_VAR_CREATED = 0,
    QX_VAR_DELETED = 1,
    QX_VAR_CHANGED = 2,
    QX_VAR_CLEARED = 3 /* all variables were cleared */
};

/* Debug_Message messages. */
enum QXDebugMessage {
    QX_DEBUG_PAGE_CHANGED = 0,   /* parameter: the new page index */
    QX_DEBUG_WINDOW_ORDER = 3,
    QX_DEBUG_FLOATING_WINDOW = 4
};

/* Debug_ErrorReport answers. */
enum QXDebugAnswer {
    QX_DEBUG_CONTINUE = 0,
    QX_DEBUG_STOP_SCRIPT = 1,
    QX_DEBUG_ABORT_ALL = 3
};

/* Returns non-zero when the debugger is attached. `previewMode` is the
 * package's preview mode (1 single page, 2 whole publication). */
QX_EXPORT int Debug_Start(QXWindowHandle application, QXWindowHandle mainWindow, unsigned char previewMode,
                          QXListKeywords listKeywords, QXGetInfo getInfo, QXRunScript runScript,
                          QXSetVar setVar, QXGetVar getVar);
/* A line of script `serial` (see QXDebugLineKind). */
QX_EXPORT void Debug_AddAction(int serial, const char* text, int kind);
/* A script starts: `sourceName` names the object, page or label; debug
 * type 25 page scripts, 26 other scripts, 27 scripts started by plug-ins;
 * `sourceKind` says what started it. */
QX_EXPORT void Debug_ActionStart(int serial, const char* sourceName, int debugType, int sourceKind);
/* A line has been processed by the script `evaluator` (an opaque value that
 * stays the same for one script run). */
QX_EXPORT void Debug_ActionComplete(void* evaluator);
/* A variable changed (QXDebugVarOperation). `typeLetter` is "U", "S", "I",
 * "C", "P", "B" or "D" (untyped, string, integer, currency, decimal,
 * boolean, date). */
QX_EXPORT void Debug_SetVar(int operation, const char* name, const char* value, int isLocal,
                            const char* typeLetter);
QX_EXPORT void Debug_Message(int message, int parameter);
/* An error (mode 0) or a DebugBreakPoint (mode 1) in the script `script` at
 * line `lineNo`; answer with a QXDebugAnswer. */
QX_EXPORT int Debug_ErrorReport(const char* script, const char* message, const char* sourceName, int mode,
                                int lineNo, int sourceKind);
/* The publication closes; the library is unloaded after this. */
QX_EXPORT void Debug_Stop(void);

#ifdef __cplusplus
}
#endif

#endif /* TOMERIC_DEBUGGER_H */
