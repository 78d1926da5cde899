#include "vars/builtin_vars.h"

#include "platform/decimal_symbol.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "vars/dates.h"
#include "vars/typed_values.h"
#include "vars/variables.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <array>

namespace tomeric {
namespace {

using Metric = BuiltinHost::Metric;

constexpr std::array<BuiltinVarEntry, kBuiltinVarCount> kBuiltins = {{
    {"PageTitle", false},      {"PageNumber", false},     {"P", false},
    {"Time", false},           {"Time24", false},         {"Hour", false},
    {"Minute", false},         {"Second", false},         {"DateShort", false},
    {"DateLong", false},       {"Month", false},          {"MonthNum", false},
    {"Day", false},            {"DayNum", false},         {"Year", false},
    {"Clipboard", true},       {"WindowLeft", true},      {"WindowTop", true},
    {"WindowWidth", true},     {"WindowHeight", true},    {"WindowState", true},
    {"PubWidth", true},        {"PubHeight", true},       {"PubTitle", true},
    {"MailServer", true},      {"CDRomDrive", false},     {"CommandLine", false},
    {"CurrentDir", true},      {"NetworkDrive", false},   {"PubAuthor", false},
    {"PubColors", false},      {"PubDir", false},         {"PubDrive", false},
    {"ScreenColors", false},   {"ScreenHeight", false},   {"ScreenWidth", false},
    {"SystemDir", false},      {"TempDir", false},        {"UserName", false},
    {"WinHandle", false},      {"WindowsDir", false},     {"WindowsPlatform", false},
    {"WindowsVer", false},     {"ClientWidth", true},     {"ClientHeight", true},
    {"QXMode", false},         {"Self", false},           {"SystemLanguage", false},
    {"HDSerialNum", false},    {"TomericVersion", false}, {"Embedded", false},
    {"MyDocuments", false},    {"ProgramFiles", false},   {"QXType", false},
    {"WindowOrder", true},     {"FocusedObject", false},  {"AppTitle", true},
    {"SystemLanguageExt", false}, {"PubVersion", false},  {"PageNumberLeft", false},
    {"PageNumberRight", false}, {"PageNumberOffset", true}, {"PageCount", false},
    {"DecimalSymbol", true},   {"PubLeft", false},        {"PubTop", false},
}};

// The system this player runs on reports itself as a Windows NT-family
// system of the current generation: platform id 2, version 10.0.
constexpr int kReportedPlatformId = 2;
const char* const kReportedWindowsVersion = "10.0";

struct BuiltinState {
    BuiltinHost* host = nullptr;
    SystemServices* services = nullptr;
    QString self;
    int pageNumberOffset = 0;
};

BuiltinState& State() {
    static BuiltinState state;
    return state;
}

int WholeNumber(const QString& value) { return ReadInteger(value).value_or(0); }

QString PositiveOrEmpty(int number) { return number > 0 ? QString::number(number) : QString(); }

QString Formatted(const char* pattern, const QDateTime& now) {
    return FormatDateTime(QString::fromLatin1(pattern), now);
}

QString CommandLineValue() {
    const PublicationFacts& facts = CurrentPublicationFacts();
    if (facts.commandLineText.isEmpty())
        return facts.executablePath;
    return facts.executablePath + u'\r' + facts.commandLineText;
}

// "X:" when the publication lies on a lettered drive; a publication on a
// system without drive letters answers "" (its paths are rooted at "/").
QString PublicationDrive() {
    const QString file = CurrentPublicationFacts().publicationFile;
    if (file.size() >= 2 && file[1] == u':' && file[0].isLetter())
        return file.left(2);
    if (file.startsWith(QLatin1String("\\\\")) || file.startsWith(QLatin1String("//"))) {
        const qsizetype server = file.indexOf(QRegularExpression(QStringLiteral("[\\\\/]")), 2);
        const qsizetype share =
            server < 0 ? -1 : file.indexOf(QRegularExpression(QStringLiteral("[\\\\/]")), server + 1);
        return share < 0 ? file : file.left(share);
    }
    return {};
}

QString PublicationFolder() {
    const QString file = CurrentPublicationFacts().publicationFile;
    if (file.isEmpty())
        return {};
    return platform::WithTrailingSeparator(QFileInfo(file).absolutePath());
}

QString UserNameValue() {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    return Message(msgUnknown);
}

QString ApplicationKindLetter() {
    switch (CurrentPublicationFacts().applicationKind) {
    case 1: return QStringLiteral("S");
    case 2: return QStringLiteral("T");
    case 3: return QStringLiteral("W");
    default: return QStringLiteral("A");
    }
}

QString HostMetric(Metric metric) {
    return QString::number(CurrentBuiltinHost().WindowMetric(metric));
}

QString PageNumberValue(int offset) {
    return QString::number(CurrentBuiltinHost().NextPageIndex() - offset);
}

QString ReadTimeOrDate(BuiltinVar var, const QDateTime& now) {
    switch (var) {
    case BuiltinVar::Time: return Formatted("h:nn:ss ampm", now);
    case BuiltinVar::Time24: return Formatted("h:nn:ss", now);
    case BuiltinVar::Hour: return Formatted("h", now);
    case BuiltinVar::Minute: return Formatted("nn", now);
    case BuiltinVar::Second: return Formatted("ss", now);
    case BuiltinVar::DateShort: return Formatted("ddddd", now);
    case BuiltinVar::DateLong: return Formatted("dddddd", now);
    case BuiltinVar::Month: return Formatted("mmmm", now);
    case BuiltinVar::MonthNum: return Formatted("m", now);
    case BuiltinVar::Day: return Formatted("dddd", now);
    case BuiltinVar::DayNum: return Formatted("d", now);
    case BuiltinVar::Year: return Formatted("yyyy", now);
    default: return {};
    }
}

std::optional<QString> ReadWindowOrPage(BuiltinVar var) {
    const BuiltinHost& host = CurrentBuiltinHost();
    const int offset = State().pageNumberOffset;
    switch (var) {
    case BuiltinVar::PageTitle: return host.PageTitle(host.NextPageIndex());
    case BuiltinVar::PageNumber:
    case BuiltinVar::P: return PageNumberValue(offset);
    case BuiltinVar::WindowLeft: return HostMetric(Metric::WindowLeft);
    case BuiltinVar::WindowTop: return HostMetric(Metric::WindowTop);
    case BuiltinVar::WindowWidth: return HostMetric(Metric::WindowWidth);
    case BuiltinVar::WindowHeight: return HostMetric(Metric::WindowHeight);
    case BuiltinVar::WindowState: return host.WindowState();
    case BuiltinVar::PubWidth: return HostMetric(Metric::PubWidth);
    case BuiltinVar::PubHeight: return HostMetric(Metric::PubHeight);
    case BuiltinVar::PubTitle: return host.PubTitle();
    case BuiltinVar::ScreenColors: return QString::number(host.ScreenColors());
    case BuiltinVar::ScreenHeight: return QString::number(host.ScreenHeight());
    case BuiltinVar::ScreenWidth: return QString::number(host.ScreenWidth());
    case BuiltinVar::WinHandle: return QString::number(host.WindowHandle());
    case BuiltinVar::ClientWidth: return HostMetric(Metric::ClientWidth);
    case BuiltinVar::ClientHeight: return HostMetric(Metric::ClientHeight);
    case BuiltinVar::WindowOrder: {
        static const char* const kOrders[] = {"Normal", "OnTop", "OnBottom"};
        const int order = host.WindowOrder();
        return QString::fromLatin1(kOrders[order >= 0 && order <= 2 ? order : 0]);
    }
    case BuiltinVar::FocusedObject: return host.FocusedObject();
    case BuiltinVar::AppTitle: return host.AppTitle();
    case BuiltinVar::PageNumberLeft: return PositiveOrEmpty(2 * host.NextPageIndex() - offset - 1);
    case BuiltinVar::PageNumberRight: return PositiveOrEmpty(2 * host.NextPageIndex() - offset);
    case BuiltinVar::PageCount: return QString::number(host.PageCount());
    case BuiltinVar::PubLeft: return HostMetric(Metric::PubLeft);
    case BuiltinVar::PubTop: return HostMetric(Metric::PubTop);
    default: return std::nullopt;
    }
}

QString SystemLanguageName(const QLocale& locale);
QString SystemLanguageAbbreviation(const QLocale& locale);

QString ReadSystemOrPublication(BuiltinVar var) {
    const PublicationFacts& facts = CurrentPublicationFacts();
    switch (var) {
    case BuiltinVar::Clipboard: return CurrentSystemServices().ClipboardText();
    case BuiltinVar::MailServer: return facts.mailServer;
    case BuiltinVar::CDRomDrive:
    case BuiltinVar::NetworkDrive: return QStringLiteral("Error"); // no lettered drives here
    case BuiltinVar::CommandLine: return CommandLineValue();
    case BuiltinVar::CurrentDir: return platform::WithTrailingSeparator(QDir::currentPath());
    case BuiltinVar::PubAuthor: return facts.author;
    case BuiltinVar::PubColors: return facts.colors;
    case BuiltinVar::PubDir: return PublicationFolder();
    case BuiltinVar::PubDrive: return PublicationDrive();
    case BuiltinVar::SystemDir: return SystemFolder();
    case BuiltinVar::TempDir: return facts.tempDir.isEmpty() ? TempFolder() : facts.tempDir;
    case BuiltinVar::UserName: return UserNameValue();
    case BuiltinVar::WindowsDir: return WindowsFolder();
    case BuiltinVar::WindowsPlatform: return QString::number(kReportedPlatformId);
    case BuiltinVar::WindowsVer: return QString::fromLatin1(kReportedWindowsVersion);
    case BuiltinVar::QXMode: return facts.previewMode != 0 ? QStringLiteral("D") : QStringLiteral("R");
    case BuiltinVar::Self: return State().self;
    case BuiltinVar::SystemLanguage: return SystemLanguageName(QLocale());
    case BuiltinVar::HDSerialNum: return QString::number(SystemVolumeSerialNumber());
    case BuiltinVar::TomericVersion: return QStringLiteral("561.0");
    case BuiltinVar::Embedded: return QStringLiteral("embedded:\\\\\\");
    case BuiltinVar::MyDocuments: return DocumentsFolder();
    case BuiltinVar::ProgramFiles: return ProgramFilesFolder();
    case BuiltinVar::QXType: return ApplicationKindLetter();
    case BuiltinVar::SystemLanguageExt: return SystemLanguageAbbreviation(QLocale());
    case BuiltinVar::PubVersion: return facts.version;
    case BuiltinVar::PageNumberOffset: return QString::number(State().pageNumberOffset);
    case BuiltinVar::DecimalSymbol: return QString(DecimalSymbol());
    default: return {};
    }
}

// Windows' three-letter language abbreviations for common locales; other
// locales give their ISO 639-2 (terminology) code upper-cased.
struct LanguageAbbreviation {
    const char* locale;
    const char* abbreviation;
};
constexpr LanguageAbbreviation kAbbreviations[] = {
    {"en_US", "ENU"}, {"en_GB", "ENG"}, {"en_AU", "ENA"}, {"en_CA", "ENC"}, {"en_NZ", "ENZ"},
    {"en_IE", "ENI"}, {"fr_FR", "FRA"}, {"fr_BE", "FRB"}, {"fr_CA", "FRC"}, {"fr_CH", "FRS"},
    {"fr_LU", "FRL"}, {"de_DE", "DEU"}, {"de_CH", "DES"}, {"de_AT", "DEA"}, {"de_LU", "DEL"},
    {"it_IT", "ITA"}, {"it_CH", "ITS"}, {"es_ES", "ESN"}, {"es_MX", "ESM"}, {"nl_NL", "NLD"},
    {"nl_BE", "NLB"}, {"pt_BR", "PTB"}, {"pt_PT", "PTG"}, {"sv_SE", "SVE"}, {"da_DK", "DAN"},
    {"nb_NO", "NOR"}, {"fi_FI", "FIN"}, {"pl_PL", "PLK"}, {"cs_CZ", "CSY"}, {"hu_HU", "HUN"},
    {"ru_RU", "RUS"}, {"ja_JP", "JPN"}, {"zh_CN", "CHS"}, {"zh_TW", "CHT"}, {"ko_KR", "KOR"},
};

QString SystemLanguageAbbreviation(const QLocale& locale) {
    if (locale.language() == QLocale::C)
        return QStringLiteral("<unknown>");
    const QString name = locale.name();
    for (const LanguageAbbreviation& entry : kAbbreviations)
        if (name == QLatin1String(entry.locale))
            return QString::fromLatin1(entry.abbreviation);
    const QString iso = QLocale::languageToCode(locale.language(), QLocale::ISO639Part2T);
    return iso.isEmpty() ? QStringLiteral("<unknown>") : iso.toUpper();
}

QString SystemLanguageName(const QLocale& locale) {
    const QString language = QLocale::languageToString(locale.language());
    if (locale.territory() == QLocale::AnyTerritory)
        return language;
    return language + QStringLiteral(" (") + QLocale::territoryToString(locale.territory()) + u')';
}

} // namespace

// ---- table -----------------------------------------------------------------------

const BuiltinVarEntry& BuiltinVarAt(int position) { return kBuiltins.at(static_cast<std::size_t>(position)); }

const TVarStringList& BuiltinVarTable() {
    static const TVarStringList& table = [] () -> const TVarStringList& {
        static TVarStringList list;
        for (const BuiltinVarEntry& entry : kBuiltins)
            list.Set(QString::fromLatin1(entry.name), entry.writable ? QStringLiteral("W") : QStringLiteral("R"));
        return list;
    }();
    return table;
}

std::optional<BuiltinVar> FindBuiltinVar(const QString& key) {
    static const QHash<QString, int> positions = [] {
        QHash<QString, int> map;
        for (int i = 0; i < kBuiltinVarCount; ++i)
            map.insert(TVarStringList::Fold(QString::fromLatin1(kBuiltins[static_cast<std::size_t>(i)].name)), i);
        return map;
    }();
    const auto it = positions.constFind(TVarStringList::Fold(key));
    if (it == positions.constEnd())
        return std::nullopt;
    return static_cast<BuiltinVar>(*it);
}

// ---- state -----------------------------------------------------------------------

PublicationFacts& CurrentPublicationFacts() {
    static PublicationFacts facts;
    return facts;
}

HeadlessBuiltinHost& DefaultHeadlessHost() {
    static HeadlessBuiltinHost host;
    return host;
}

BuiltinHost& CurrentBuiltinHost() {
    BuiltinHost* host = State().host;
    return host ? *host : DefaultHeadlessHost();
}

void SetBuiltinHost(BuiltinHost* host) { State().host = host; }

SystemServices& CurrentSystemServices() {
    static HeadlessSystemServices headless;
    SystemServices* services = State().services;
    return services ? *services : headless;
}

void SetSystemServices(SystemServices* services) { State().services = services; }

QString SelfName() { return State().self; }
void SetSelfName(const QString& name) { State().self = name; }
int PageNumberOffset() { return State().pageNumberOffset; }

void ResetBuiltinVarState() {
    State().self.clear();
    State().pageNumberOffset = 0;
}

// ---- reading and writing ---------------------------------------------------------------

QString ReadBuiltinVar(BuiltinVar var, const QDateTime& now) {
    if (IsTimeOrDateVar(var))
        return ReadTimeOrDate(var, now.isValid() ? now : QDateTime::currentDateTime());
    if (std::optional<QString> fromHost = ReadWindowOrPage(var))
        return *fromHost;
    return ReadSystemOrPublication(var);
}

QStringList WriteBuiltinVar(BuiltinVar var, const QString& value) {
    BuiltinHost& host = CurrentBuiltinHost();
    switch (var) {
    case BuiltinVar::Clipboard: CurrentSystemServices().SetClipboardText(value); break;
    case BuiltinVar::WindowLeft: host.SetWindowMetric(Metric::WindowLeft, WholeNumber(value)); break;
    case BuiltinVar::WindowTop: host.SetWindowMetric(Metric::WindowTop, WholeNumber(value)); break;
    case BuiltinVar::WindowWidth: host.SetWindowMetric(Metric::WindowWidth, WholeNumber(value)); break;
    case BuiltinVar::WindowHeight: host.SetWindowMetric(Metric::WindowHeight, WholeNumber(value)); break;
    case BuiltinVar::WindowState: host.SetWindowState(value); break;
    case BuiltinVar::PubWidth: host.SetWindowMetric(Metric::PubWidth, WholeNumber(value)); break;
    case BuiltinVar::PubHeight: host.SetWindowMetric(Metric::PubHeight, WholeNumber(value)); break;
    case BuiltinVar::PubTitle: host.SetPubTitle(value); break;
    case BuiltinVar::MailServer: CurrentPublicationFacts().mailServer = value; break;
    case BuiltinVar::CurrentDir:
        if (QDir::setCurrent(platform::NativePath(value)))
            CurrentPublicationFacts().currentDirSet = true;
        else
            SetLastError(Message(msgPathMissing));
        break;
    case BuiltinVar::ClientWidth: host.SetWindowMetric(Metric::ClientWidth, WholeNumber(value)); break;
    case BuiltinVar::ClientHeight: host.SetWindowMetric(Metric::ClientHeight, WholeNumber(value)); break;
    case BuiltinVar::WindowOrder: {
        const QString word = value.trimmed();
        const int order = word.compare(QLatin1String("ONTOP"), Qt::CaseInsensitive) == 0      ? 1
                          : word.compare(QLatin1String("ONBOTTOM"), Qt::CaseInsensitive) == 0 ? 2
                                                                                                : 0;
        if (order != host.WindowOrder())
            host.SetWindowOrder(order);
        break;
    }
    case BuiltinVar::AppTitle: host.SetAppTitle(value); break;
    case BuiltinVar::PageNumberOffset:
        State().pageNumberOffset = WholeNumber(value);
        return {QStringLiteral("[PAGENUMBER]"), QStringLiteral("[P]"), QStringLiteral("[PAGENUMBERLEFT]"),
                QStringLiteral("[PAGENUMBERRIGHT]")};
    case BuiltinVar::DecimalSymbol:
        if (value.size() == 1)
            SetDecimalSymbol(value[0]);
        else
            ResetDecimalSymbol();
        break;
    default: break;
    }
    return {};
}

// ---- the headless host ----------------------------------------------------------------

int HeadlessBuiltinHost::NextPageIndex() const { return state.pageIndex; }

QString HeadlessBuiltinHost::PageTitle(int pageIndex) const {
    return pageIndex >= 0 && pageIndex < state.pageTitles.size() ? state.pageTitles[pageIndex] : QString();
}

int HeadlessBuiltinHost::PageCount() const {
    return std::max<int>(0, static_cast<int>(state.pageTitles.size()) - 1);
}

int HeadlessBuiltinHost::WindowMetric(Metric metric) const {
    switch (metric) {
    case Metric::WindowLeft: return state.windowLeft;
    case Metric::WindowTop: return state.windowTop;
    case Metric::WindowWidth: return state.windowWidth;
    case Metric::WindowHeight: return state.windowHeight;
    case Metric::ClientWidth: return state.clientWidth;
    case Metric::ClientHeight: return state.clientHeight;
    case Metric::PubWidth: return state.pubWidth;
    case Metric::PubHeight: return state.pubHeight;
    case Metric::PubLeft: return state.pubLeft;
    case Metric::PubTop: return state.pubTop;
    }
    return 0;
}

void HeadlessBuiltinHost::SetWindowMetric(Metric metric, int value) {
    switch (metric) {
    case Metric::WindowLeft: state.windowLeft = value; break;
    case Metric::WindowTop: state.windowTop = value; break;
    case Metric::WindowWidth: state.windowWidth = value; break;
    case Metric::WindowHeight: state.windowHeight = value; break;
    case Metric::ClientWidth: state.clientWidth = value; break;
    case Metric::ClientHeight: state.clientHeight = value; break;
    case Metric::PubWidth: state.pubWidth = state.clientWidth = value; break;
    case Metric::PubHeight: state.pubHeight = state.clientHeight = value; break;
    case Metric::PubLeft: state.pubLeft = value; break;
    case Metric::PubTop: state.pubTop = value; break;
    }
}

QString HeadlessBuiltinHost::WindowState() const { return state.windowState; }

void HeadlessBuiltinHost::SetWindowState(const QString& value) {
    const QString word = value.trimmed();
    if (word.compare(QLatin1String("MINIMIZED"), Qt::CaseInsensitive) == 0)
        state.windowState = QStringLiteral("Minimized");
    else if (word.compare(QLatin1String("MAXIMIZED"), Qt::CaseInsensitive) == 0)
        state.windowState = QStringLiteral("Maximized");
    else
        state.windowState = QStringLiteral("Normal");
}

int HeadlessBuiltinHost::WindowOrder() const { return state.windowOrder; }
void HeadlessBuiltinHost::SetWindowOrder(int order) { state.windowOrder = order; }
QString HeadlessBuiltinHost::PubTitle() const { return state.pubTitle; }
void HeadlessBuiltinHost::SetPubTitle(const QString& title) { state.pubTitle = title; }
QString HeadlessBuiltinHost::AppTitle() const { return state.appTitle; }
void HeadlessBuiltinHost::SetAppTitle(const QString& title) { state.appTitle = title; }
QString HeadlessBuiltinHost::FocusedObject() const { return state.focusedObject; }
int HeadlessBuiltinHost::ScreenWidth() const { return state.screenWidth; }
int HeadlessBuiltinHost::ScreenHeight() const { return state.screenHeight; }
qint64 HeadlessBuiltinHost::ScreenColors() const { return state.screenColors; }
quint64 HeadlessBuiltinHost::WindowHandle() const { return 0; }

} // namespace tomeric
