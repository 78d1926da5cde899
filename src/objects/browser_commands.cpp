// The Browser... commands. Each is carried out only when the object is a
// web browser; otherwise nothing happens. A browser object without a web
// engine answers every command with "La commande requiert un objet
// visible.". (The Flash... commands are in flash_commands.cpp.)

#include "objects/object_command_handlers.h"
#include "objects/web_browser.h"

#include <iterator>

namespace tomeric {

namespace {

// One browser command carried out on an object that has its engine.
using TBrowserHandler = void (*)(TObjectCommandRun& run, TTomericWebBrowser& browser, TBrowserEngine& engine);

struct TBrowserRow {
    const char* name;
    TBrowserHandler handler;
};

bool IsJavaScript(const QString& language)
{
    static const char* const kNames[] = {"", "JavaScript", "JScript", "ECMAScript", "JS"};
    for (const char* name : kNames)
        if (language.trimmed().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void GoTo(TObjectCommandRun& run, TTomericWebBrowser& browser, TBrowserEngine&) { browser.SetURL(run.Param(2)); }
void Back(TObjectCommandRun&, TTomericWebBrowser&, TBrowserEngine& engine) { engine.Back(); }
void Forward(TObjectCommandRun&, TTomericWebBrowser&, TBrowserEngine& engine) { engine.Forward(); }
void Stop(TObjectCommandRun&, TTomericWebBrowser&, TBrowserEngine& engine) { engine.Stop(); }
// The publication's start page is the browser's home.
void Home(TObjectCommandRun&, TTomericWebBrowser& browser, TBrowserEngine& engine)
{
    engine.Navigate(browser.AddressFor(browser.DefaultURL()));
}
void Export(TObjectCommandRun& run, TTomericWebBrowser& browser, TBrowserEngine&)
{
    run.Result(2, browser.DocumentHtml());
}
// The find dialog belongs to the player around the object.
void Find(TObjectCommandRun&, TTomericWebBrowser& browser, TBrowserEngine&)
{
    if (TBrowserHost* host = BrowserHost())
        host->ShowFind(browser);
}
void LoadFromStr(TObjectCommandRun& run, TTomericWebBrowser& browser, TBrowserEngine&)
{
    browser.LoadFromString(run.Param(2));
}
void ExecScript(TObjectCommandRun& run, TTomericWebBrowser& browser, TBrowserEngine& engine)
{
    const QString language = run.Param(3);
    if (!IsJavaScript(language)) {
        run.reply.LastError = QLatin1Char('"') + browser.Name() +
                              QStringLiteral("\"||Ce langage de script n'est pas disponible : ") + language;
        return;
    }
    engine.RunJavaScript(run.Param(2));
}
void GetElement(TObjectCommandRun& run, TTomericWebBrowser& browser, TBrowserEngine&)
{
    const std::optional<QString> value = browser.GetElement(run.Param(2));
    run.Result(3, value.value_or(QString()));
    if (!value)
        run.Fail(run.Param(2), msgNoSuchItem);
}
void SetElement(TObjectCommandRun& run, TTomericWebBrowser& browser, TBrowserEngine&)
{
    if (!browser.SetElement(run.Param(2), run.Param(3)))
        run.Fail(run.Param(2), msgNoSuchItem);
}
// The browser's search page, as its search button opens it.
void Search(TObjectCommandRun&, TTomericWebBrowser& browser, TBrowserEngine&)
{
    browser.SetURL(BrowserSearchPage());
}

constexpr TBrowserRow kBrowserCommands[] = {
    {"BrowserGoTo", GoTo},           {"BrowserBack", Back},
    {"BrowserForward", Forward},     {"BrowserHome", Home},
    {"BrowserSearch", Search},       {"BrowserStop", Stop},
    {"BrowserExport", Export},       {"BrowserFind", Find},
    {"BrowserLoadFromStr", LoadFromStr}, {"BrowserExecScript", ExecScript},
    {"BrowserGetElement", GetElement},   {"BrowserSetElement", SetElement},
};

const TBrowserRow* FindBrowserRow(const QString& command)
{
    for (const TBrowserRow& row : kBrowserCommands)
        if (command.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

} // namespace

void BrowserCommand(TObjectCommandRun& run)
{
    auto* browser = qobject_cast<TTomericWebBrowser*>(run.found.object);
    if (!browser)
        return;
    const TBrowserRow* row = FindBrowserRow(run.call.Command);
    TBrowserEngine* engine = browser->Engine();
    if (!row || !engine) {
        if (run.call.Command.compare(QLatin1String("BrowserGetElement"), Qt::CaseInsensitive) == 0)
            run.Result(3, QString());
        if (run.call.Command.compare(QLatin1String("BrowserExport"), Qt::CaseInsensitive) == 0)
            run.Result(2, QString());
        run.Fail(browser->Name(), msgNeedsVisibleObject);
        return;
    }
    row->handler(run, *browser, *engine);
}

void BrowserPrintCommand(TObjectCommandRun& run)
{
    auto* browser = qobject_cast<TTomericWebBrowser*>(run.found.object);
    if (!browser)
        return;
    // Printing belongs to the player around the object.
    TBrowserHost* host = BrowserHost();
    if (!browser->HasEngine() || !host) {
        run.Fail(browser->Name(), msgNeedsVisibleObject);
        return;
    }
    const QString error = host->Print(*browser, run.Param(2));
    if (!error.isEmpty())
        run.reply.LastError = error;
}

} // namespace tomeric
