#pragma once
// TBrowserFind: the find dialog of BrowserFind, over the page of one web
// browser object. It is the Find window's look (the publication's language
// texts and dialog font): Find First searches from the top of the page,
// Find Next goes on from the match shown; a text that is not in the page
// gives the not-found message. One dialog serves every browser: BrowserFind
// on another object turns it to that object's page.

#include <QPointer>
#include <QString>

class QWidget;

namespace tomeric {

class TFindForm;
class TSimpleDialogs;
class TTomericWebBrowser;

class TBrowserFind {
public:
    explicit TBrowserFind(TSimpleDialogs& dialogs) : dialogs_(dialogs) {}
    ~TBrowserFind();
    TBrowserFind(const TBrowserFind&) = delete;
    TBrowserFind& operator=(const TBrowserFind&) = delete;

    // Shows the dialog (made on first use, owned by `owner`) for `browser`.
    void Show(TTomericWebBrowser& browser, QWidget* owner);

private:
    void Search(bool fromTop);

    TSimpleDialogs& dialogs_;
    QPointer<TFindForm> form_;
    QPointer<TTomericWebBrowser> browser_;
};

} // namespace tomeric
