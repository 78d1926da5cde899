#include "extensions/plugins.h"

#include "actions/action_eval.h"
#include "actions/command_context.h"
#include "actions/page_navigation.h"
#include "extensions/shared_library.h"
#include "package/package.h"
#include "platform/cp1252.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "vars/variables.h"

#include <tomeric/plugin.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <vector>

namespace tomeric {
namespace {

// The version text plug-ins are told (GetInfo 6).
const char* const kPlayerVersionText = "561.0";

// ---- texts across the interface: malloc()ed Windows-1252 -------------------

char* NewText(const QString& text) {
    const QByteArray bytes = EncodeWindows1252(text);
    char* copy = static_cast<char*>(std::malloc(size_t(bytes.size()) + 1));
    if (copy != nullptr)
        std::memcpy(copy, bytes.constData(), size_t(bytes.size()) + 1);
    return copy;
}

QString FromText(const char* text) {
    return text != nullptr ? DecodeWindows1252(QByteArrayView(text, qsizetype(std::strlen(text)))) : QString();
}

// Takes a text the plug-in handed over and frees it.
QString AdoptText(char* text) {
    const QString value = FromText(text);
    std::free(text);
    return value;
}

// ---- process-wide state -------------------------------------------------------

struct PlugInState {
    TPlugInHost* host = nullptr;
    // The group whose library is inside RegisterPlugIn or RegisterEffect:
    // AddAction and AddEffect add to it, and are ignored at any other time.
    TCommandGroup* registering = nullptr;
    // Calls into plug-ins in progress. A plug-in may close the publication
    // from inside a call (RunScript "Exit"); its library is then kept here
    // until the call has returned into it.
    int callDepth = 0;
    std::vector<std::unique_ptr<TPlugInLibrary>> retired;
};

PlugInState& State() {
    static PlugInState state;
    return state;
}

Services* HostServices() {
    TPlugInHost* host = State().host;
    return host != nullptr ? host->services : nullptr;
}

void ShowBox(const QString& text) {
    Services* services = HostServices();
    if (services != nullptr && services->Dialogs != nullptr)
        services->Dialogs->AlertBox(State().host->title, text);
}

// ---- the library of one plug-in -------------------------------------------------

using InitPlugInFn = int (*)(QXWindowHandle, char**, char**, char**);
using InterfaceVersionFn = int (*)();
using RegisterPlugInFn = void (*)(QXAddAction, QXReserved, QXGetVar, QXSetVar);
using RegisterScriptProcessorFn = void (*)(QXRunScript);
using RegisterInterfaceAccessFn = void (*)(QXGetInfo);
using RegisterStreamAccessFn = void (*)(QXOpenStream);
using RegisterEffectFn = void (*)(QXAddEffect);
using ExecActionFn = void (*)(int, char**);
using MessageFn = void (*)(int, int);
using RenderEffectExFn = int (*)(int, const QXBitmap*, const QXBitmap*, const char*, int, int, int, int, int,
                                 QXCanvas*);
using RenderEffectFn = int (*)(int, const QXBitmap*, const char*, int, int, int, int, QXCanvas*);
using EditActionFn = int (*)(int, char**);
using AboutFn = void (*)();
using EditEffectFn = int (*)(int, char**);

class TNativePlugIn final : public TPlugInLibrary {
public:
    TSharedLibrary library;
    ExecActionFn execAction = nullptr;
    MessageFn message = nullptr;
    RenderEffectExFn renderEffectEx = nullptr;
    RenderEffectFn renderEffect = nullptr;
    // Kept for authoring tools; the player never calls them.
    EditActionFn editAction = nullptr;
    AboutFn about = nullptr;
    EditEffectFn editEffect = nullptr;

