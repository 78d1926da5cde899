#pragma once
// What web browser objects ask of the player around them (TBrowserHost):
// browser floating windows for the pages that open windows, the desktop's
// browser for Internet pop-ups of browsers that do not keep them, the find
// dialog, printing and the chooser of file inputs.
//
// A driven player opens no desktop browser: it prints
//   CALL BrowserWindow "url"
// instead.

#include "objects/web_browser.h"
#include "windows/browser_find.h"

#include <functional>

namespace tomeric {

class TPrintingService;
class TSimpleDialogs;
class TWindowManager;

class TPlayerBrowserHost final : public TBrowserHost {
public:
    using LineSink = std::function<void(const QString&)>;
    // `owner` owns the find dialog; `driven` takes the lines of a driven run.
    TPlayerBrowserHost(QWidget* owner, TWindowManager& windows, TPrintingService& printing,
                       TSimpleDialogs& dialogs, LineSink driven);

    TTomericWebBrowser* OpenBrowserWindow(TTomericWebBrowser& opener) override;
    void OpenExternally(const QString& url) override;
    void ShowFind(TTomericWebBrowser& browser) override;
    QString Print(TTomericWebBrowser& browser, const QString& option) override;
    QStringList ChooseFiles(TTomericWebBrowser& browser, bool multiple, const QStringList& oldFiles) override;

private:
    QWidget* owner_;
    TWindowManager& windows_;
    TPrintingService& printing_;
    TSimpleDialogs& dialogs_;
    LineSink driven_;
    TBrowserFind find_;
};

} // namespace tomeric
