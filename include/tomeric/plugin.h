/*
 * Tomeric Player plug-in interface.
 *
 * A plug-in is a native shared library (".so" on Linux) that adds commands
 * and page transitions to the action language. It exports, with C linkage,
 * the functions declared below under the names given here; the player
 * looks them up by name when it loads the library:
 *
 *   qxInitPlugIn             required: the plug-in's name
 *   qxPlugInInterfaceVersion required: which version of this header it was
 *                            built against (write QX_PLUGIN_DEFINE_VERSION once)
 *   qxRegisterScriptProcessor, qxRegisterInterfaceAccess,
 *   qxRegisterStreamAccess, qxRegisterEffect, qxRegisterPlugIn
 *                            optional: receive the host callbacks
 *   qxExecAction             runs one of the plug-in's commands
 *   qxMessage                hears what happens to the publication
 *   qxRenderEffectEx, qxRenderEffect
 *                            draw the plug-in's transitions (only looked up
 *                            when qxRegisterEffect exists)
 *   qxEditAction, qxAbout, qxEditEffect
 *                            looked up and kept for authoring tools; the
 *                            player never calls them
 *
 * Order of the calls at load time (the publication's plug-ins are loaded
 * one after the other, in the order of the package, once the start page is
 * set):
 *
 *   1. qxInitPlugIn
 *   2. qxRegisterScriptProcessor   (when exported)
 *   3. qxRegisterInterfaceAccess   (when exported)
 *   4. qxRegisterStreamAccess      (when exported)
 *   5. qxRegisterEffect            (when exported)
 *   6. qxRegisterPlugIn            (when exported; always last)
 *
 * Commands and effects are registered from inside qxRegisterPlugIn and
 * qxRegisterEffect only; calls to QXAddAction or QXAddEffect at any other
 * time are ignored.
 *
 * TEXTS. Every text is a zero-terminated string of 8-bit characters in the
 * publication's code page (Windows-1252). Texts that change hands are
 * allocated with malloc() and freed with free() by whoever receives them:
 *
 *   - qxInitPlugIn: the plug-in allocates the three texts, the player frees
 *     them (a null pointer stands for an empty text);
 *   - QXGetVar: the player allocates the value, the plug-in frees it;
 *   - QXGetInfo: the plug-in passes a malloc()ed text (or null); the player
 *     frees it and stores a new malloc()ed answer, or null when there is
 *     none; the plug-in frees that answer;
 *   - qxExecAction: the parameter texts belong to the player and are freed
 *     when qxExecAction returns; copy what you keep.
 *
 * Every other text a function receives belongs to the caller and is only
 * valid during the call.
 *
 * THREADS. The player calls every entry point on its main thread, and the
 * host callbacks may only be called from that thread, from inside a call of
 * the player (a command, a message, a transition).
 *
 * A plug-in built for Windows cannot be loaded: the player recognises such a
 * library and says so. Recompile it against this header.
 */
#ifndef TOMERIC_PLUGIN_H
#define TOMERIC_PLUGIN_H

