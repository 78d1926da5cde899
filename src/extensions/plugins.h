#pragma once
// Plug-ins: native shared libraries that add commands and transitions to
// the action language through the C interface of include/tomeric/plugin.h.
//
// Each loaded plug-in is a command group of kind gkPlugIn in the one command
// table; the group owns the library (removing the group unloads it), so the
// table's group list is also the list of loaded plug-ins, in load order.
//
//     TPlugInHost host{&services, &pageList};   // what the callbacks reach
//     SetPlugInHost(&host);
//     LoadPlugIns(CurrentPackage().PreparePlugInFiles());
//     NotifyPlugIns(QX_MSG_LOADED);
//     NotifyPlugIns(QX_MSG_STARTED);
//     ...
//     UnloadPlugIns();

#include "actions/command_table.h"
#include "actions/services.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

struct QXBitmap;
struct QXCanvas;

namespace tomeric {

class TQXPageList;

// What the host callbacks (GetVar, SetVar, RunScript, GetInfo, OpenStream)
// reach. The program that loads plug-ins fills it in and keeps it alive
// while plug-ins are loaded.
struct TPlugInHost {
    Services* services = nullptr;      // RunScript, message boxes, files
    const TQXPageList* pages = nullptr; // page titles (GetInfo 3)
    QString title;                      // the message boxes' title
    void* mainWindow = nullptr;         // handed to InitPlugIn
    // GetInfo 7: the window id of a page object, "0" when there is none.
    std::function<QString(const QString& objectName)> objectWindow;
    // GetInfo 11: the page drawn into a picture; null when there is none.
    std::function<const QXBitmap*(const QString& pageName)> pageBitmap;
};
void SetPlugInHost(TPlugInHost* host);

// The host callbacks as plug-ins receive them (the debugger link hands the
// same ones to the debugger).
struct TPlugInCallbacks {
    int (*getVar)(const char* name, char** value);
    void (*setVar)(const char* name, const char* value);
    void (*runScript)(const char* script);
    int (*getInfo)(int type, char** text);
};
TPlugInCallbacks PlugInCallbacks();

// Why a library was refused; a message box shows the file name, a CR and
// the text. A library the system could not load shows the system's reason
// in a box of its own first (systemError).
struct TPlugInLoadResult {
    bool loaded = false;
    QString systemError;
    QString message;
};

// Loads one library and registers its commands and effects: the checks,
// then InitPlugIn, RegisterScriptProcessor, RegisterInterfaceAccess,
// RegisterStreamAccess, RegisterEffect and RegisterPlugIn in that order.
TPlugInLoadResult LoadPlugIn(const QString& path);
// Loads each library in order; every refusal is shown in its message box
// (through the host's dialogs) and the publication goes on without it.
void LoadPlugIns(const QStringList& paths);
// Every plug-in's Message entry, in load order.
void NotifyPlugIns(int message, int parameter = 0);
// Removes every plug-in group, unloading the libraries.
void UnloadPlugIns();
// True when a plug-in registered an effect of that name (any case).
bool HasPlugInEffect(const QString& name);
// Draws a plug-in's effect; false when no plug-in has it or it did not draw.
bool RenderPlugInEffect(const QString& name, const QXBitmap* from, const QXBitmap* to,
                        const QString& options, int direction, int left, int top, int right,
                        int bottom, QXCanvas* canvas);

} // namespace tomeric
