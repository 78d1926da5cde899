#include "app/player_browser_host.h"

#include "actions/headless_services.h"
#include "printing/printing_service.h"
#include "windows/simple_dialogs.h"
#include "windows/window_manager.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tomeric {

TPlayerBrowserHost::TPlayerBrowserHost(QWidget* owner, TWindowManager& windows, TPrintingService& printing,
                                       TSimpleDialogs& dialogs, LineSink driven)
    : owner_(owner), windows_(windows), printing_(printing), dialogs_(dialogs), driven_(std::move(driven)),
      find_(dialogs)
{
}

TTomericWebBrowser* TPlayerBrowserHost::OpenBrowserWindow(TTomericWebBrowser& opener)
{
    return windows_.OpenBrowserWindow(opener);
}

void TPlayerBrowserHost::OpenExternally(const QString& url)
{
    if (driven_) {
        driven_(EventLine(QStringLiteral("CALL"), QStringLiteral("BrowserWindow"), {url}));
        return;
    }
    QDesktopServices::openUrl(QUrl(url));
}

void TPlayerBrowserHost::ShowFind(TTomericWebBrowser& browser) { find_.Show(browser, owner_); }

QString TPlayerBrowserHost::Print(TTomericWebBrowser& browser, const QString& option)
{
    return printing_.PrintBrowser(browser, option);
}

// The file dialog of FileOpenBox; only files that exist reach the page.
QStringList TPlayerBrowserHost::ChooseFiles(TTomericWebBrowser&, bool multiple, const QStringList& oldFiles)
{
    const QString folder = oldFiles.isEmpty() ? QString() : QFileInfo(oldFiles.first()).absolutePath();
    const std::optional<QString> chosen =
        dialogs_.FileOpenBox(QString(), QString(), folder, multiple ? QStringLiteral("MULTIPLE") : QString());
    QStringList files;
    if (!chosen)
        return files;
    for (const QString& path : chosen->split(u';', Qt::SkipEmptyParts))
        if (QFileInfo(path).isFile())
            files.append(QFileInfo(path).absoluteFilePath());
    return multiple ? files : files.mid(0, 1);
}

} // namespace tomeric
