#pragma once
// The 66 built-in variables. Their values are not stored: each read
// computes the value, each write of a writable name runs a handler. What
// they report comes from three places the rest of the program fills in:
//  - PublicationFacts: what the shell knows about the publication it runs;
//  - BuiltinHost: the main window and the pages (the player implements it;
//    HeadlessBuiltinHost answers from a plain state struct);
//  - SystemServices: the clipboard (the player implements it with the
//    system clipboard; the headless default keeps the text in the process).

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace tomeric {

// Positions in BuiltinVarTable, in table order.
enum class BuiltinVar : int {
    PageTitle, PageNumber, P, Time, Time24, Hour, Minute, Second, DateShort, DateLong,
    Month, MonthNum, Day, DayNum, Year, Clipboard, WindowLeft, WindowTop, WindowWidth,
    WindowHeight, WindowState, PubWidth, PubHeight, PubTitle, MailServer, CDRomDrive,
    CommandLine, CurrentDir, NetworkDrive, PubAuthor, PubColors, PubDir, PubDrive,
    ScreenColors, ScreenHeight, ScreenWidth, SystemDir, TempDir, UserName, WinHandle,
    WindowsDir, WindowsPlatform, WindowsVer, ClientWidth, ClientHeight, QXMode, Self,
    SystemLanguage, HDSerialNum, TomericVersion, Embedded, MyDocuments, ProgramFiles, QXType,
    WindowOrder, FocusedObject, AppTitle, SystemLanguageExt, PubVersion, PageNumberLeft,
    PageNumberRight, PageNumberOffset, PageCount, DecimalSymbol, PubLeft, PubTop,
};
constexpr int kBuiltinVarCount = 66;

// Name and R/W mark of each built-in, in table order.
struct BuiltinVarEntry {
    const char* name;
    bool writable;
};
const BuiltinVarEntry& BuiltinVarAt(int position);
// The position of a built-in name (any case); nothing for other names.
std::optional<BuiltinVar> FindBuiltinVar(const QString& key);

// What the shell knows about the running publication. Filled at start-up
// (and again when another publication runs in the same window).
struct PublicationFacts {
    QString executablePath;   // the program's own path
    QString commandLineText;  // the arguments after the container switch, joined by CR
    QString publicationFile;  // the container (publication file) path
    QString author;           // AUTHOR=
    QString version;          // PUBVERSION=
    QString colors;           // SCREENCOLORS= as text
    QString mailServer;       // the mail server setting ([MailServer] writes it)
    int previewMode = 0;      // 0 normal run; 1, 2 preview
    int applicationKind = 0;  // 0 window, 1 screen saver, 2 tray application, 3 package
    QString tempDir;          // read when the main window is created; empty: the system's
    bool currentDirSet = false; // the publication changed [CurrentDir] (programs start there)
};
PublicationFacts& CurrentPublicationFacts();

// The main window and the pages, as the built-ins need them.
class BuiltinHost {
public:
    virtual ~BuiltinHost() = default;

    // Pages: the index being changed to during a page change, else the
    // current index; page titles by index (0 is the master page).
    virtual int NextPageIndex() const = 0;
    virtual QString PageTitle(int pageIndex) const = 0;
    virtual int PageCount() const = 0; // the master page not counted

    enum class Metric { WindowLeft, WindowTop, WindowWidth, WindowHeight, ClientWidth,
                        ClientHeight, PubWidth, PubHeight, PubLeft, PubTop };
    virtual int WindowMetric(Metric metric) const = 0;
    // Writable metrics: WindowLeft..WindowHeight, ClientWidth, ClientHeight,
    // PubWidth, PubHeight (the host does the resize rules of the window style).
    virtual void SetWindowMetric(Metric metric, int value) = 0;

    // "Minimized", "Maximized" or "Normal"; writing takes any text.
    virtual QString WindowState() const = 0;
    virtual void SetWindowState(const QString& value) = 0;
    // 0 normal, 1 on top, 2 on bottom.
    virtual int WindowOrder() const = 0;
    virtual void SetWindowOrder(int order) = 0;

    virtual QString PubTitle() const = 0;
    virtual void SetPubTitle(const QString& title) = 0;
    virtual QString AppTitle() const = 0;
    virtual void SetAppTitle(const QString& title) = 0;

    virtual QString FocusedObject() const = 0;
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
    virtual qint64 ScreenColors() const = 0;
    virtual quint64 WindowHandle() const = 0;
};

// The state a headless run keeps in place of a window.
struct HeadlessWindowState {
    QStringList pageTitles{QString()}; // index 0: the master page
    int pageIndex = 1;
    int windowLeft = 0, windowTop = 0, windowWidth = 800, windowHeight = 600;
    int clientWidth = 800, clientHeight = 600;
    int pubWidth = 800, pubHeight = 600, pubLeft = 0, pubTop = 0;
    QString windowState = QStringLiteral("Normal");
    int windowOrder = 0;
    QString pubTitle, appTitle, focusedObject;
    int screenWidth = 1024, screenHeight = 768;
    qint64 screenColors = 16777216;
};

class HeadlessBuiltinHost : public BuiltinHost {
public:
    HeadlessWindowState state;

    int NextPageIndex() const override;
    QString PageTitle(int pageIndex) const override;
    int PageCount() const override;
    int WindowMetric(Metric metric) const override;
    void SetWindowMetric(Metric metric, int value) override;
    QString WindowState() const override;
    void SetWindowState(const QString& value) override;
    int WindowOrder() const override;
    void SetWindowOrder(int order) override;
    QString PubTitle() const override;
    void SetPubTitle(const QString& title) override;
    QString AppTitle() const override;
    void SetAppTitle(const QString& title) override;
    QString FocusedObject() const override;
    int ScreenWidth() const override;
    int ScreenHeight() const override;
    qint64 ScreenColors() const override;
    quint64 WindowHandle() const override;
};

// The host in use; a process-wide HeadlessBuiltinHost until the player
// installs its own (pass null to go back to the headless one).
BuiltinHost& CurrentBuiltinHost();
HeadlessBuiltinHost& DefaultHeadlessHost();
void SetBuiltinHost(BuiltinHost* host);

// System services the built-ins use.
class SystemServices {
public:
    virtual ~SystemServices() = default;
    virtual QString ClipboardText() const = 0;
    // Empties the clipboard and, when the text is not empty, puts it there.
    virtual void SetClipboardText(const QString& text) = 0;
};
class HeadlessSystemServices : public SystemServices {
public:
    QString ClipboardText() const override { return clipboard_; }
    void SetClipboardText(const QString& text) override { clipboard_ = text; }

private:
    QString clipboard_;
};
SystemServices& CurrentSystemServices();
void SetSystemServices(SystemServices* services); // null: the headless one

// [Self]: the object whose event script runs (the evaluator sets it).
QString SelfName();
void SetSelfName(const QString& name);

// [PageNumberOffset], initially 0.
int PageNumberOffset();

// Back to the state of a publication that has just started: no [Self],
// page number offset 0. The shell calls it with ResetVariableStore when a
// publication starts in the window.
void ResetBuiltinVarState();

// True for the names that show the time or the date ([Time] ... [Year]).
constexpr bool IsTimeOrDateVar(BuiltinVar var) {
    return var >= BuiltinVar::Time && var <= BuiltinVar::Year;
}

// Reads a built-in. `now` is the instant time and date names show (the
// current time when it is not valid).
QString ReadBuiltinVar(BuiltinVar var, const QDateTime& now);
// Writes a writable built-in (the caller has checked the mark) and returns
// the upper-cased bracketed names of other built-ins whose value changed as
// a consequence (PageNumberOffset changes [PAGENUMBER] ...).
QStringList WriteBuiltinVar(BuiltinVar var, const QString& value);

// The system folders, with a trailing separator; see builtin_folders.cpp.
QString WindowsFolder();
QString SystemFolder();
QString DocumentsFolder();
QString ProgramFilesFolder();
QString TempFolder();
// The serial number of the volume that holds drive C: (0 when unreadable).
quint32 SystemVolumeSerialNumber();

} // namespace tomeric
