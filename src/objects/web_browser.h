#pragma once
// TTomericWebBrowser (14): a web page on a page of the publication. The
// object keeps the publication's rules (which addresses go through the
// embedded-file scheme, action links, the URL, title and status variables,
// the before- and after-navigation scripts, form elements); the page itself
// is drawn by a TBrowserEngine that the host supplies. Without an engine the
// object shows "Requires Internet Explorer 4+" and its commands fail.
//
// Addresses are passed to and from the engine as the publication writes
// them: "tomeric-ie:page.htm" names an included file.

#include "objects/tomeric_obj.h"

#include <memory>
#include <optional>

class QLabel;
class QPageLayout;
class QPrinter;

namespace tomeric {

class TBrowserEngine;
class TTomericWebBrowser;

// What an engine reports to its object (main thread).
class TBrowserEngineEvents {
public:
    virtual ~TBrowserEngineEvents() = default;
    // A navigation to `url` is about to start; false cancels it. `inPage`:
    // started by the page (a link, a form, a script), not by the player.
    // `mainFrame`: the top document, not a frame inside it.
    virtual bool BeforeNavigate(const QString& url, bool inPage, bool mainFrame) = 0;
    virtual void NavigationComplete(const QString& url) = 0;
    virtual void TitleChanged(const QString& title) = 0;
    virtual void StatusTextChanged(const QString& text) = 0;
    virtual void DownloadBegin() = 0;
    virtual void DownloadComplete() = 0;
    // The page's `window.external` object.
    virtual void ExecActionFromPage(const QString& action) = 0;
    virtual QString GetVarFromPage(const QString& name) = 0;
    virtual void SetVarFromPage(const QString& name, const QString& value) = 0;
    // The page opens a new window (a link with a target, window.open): the
    // engine the new page lives in; null when only its address is wanted
    // (PopupAddress follows).
    virtual TBrowserEngine* NewWindow() = 0;
    virtual void PopupAddress(const QString& url) = 0;
    // The page asks to close its window, or to give it another place and
    // size (window.open's features, window.moveTo...).
    virtual void CloseRequested() = 0;
    virtual void GeometryRequested(const QRect& geometry) = 0;
    // A file input asks for its files; empty when none are chosen.
    virtual QStringList ChooseFiles(bool multiple, const QStringList& oldFiles) = 0;
};

// The browser control behind the object.
class TBrowserEngine {
public:
    virtual ~TBrowserEngine() = default;
    // The view, a child of the object that fills it.
    virtual QWidget* View() = 0;
    virtual void Navigate(const QString& url) = 0;
    virtual void Back() = 0;
    virtual void Forward() = 0;
    virtual void Reload() = 0;
    virtual void Stop() = 0;
    virtual void LoadHtml(const QString& html) = 0;
    // Runs JavaScript in the top document and waits for its result as text;
    // nothing when the script failed or the page did not answer.
    virtual std::optional<QString> RunJavaScript(const QString& script) = 0;
    // Searches the page from the current match (`backward`: towards the top);
    // the number of matches, 0 when none. An empty text ends the search.
    virtual int Find(const QString& text, bool matchCase, bool backward) = 0;
    virtual void SetContextMenuAllowed(bool allowed) = 0;
    // The document as a PDF file (text stays text); false when it could not
    // be written.
    virtual bool PrintToPdf(const QString& path, const QPageLayout& layout) = 0;
    // The document on a printer; false when it failed.
    virtual bool PrintTo(QPrinter& printer) = 0;
};

// What a browser object asks of the player around it beyond its page: the
// browser floating windows of pages that open windows, the desktop's own
// browser, the find dialog, printing and the chooser of file inputs. The
// player sets it at start-up; without one pop-ups load in the object itself
// and BrowserFind and BrowserPrint do nothing.
class TBrowserHost {
public:
    virtual ~TBrowserHost() = default;
    // A browser floating window for a page `opener` opened; its browser, or
    // null when none could be made.
    virtual TTomericWebBrowser* OpenBrowserWindow(TTomericWebBrowser& opener) = 0;
    // An Internet address the desktop's browser shows (pop-ups not trapped).
    virtual void OpenExternally(const QString& url) = 0;
    // BrowserFind: the find dialog over the object's page.
    virtual void ShowFind(TTomericWebBrowser& browser) = 0;
    // BrowserPrint with its option; the error text, empty when printed or
    // cancelled.
    virtual QString Print(TTomericWebBrowser& browser, const QString& option) = 0;
    // The files a page's file input receives; empty when the user cancels.
    virtual QStringList ChooseFiles(TTomericWebBrowser& browser, bool multiple, const QStringList& oldFiles) = 0;
};
void SetBrowserHost(TBrowserHost* host);
TBrowserHost* BrowserHost();

// BrowserSearch's page: the address in TOMERIC_SEARCH_PAGE when set, else a
// web search engine's.
QString BrowserSearchPage();

// Makes the browser control of an object (a child of `parent`, reporting to
// `events`); the caller owns it.
using TBrowserEngineFactory = TBrowserEngine* (*)(QWidget* parent, TBrowserEngineEvents& events,
                                                 const TObjectRecord& record);
// The player sets its engine once at start-up; without one (the default,
// tests, builds without a web engine) objects show their notice.
void SetBrowserEngineFactory(TBrowserEngineFactory factory);

class TTomericWebBrowser final : public TTomericObj, private TBrowserEngineEvents {
    Q_OBJECT
public:
    TTomericWebBrowser(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
    ~TTomericWebBrowser() override;

    bool HasEngine() const { return engine_ != nullptr; }
    TBrowserEngine* Engine() { return engine_.get(); }

    // The address shown, as the publication writes it.
    const QString& URL() const { return url_; }
    // Opens an address by the object's rules: an empty one is "about:blank";
    // an included file's name goes through "tomeric-ie:"; nothing happens
    // when it is the address already shown.
    void SetURL(const QString& url);
    const QString& DefaultURL() const { return defaultUrl_; }
    bool EnhancedSecurity() const { return enhancedSecurity_; }
    bool SilentMode() const { return silentMode_; }
    bool AllowContextMenu() const { return allowContextMenu_; }
    bool TrapPopupWindows() const { return trapPopups_; }

    // The browser of a browser floating window: it asks its window to show
    // once its page's address is known (or after a moment, for pages a
    // script writes), and to close when the page closes or when its only
    // address was an action link.
    void MakeFloating();
    bool Floating() const { return floating_; }

    // ---- the browser commands (see browser_commands.cpp) -------------------
    // GetElement / SetElement: nothing when the element does not exist.
    std::optional<QString> GetElement(const QString& name);
    bool SetElement(const QString& name, const QString& value);
    // The document's HTML; empty without a page.
    QString DocumentHtml();
    void LoadFromString(const QString& html);

    // TTomericObj
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;
    bool SetObjectFileName(const QString& file) override;
    void RefreshObject() override;
    QWidget* FocusTarget() override;
    void OnInit() override;

    // The address a value of FILENAME= or BrowserGoTo stands for.
    QString AddressFor(const QString& url) const;
    // "TOMERIC:..." or "<title without spaces>:..." : the script it carries.
    static std::optional<QString> ActionLinkScript(const QString& url, const QString& pubTitle);
    // The address without any "tomeric-ie:" part, "%" escapes decoded.
    static QString ShownAddress(const QString& url);

signals:
    // For a floating browser (see MakeFloating).
    void WindowShowRequested(const QString& address);
    void WindowCloseRequested();
    void WindowTitleChanged(const QString& title);
    // The page's wish for its view's place and size (screen coordinates).
    void WindowGeometryRequested(const QRect& geometry);

protected:
    void PaintContent(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // TBrowserEngineEvents
    bool BeforeNavigate(const QString& url, bool inPage, bool mainFrame) override;
    void NavigationComplete(const QString& url) override;
    void TitleChanged(const QString& title) override;
    void StatusTextChanged(const QString& text) override;
    void DownloadBegin() override;
    void DownloadComplete() override;
    void ExecActionFromPage(const QString& action) override;
    QString GetVarFromPage(const QString& name) override;
    void SetVarFromPage(const QString& name, const QString& value) override;
    TBrowserEngine* NewWindow() override;
    void PopupAddress(const QString& url) override;
    void CloseRequested() override;
    void GeometryRequested(const QRect& geometry) override;
    QStringList ChooseFiles(bool multiple, const QStringList& oldFiles) override;

    // A floating browser's window shows (once) or closes.
    void ShowWindowOnce(const QString& url);
    void CloseWindowLater();

    void SetVar(const QString& varName, const QString& value);
    // The navigation bar (back, forward, stop, refresh) and the status bar,
    // when the publication asks for them; the page fills the rest.
    void BuildBars(bool toolBar, bool statusBar);
    void PlaceView();
    std::optional<QString> RunFormScript(const QString& script);

    std::unique_ptr<TBrowserEngine> engine_;
    QWidget* toolBar_ = nullptr;
    QLabel* statusBar_ = nullptr;
    QString url_;
    QString defaultUrl_;
    QString beforeAction_, afterAction_, downloadBeginAction_, downloadCompleteAction_;
    QString statusVarName_, titleVarName_, urlVarName_;
    bool enhancedSecurity_ = true;
    bool silentMode_ = false;
    bool allowContextMenu_ = true;
    bool trapPopups_ = false;
    bool floating_ = false;
    bool windowShown_ = false;
    bool windowClosing_ = false;
};

TTomericObj* CreateWebBrowser(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
