/*
 * An example plug-in for Tomeric Player, written against the public C
 * interface alone. It adds four commands and one page transition:
 *
 *   ExampleAppend "[Var]" "text"     appends text to a variable (GetVar, then SetVar)
 *   ExampleFileLine "file" "[Var]"   the file's first line and its size in bytes
 *   ExampleInfo "type" "[Var]"       what the player answers to GetInfo(type)
 *   ExampleRun "script"              runs an action script (RunScript)
 *   transition "Example Curtain"     the new page opens from the middle outwards
 *
 * and writes every message it hears to [ExampleEvents] ("1;6:2;...").
 *
 * Build it as a shared library ("example.so") and put it in the publication
 * folder; tomeric-pack stores it as a plug-in.
 */
#include <tomeric/plugin.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

QX_PLUGIN_DEFINE_VERSION

enum { CMD_APPEND = 1, CMD_FILE_LINE = 2, CMD_INFO = 3, CMD_RUN = 4 };
enum { EFFECT_CURTAIN = 1 };

static QXGetVar get_var;
static QXSetVar set_var;
static QXRunScript run_script;
static QXGetInfo get_info;

static char* copy_text(const char* text)
{
    char* copy = malloc(strlen(text) + 1);
    if (copy)
        strcpy(copy, text);
    return copy;
}

QX_EXPORT int qxInitPlugIn(QXWindowHandle main_window, char** name, char** info1, char** info2)
{
    (void)main_window;
    *name = copy_text("Example");
    *info1 = copy_text("Example plug-in");
    *info2 = NULL;
    return 1;
}

QX_EXPORT void qxRegisterScriptProcessor(QXRunScript callback) { run_script = callback; }
QX_EXPORT void qxRegisterInterfaceAccess(QXGetInfo callback) { get_info = callback; }

QX_EXPORT void qxRegisterEffect(QXAddEffect add_effect)
{
    add_effect(EFFECT_CURTAIN, "Example Curtain");
}

QX_EXPORT void qxRegisterPlugIn(QXAddAction add_action, QXReserved reserved, QXGetVar getter, QXSetVar setter)
{
    static const unsigned char append_kinds[] = {QX_PARAM_VARIABLE, QX_PARAM_TEXT};
    static const unsigned char file_kinds[] = {QX_PARAM_FILE, QX_PARAM_VARIABLE};
    static const unsigned char info_kinds[] = {QX_PARAM_NUMBER, QX_PARAM_VARIABLE};
    static const unsigned char run_kinds[] = {QX_PARAM_TEXT};
    (void)reserved;
    get_var = getter;
    set_var = setter;
    add_action(CMD_APPEND, "ExampleAppend", "", append_kinds, 2);
    add_action(CMD_FILE_LINE, "ExampleFileLine", "", file_kinds, 2);
    add_action(CMD_INFO, "ExampleInfo", "", info_kinds, 2);
    add_action(CMD_RUN, "ExampleRun", "", run_kinds, 1);
    add_action(0, "NeverRegistered", "", run_kinds, 1);
}

static void append(const char* variable, const char* text)
{
    char* old = NULL;
    get_var(variable, &old);
    size_t length = (old ? strlen(old) : 0) + strlen(text) + 1;
    char* value = malloc(length);
    if (value) {
        snprintf(value, length, "%s%s", old ? old : "", text);
        set_var(variable, value);
        free(value);
    }
    free(old);
}

static void file_line(const char* path, const char* variable)
{
    char line[256] = "";
    char value[300];
    FILE* file = fopen(path, "rb");
    if (!file) {
        set_var(variable, "cannot open");
        return;
    }
    if (fgets(line, sizeof line, file))
        line[strcspn(line, "\r\n")] = 0;
    fseek(file, 0, SEEK_END);
    snprintf(value, sizeof value, "%ld %s", ftell(file), line);
    fclose(file);
    set_var(variable, value);
}

static void info(const char* type, const char* variable)
{
    char* text = copy_text("Hello from the example plug-in");
    int answered = get_info(atoi(type), &text);
    set_var(variable, answered && text ? text : "(none)");
    free(text);
}

QX_EXPORT void qxExecAction(int id, char** params)
{
    switch (id) {
    case CMD_APPEND: append(params[0], params[1]); break;
    case CMD_FILE_LINE: file_line(params[0], params[1]); break;
    case CMD_INFO: info(params[0], params[1]); break;
    case CMD_RUN: run_script(params[0]); break;
    }
}

QX_EXPORT void qxMessage(int message, int parameter)
{
    char event[32];
    if (!set_var)
        return;
    if (message == QX_MSG_PAGE_CHANGING)
        snprintf(event, sizeof event, "%d:%d;", message, parameter);
    else
        snprintf(event, sizeof event, "%d;", message);
    append("[ExampleEvents]", event);
}

/* Opens the new page from the middle outwards in 8 steps. */
QX_EXPORT int qxRenderEffectEx(int id, const QXBitmap* from, const QXBitmap* to, const char* options,
                               int direction, int left, int top, int right, int bottom, QXCanvas* canvas)
{
    (void)from;
    (void)options;
    (void)direction;
    if (id != EFFECT_CURTAIN || !to || !canvas)
        return 0;
    int width = right - left, height = bottom - top;
    if (width > to->width)
        width = to->width;
    if (height > to->height)
        height = to->height;
    for (int step = 1; step <= 8; ++step) {
        int half = width * step / 16;
        int x0 = width / 2 - half, x1 = width / 2 + half;
        if (step == 8) {
            x0 = 0;
            x1 = width;
        }
        for (int y = 0; y < height; ++y) {
            const unsigned char* source = to->pixels + (size_t)y * to->stride + (size_t)x0 * 4;
            unsigned char* target = canvas->screen.pixels + (size_t)(top + y) * canvas->screen.stride +
                                    (size_t)(left + x0) * 4;
            memcpy(target, source, (size_t)(x1 - x0) * 4);
        }
        canvas->present(canvas, left, top, right, bottom);
        canvas->sleep(canvas, 10);
    }
    append("[ExampleEffect]", "Example Curtain;");
    return 1;
}

QX_EXPORT void qxAbout(void) {}