    void Execute(CommandContext& ctx) override;
    bool Render(int id, const QXBitmap* from, const QXBitmap* to, const QString& options, int direction,
                int left, int top, int right, int bottom, QXCanvas* canvas);
};

// A plug-in is C code: it should never throw, but one written in C++ may.
// What escapes is shown, and the script goes on.
template <class Call>
void Guarded(Call call) {
    PlugInState& state = State();
    ++state.callDepth;
    try {
        call();
    } catch (const std::exception& error) {
        ShowBox(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowBox(Message(msgPlugInNotLoaded));
    }
    if (--state.callDepth == 0)
        state.retired.clear();
}

void TNativePlugIn::Execute(CommandContext& ctx) {
    if (execAction == nullptr)
        return;
    const PublicationAccess* publication = ctx.Svc().Publication;
    std::array<char*, kMaxParams> params{};
    for (int slot = 1; slot <= ctx.Count() && slot <= kMaxParams; ++slot) {
        QString text = ctx.Param(slot);
        const uint8_t kind = ctx.Command().Kind(slot);
        if ((kind == pkFile || kind == pkDataFile) && !text.isEmpty() && publication != nullptr)
            text = platform::NativePath(publication->ResolveFile(text));
        params[size_t(slot - 1)] = NewText(text);
    }
    const int id = ctx.Command().Id;
    Guarded([&] { execAction(id, params.data()); });
    for (char* text : params)
        std::free(text);
}

bool TNativePlugIn::Render(int id, const QXBitmap* from, const QXBitmap* to, const QString& options,
                           int direction, int left, int top, int right, int bottom, QXCanvas* canvas) {
    const QByteArray optionText = EncodeWindows1252(options);
    int drew = 0;
    Guarded([&] {
        if (renderEffectEx != nullptr)
            drew = renderEffectEx(id, from, to, optionText.constData(), direction, left, top, right, bottom,
                                  canvas);
        else if (renderEffect != nullptr)
            drew = renderEffect(id, to, optionText.constData(), left, top, right, bottom, canvas);
    });
    return drew != 0;
}

TNativePlugIn* LibraryOf(const TCommandGroup& group) {
    return group.Kind == gkPlugIn ? dynamic_cast<TNativePlugIn*>(group.Library.get()) : nullptr;
}

// ---- host callbacks ------------------------------------------------------------

void HostAddAction(int id, const char* name, const char* /*unused*/, const unsigned char* kinds, int count) {
    TCommandGroup* group = State().registering;
    if (group == nullptr || id == 0 || name == nullptr)
        return;
    const int n = std::clamp(count, 0, kMaxParams);
    std::vector<uint8_t> kindList(static_cast<size_t>(n), static_cast<uint8_t>(pkText));
    if (kinds != nullptr)
        std::copy_n(kinds, n, kindList.begin());
    CommandTable().AddCommand(*group, id, FromText(name), kindList, uint8_t(n), uint8_t(n));
}

void HostReserved() {}

int HostGetVar(const char* name, char** value) {
    if (value == nullptr)
        return 0;
    *value = NewText(GetVariable(FromText(name)));
    return 1;
}

void HostSetVar(const char* name, const char* value) {
    SetVariable(FromText(name), FromText(value));
}

void HostRunScript(const char* script) {
    Services* services = HostServices();
    if (services == nullptr || script == nullptr || Runs().AbortAll)
        return;
    TActionEval eval(*services, FromText(script), 0, skPlugIn, dtPlugIn, QString());
    eval.Run();
}

QString PageTitles() {
    const TPlugInHost* host = State().host;
    QStringList titles;
    if (host != nullptr && host->pages != nullptr)
        for (int i = 1; i < host->pages->Count(); ++i)
            titles.append(host->pages->PageName(i));
    return titles.join(QStringLiteral("\r\n"));
}

QString SubroutineNames() {
    Services* services = HostServices();
    if (services == nullptr || services->Publication == nullptr)
        return QString();
    QStringList names;
    const QStringList lines = services->Publication->SubroutineText().split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const QString& line : lines)
        if (line.startsWith(u':'))
            names.append(line.mid(1));
    return names.join(QStringLiteral("\r\n"));
}

QString Information(int type, const QString& in) {
    const TPlugInHost* host = State().host;
    switch (type) {
    case QX_INFO_PAGE_TITLES: return PageTitles();
    case QX_INFO_SUBROUTINES: return SubroutineNames();
    case QX_INFO_VERSION: return QString::fromLatin1(kPlayerVersionText);
    case QX_INFO_OBJECT_WINDOW:
        return host != nullptr && host->objectWindow ? host->objectWindow(in) : QStringLiteral("0");
    case QX_INFO_MESSAGE_BOX: ShowBox(in); return QString();
    case QX_INFO_PAGE_BITMAP:
        if (host != nullptr && host->pageBitmap)
            if (const QXBitmap* bitmap = host->pageBitmap(in))
                return QString::number(reinterpret_cast<quintptr>(bitmap));
        return QString();
    default: return QString();
    }
}

// The answer replaces the text the plug-in passed in. An empty answer
// leaves a null pointer rather than the freed text, which the plug-in could
// otherwise go on using or free a second time.
int HostGetInfo(int type, char** text) {
    if (text == nullptr)
        return 0;
    const QString in = AdoptText(*text);
    *text = nullptr;
    const QString answer = Information(type, in);
    if (answer.isEmpty())
        return 0;
    *text = NewText(answer);
    return *text != nullptr ? 1 : 0;
}

struct StreamBox {
    QXStream stream{};
    QByteArray bytes;
};

void ReleaseStream(QXStream* stream) {
    if (stream != nullptr)
        delete static_cast<StreamBox*>(stream->host);
}

std::optional<QByteArray> PublicationFileBytes(const QString& name) {
    TPackage& package = CurrentPackage();
    const QString entry = package.FindIncludedName(name);
    if (package.FindEmbedded(entry) != nullptr) {
        const TEmbeddedLoad load = package.LoadEmbeddedToMemory(entry);
        return load.code == 0 ? std::optional<QByteArray>(load.data) : std::nullopt;
    }
    QString path = package.IsPreview() ? package.MapPreviewName(name) : name;
    if (Services* services = HostServices(); services != nullptr && services->Publication != nullptr)
        path = services->Publication->ResolveFile(path);
    QFile file(platform::NativePath(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

int HostOpenStream(const char* fileName, QXStream** stream) {
    if (stream == nullptr)
        return 0;
    *stream = nullptr;
    const std::optional<QByteArray> bytes = PublicationFileBytes(FromText(fileName));
    if (!bytes)
        return 0;
    auto* box = new StreamBox;
    box->bytes = *bytes;
    box->stream.data = reinterpret_cast<const unsigned char*>(box->bytes.constData());
    box->stream.size = box->bytes.size();
    box->stream.release = ReleaseStream;
    box->stream.host = box;
    *stream = &box->stream;
    return 1;
}

void HostAddEffect(int id, const char* name) {
    TCommandGroup* group = State().registering;
    if (group == nullptr || name == nullptr)
        return;
    group->Effects.push_back({FromText(name), id});
}

// ---- loading --------------------------------------------------------------------------

TPlugInLoadResult Refused(const QString& message, const QString& systemError = QString()) {
    return {false, systemError, message};
}

// A plug-in is built for this interface when its major version (hundreds)
// equals ours and its minor version is not newer.
bool CompatibleInterface(int version) {
    return version / 100 == TOMERIC_PLUGIN_INTERFACE_VERSION / 100 && version <= TOMERIC_PLUGIN_INTERFACE_VERSION;
}

void LookUpEntryPoints(TNativePlugIn& plugIn) {
    const TSharedLibrary& lib = plugIn.library;
    plugIn.execAction = lib.Find<ExecActionFn>("qxExecAction");
    plugIn.message = lib.Find<MessageFn>("qxMessage");
    plugIn.editAction = lib.Find<EditActionFn>("qxEditAction");
    plugIn.about = lib.Find<AboutFn>("qxAbout");
}

// The registration calls, in their fixed order; RegisterPlugIn comes last.
void Register(TNativePlugIn& plugIn, TCommandGroup& group) {
    const TSharedLibrary& lib = plugIn.library;
    State().registering = &group;
    if (auto call = lib.Find<RegisterScriptProcessorFn>("qxRegisterScriptProcessor"))
        Guarded([&] { call(HostRunScript); });
    if (auto call = lib.Find<RegisterInterfaceAccessFn>("qxRegisterInterfaceAccess"))
        Guarded([&] { call(HostGetInfo); });
    if (auto call = lib.Find<RegisterStreamAccessFn>("qxRegisterStreamAccess"))
        Guarded([&] { call(HostOpenStream); });
    if (auto call = lib.Find<RegisterEffectFn>("qxRegisterEffect")) {
        plugIn.renderEffectEx = lib.Find<RenderEffectExFn>("qxRenderEffectEx");
        plugIn.renderEffect = lib.Find<RenderEffectFn>("qxRenderEffect");
        plugIn.editEffect = lib.Find<EditEffectFn>("qxEditEffect");
        Guarded([&] { call(HostAddEffect); });
    }
    if (auto call = lib.Find<RegisterPlugInFn>("qxRegisterPlugIn"))
        Guarded([&] { call(HostAddAction, HostReserved, HostGetVar, HostSetVar); });
    State().registering = nullptr;
}

} // namespace

void SetPlugInHost(TPlugInHost* host) { State().host = host; }

TPlugInCallbacks PlugInCallbacks() { return {HostGetVar, HostSetVar, HostRunScript, HostGetInfo}; }

TPlugInLoadResult LoadPlugIn(const QString& path) {
    TCommandTable& table = CommandTable();
    if (!QFileInfo(path).isFile())
        return Refused(Message(msgNoSuchFile));
    if (table.FindGroupByFile(path) != nullptr)
        return Refused(Message(msgPlugInInstalled));
    const TLibraryFileCheck check = CheckLibraryFile(path);
    if (check.kind == TLibraryFileKind::lfWindows)
        return Refused(Message(msgPlugInBuiltForWindows));
    if (check.kind != TLibraryFileKind::lfLoadable)
        return Refused(Message(msgPlugInNotLoaded), check.reason);

    auto plugIn = std::make_unique<TNativePlugIn>();
    if (!plugIn->library.Open(path))
        return Refused(Message(msgPlugInNotLoaded), plugIn->library.ErrorText());
    const auto init = plugIn->library.Find<InitPlugInFn>("qxInitPlugIn");
    if (init == nullptr)
        return Refused(Message(msgNotAPlugIn));
    const auto version = plugIn->library.Find<InterfaceVersionFn>("qxPlugInInterfaceVersion");
    const int built = version != nullptr ? version() : 0;
    if (!CompatibleInterface(built))
        return Refused(Message(msgPlugInOtherInterface,
                               version != nullptr ? QString::number(built) : QStringLiteral("?")));

    char* texts[3] = {nullptr, nullptr, nullptr};
    int initialised = 0;
    Guarded([&] {
        initialised = init(State().host != nullptr ? State().host->mainWindow : nullptr, &texts[0], &texts[1],
                           &texts[2]);
    });
    const QString name = AdoptText(texts[0]);
    std::free(texts[1]);
    std::free(texts[2]);
    if (initialised == 0 || name.isEmpty())
        return Refused(Message(msgPlugInNotLoaded));
    if (table.FindGroupByName(name) != nullptr)
        return Refused(Message(msgPlugInNameConflict));

    LookUpEntryPoints(*plugIn);
    TNativePlugIn& loaded = *plugIn;
    TCommandGroup& group = table.AddCommandGroup(name, path, std::move(plugIn), gkPlugIn);
    Register(loaded, group);
    return {true, QString(), QString()};
}

void LoadPlugIns(const QStringList& paths) {
    for (const QString& path : paths) {
        const TPlugInLoadResult result = LoadPlugIn(path);
        if (result.loaded)
            continue;
        if (!result.systemError.isEmpty())
            ShowBox(result.systemError);
        ShowBox(path + QLatin1Char('\r') + result.message);
    }
}

void NotifyPlugIns(int message, int parameter) {
    // A plug-in may run a script that loads or drops groups: walk a copy.
    std::vector<TNativePlugIn*> plugIns;
    for (const auto& group : CommandTable().Groups())
        if (TNativePlugIn* plugIn = LibraryOf(*group))
            plugIns.push_back(plugIn);
    // Libraries unloaded by an earlier plug-in's message stay alive until
    // the loop ends, and are not called any more.
    Guarded([&] {
        for (TNativePlugIn* plugIn : plugIns) {
            const bool loaded = std::any_of(CommandTable().Groups().begin(), CommandTable().Groups().end(),
                                            [plugIn](const auto& group) { return LibraryOf(*group) == plugIn; });
            if (loaded && plugIn->message != nullptr)
                Guarded([&] { plugIn->message(message, parameter); });
        }
    });
}

void UnloadPlugIns() {
    TCommandTable& table = CommandTable();
    std::vector<TCommandGroup*> plugIns;
    for (const auto& group : table.Groups())
        if (group->Kind == gkPlugIn)
            plugIns.push_back(group.get());
    for (TCommandGroup* group : plugIns) {
        if (State().callDepth > 0)
            State().retired.push_back(std::move(group->Library));
        table.RemoveGroup(group);
    }
}

namespace {

std::pair<TNativePlugIn*, int> FindEffect(const QString& name) {
    for (const auto& group : CommandTable().Groups())
        if (TNativePlugIn* plugIn = LibraryOf(*group))
            for (const TEffectRecord& effect : group->Effects)
                if (effect.Name.compare(name, Qt::CaseInsensitive) == 0)
                    return {plugIn, effect.Id};
    return {nullptr, 0};
}

} // namespace

bool HasPlugInEffect(const QString& name) { return FindEffect(name).first != nullptr; }

bool RenderPlugInEffect(const QString& name, const QXBitmap* from, const QXBitmap* to, const QString& options,
                        int direction, int left, int top, int right, int bottom, QXCanvas* canvas) {
    const auto [plugIn, id] = FindEffect(name);
    return plugIn != nullptr && plugIn->Render(id, from, to, options, direction, left, top, right, bottom, canvas);
}

} // namespace tomeric