#ifdef __cplusplus
extern "C" {
#endif

/* The version of this interface. The player loads plug-ins built for the
 * same major version (the hundreds) and a minor version not above its own. */
#define TOMERIC_PLUGIN_INTERFACE_VERSION 100

#if defined(_WIN32)
#define QX_EXPORT __declspec(dllexport)
#else
#define QX_EXPORT __attribute__((visibility("default")))
#endif

/* The player's main window, as an opaque handle. */
typedef void* QXWindowHandle;

/* Parameter kinds of a command's parameters (QXAddAction). */
enum QXParamKind {
    QX_PARAM_TEXT = 1,         /* [variables] substituted */
    QX_PARAM_DISPLAY_TEXT = 2,
    QX_PARAM_NUMBER = 3,       /* math expressions computed */
    QX_PARAM_VALUE = 4,
    QX_PARAM_FILE = 5,         /* handed over as a path on disk */
    QX_PARAM_VARIABLE = 6,     /* handed over as the variable's name */
    QX_PARAM_DATA_FILE = 7,    /* handed over as a path on disk */
    QX_PARAM_OBJECT_NAME = 8,
    QX_PARAM_MENU_ITEM = 9,
    QX_PARAM_PLUGIN_FILE = 10
};

/* What qxMessage hears. The parameter is 0 unless said otherwise. */
enum QXMessage {
    QX_MSG_STARTED = 1,         /* the publication starts */
    QX_MSG_CLOSING = 2,         /* the main window closes */
    QX_MSG_DEACTIVATED = 3,     /* the application lost the focus */
    QX_MSG_ACTIVATED = 4,       /* the application got the focus */
    QX_MSG_MOVED = 5,           /* the main window moved or was resized */
    QX_MSG_PAGE_CHANGING = 6,   /* a page change begins; parameter: the new page index */
    QX_MSG_MINIMIZED = 7,
    QX_MSG_RESTORED = 8,
    QX_MSG_LOADED = 9           /* the publication's settings are applied */
};

/* What QXGetInfo answers. */
enum QXInfoType {
    QX_INFO_PAGE_TITLES = 3,   /* the page titles, one per line (CR LF) */
    QX_INFO_SUBROUTINES = 5,   /* the names of the global subroutines, one per line */
    QX_INFO_VERSION = 6,       /* the player's version text, "561.0" */
    QX_INFO_OBJECT_WINDOW = 7, /* in: an object name; out: its window id in decimal, "0" for none */
    QX_INFO_MESSAGE_BOX = 9,   /* in: a text the player shows in a message box */
    QX_INFO_PAGE_BITMAP = 11   /* in: a page name; out: the address of a QXBitmap (decimal)
                                  holding that page, valid until the next such call */
};

/* A picture of 32-bit pixels, each 0xAARRGGBB in the machine's byte order
 * (alpha is 0xFF: pictures are opaque). Rows are `stride` bytes apart. */
typedef struct QXBitmap {
    int width;
    int height;
    int stride;
    unsigned char* pixels;
} QXBitmap;

/* Where a transition draws: `screen` holds what the window shows; the
 * effect's area is the rectangle passed to qxRenderEffect(Ex) in its
 * coordinates. Draw a step into `screen`, call present() with the rectangle
 * that changed, then sleep() between steps (the window stays live). */
typedef struct QXCanvas {
    QXBitmap screen;
    void (*present)(struct QXCanvas* canvas, int left, int top, int right, int bottom);
    void (*sleep)(struct QXCanvas* canvas, int milliseconds);
    void* host; /* the player's own; do not touch */
} QXCanvas;

/* A readable stream over a file of the publication (QXOpenStream). Free it
 * with release(); the bytes are valid until then. */
typedef struct QXStream {
    const unsigned char* data;
    long long size;
    void (*release)(struct QXStream* stream);
    void* host; /* the player's own; do not touch */
} QXStream;

/* ---- host callbacks --------------------------------------------------- */

/* Adds a command to the plug-in's group: qxExecAction receives `id` when a
 * script uses `name`. `kinds` holds `count` parameter kinds (at most 10);
 * the command then takes exactly `count` parameters. `unused` is ignored.
 * Id 0 registers nothing. */
typedef void (*QXAddAction)(int id, const char* name, const char* unused,
                            const unsigned char* kinds, int count);
/* Does nothing (kept for the argument list of qxRegisterPlugIn). */
typedef void (*QXReserved)(void);
/* The value of a variable ("[Name]" or "Name") as a new text; returns 1. */
typedef int (*QXGetVar)(const char* name, char** value);
/* Writes a variable through the player's one write path. */
typedef void (*QXSetVar)(const char* name, const char* value);
/* Runs an action script now, to its end. */
typedef void (*QXRunScript)(const char* script);
/* Answers an information request (see QXInfoType); returns 1 when a
 * non-empty answer was stored in *text, else 0 with *text null. */
typedef int (*QXGetInfo)(int type, char** text);
/* Opens a file of the publication (an included file or a file on disk);
 * returns 1 with *stream set, else 0. */
typedef int (*QXOpenStream)(const char* fileName, QXStream** stream);
/* Adds a transition named `name`; qxRenderEffect(Ex) receives `id`. */
typedef void (*QXAddEffect)(int id, const char* name);

/* ---- entry points (what a plug-in exports) ----------------------------- */

/* Returns non-zero on success; *name is the plug-in's name, unique among
 * the publication's plug-ins. *info1 and *info2 may describe the plug-in
 * for people; the player does not use them. */
QX_EXPORT int qxInitPlugIn(QXWindowHandle mainWindow, char** name, char** info1, char** info2);
QX_EXPORT int qxPlugInInterfaceVersion(void);
QX_EXPORT void qxRegisterPlugIn(QXAddAction addAction, QXReserved reserved, QXGetVar getVar,
                                QXSetVar setVar);
QX_EXPORT void qxRegisterScriptProcessor(QXRunScript runScript);
QX_EXPORT void qxRegisterInterfaceAccess(QXGetInfo getInfo);
QX_EXPORT void qxRegisterStreamAccess(QXOpenStream openStream);
QX_EXPORT void qxRegisterEffect(QXAddEffect addEffect);
/* `params` holds 10 texts: the command's parameters, evaluated (files as
 * paths on disk, variables as their names), then null pointers. Results go
 * back through QXSetVar. */
QX_EXPORT void qxExecAction(int id, char** params);
QX_EXPORT void qxMessage(int message, int parameter);
/* Draw transition `id` in the area from `left, top` to `right, bottom`
 * (exclusive) of `canvas`; `from` is the old picture or null, `to` the new
 * one, the size of the area. `direction` is negative for a backward page
 * change. Return non-zero when the effect was drawn; the player then shows
 * `to` in any case. qxRenderEffectEx is preferred when both exist. */
QX_EXPORT int qxRenderEffectEx(int id, const QXBitmap* from, const QXBitmap* to, const char* options,
                               int direction, int left, int top, int right, int bottom,
                               QXCanvas* canvas);
QX_EXPORT int qxRenderEffect(int id, const QXBitmap* to, const char* options, int left, int top,
                             int right, int bottom, QXCanvas* canvas);
QX_EXPORT int qxEditAction(int id, char** params);
QX_EXPORT void qxAbout(void);
QX_EXPORT int qxEditEffect(int id, char** options);

/* Write this once in one source file of the plug-in. */
#define QX_PLUGIN_DEFINE_VERSION \
    QX_EXPORT int qxPlugInInterfaceVersion(void) { return TOMERIC_PLUGIN_INTERFACE_VERSION; }

#ifdef __cplusplus
}
#endif

#endif /* TOMERIC_PLUGIN_H */
