#pragma once
// TWebEngineBrowser: the browser control of a web browser object on Qt
// WebEngine. Every navigation passes the object's before-navigate rules
// (action links never leave the page), and pages find the publication's
// `window.external` object with qxExecAction, qxGetVar and qxSetVar.
//
// The page-side object talks to the player through a synchronous channel
// (the page's prompt() call, recognised by a marker and answered here), so
// qxGetVar returns the value at once and from frames too, as pages written
// for the original expect.

#include "objects/web_browser.h"

#include <QWebEnginePage>

class QWebEngineView;

namespace tomeric {

struct TObjectRecord;

class TBrowserPage final : public QWebEnginePage {
    Q_OBJECT
public:
    TBrowserPage(TBrowserEngineEvents& events, QObject* parent);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;

private:
    TBrowserEngineEvents& events_;
};

class TWebEngineBrowser final : public TBrowserEngine {
public:
    TWebEngineBrowser(QWidget* parent, TBrowserEngineEvents& events, bool hideScrollBars);
    ~TWebEngineBrowser() override;

    QWidget* View() override;
    void Navigate(const QString& url) override;
    void Back() override;
    void Forward() override;
    void Reload() override;
    void Stop() override;
    void LoadHtml(const QString& html) override;
    std::optional<QString> RunJavaScript(const QString& script) override;
    int Find(const QString& text, bool matchCase, bool backward) override;
    void SetContextMenuAllowed(bool allowed) override;
    bool PrintToPdf(const QString& path, const QPageLayout& layout) override;
    bool PrintTo(QPrinter& printer) override;

    // The page a new window of another browser loads into.
    QWebEnginePage* Page() const;

private:
    QWebEngineView* view_;
    TBrowserPage* page_;
};

// The engine for the object of `record`.
TBrowserEngine* CreateWebEngineBrowser(QWidget* parent, TBrowserEngineEvents& events, const TObjectRecord& record);

} // namespace tomeric
