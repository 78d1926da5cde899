#pragma once
// TFloatingWindowForm: one floating window beside the main window. It shows
// a picture (ImageWindow), a text file (TextWindow) or one page of the
// publication with all its live objects (CustomWindow). A custom window
// borrows the page's widget from the page container and gives it back,
// where it was, when it closes; while it is out, scripts, variables and the
// Find window still reach its objects as those of any page.
//
// Its life: built (content), shown (modal for "Exclusive" custom windows),
// closing requested, closed (OnClose, page given back) and freed. TWindowManager
// keeps the list of open windows and carries out the commands.

#include "objects/find_searchable.h"
#include "windows/floating_host.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>

class QEventLoop;

namespace tomeric {

class TBaseArticle;
class TTomericObj;
class TTomericBackground;
class TTomericWebBrowser;
class TQXPageWidget;

enum TFloatingKind : int { fkPicture = 0, fkText = 1, fkBrowser = 2, fkCustom = 3 };

class TFloatingWindowForm : public QWidget, public TFindSearchable {
    Q_OBJECT
public:
    // `name` is the file name as given, or the page name; a FIXEDPOS window
    // is a child of the main window's client area.
    TFloatingWindowForm(TFloatingHost& host, TFloatingKind kind, const QString& name, int flags);
    ~TFloatingWindowForm() override;

    TFloatingKind Kind() const { return kind_; }
    const QString& Name() const { return name_; }
    int Flags() const { return flags_; }
    bool Protected() const { return flags_ & foProtected; }
    bool Exclusive() const { return flags_ & foExclusive; }
    bool FixedPosition() const { return flags_ & foFixedPosition; }
    bool ClosingRequested() const { return closingRequested_; }
    bool Closed() const { return closed_; }
    int PageIndex() const { return pageIndex_; }
    // The page's own background, for custom windows (driver spots).
    QWidget* PageRoot() const;
    // The picture or article of a picture or text window; null otherwise.
    TTomericObj* ContentObject() const;

    // ---- content ------------------------------------------------------------
    // The picture at its own size, with scroll bars; the window cannot grow
    // past it.
    void BuildPicture(const QString& file);
    // The text, measured unwrapped; width or height 0 or less take the
    // text's, positive ones are the window's outer size.
    void BuildText(const QString& file, int width, int height);
    // Borrows page `page` from the page container; false when it is lent
    // already (to another window).
    bool BuildCustom(int page, TFloatingFrame frame, const QString& title);
    // A browser for a page `opener` opened, keeping the opener's security
    // and silent mode, with its navigation and status bars; it keeps the
    // pop-ups of its own pages. The window takes its page's address as its
    // name and shows when the browser asks, follows the page's title and
    // closes with the page.
    TTomericWebBrowser* BuildBrowser(const TTomericWebBrowser& opener);
    // When another publication replaces this one, the page is freed on
    // close instead of given back.
    void MarkPageToBeFreed() { freePageOnClose_ = true; }

    // ---- showing --------------------------------------------------------------
    // Brought to the front (and to the foreground unless FIXEDPOS); custom
    // windows run <page>_OnOpen, then take their size limits.
    void ShowWindow();
    // Shown modally: returns when the window has closed.
    void ShowModal();
    // Stay-on-top switched (exclusive windows make the others normal).
    void SetStaysOnTop(bool onTop);
    bool StaysOnTop() const;
    // Called once the window has closed (the manager forgets it).
    void SetClosedCallback(std::function<void(TFloatingWindowForm*)> closed) { closedCallback_ = std::move(closed); }

    // ---- closing ---------------------------------------------------------------
    // CloseWindow and CloseCustomWindow: an exclusive window ends its modal
    // loop (and then closes); any other closes now.
    void CloseByCommand();
    // "CloseWindow ''": a close posted once.
    void PostClose();

    // TFindSearchable: a text window is searched in place.
    std::optional<TFindMatch> FindText(const QString& text, int from) const override;
    void ShowFindMatch(const TFindMatch& match) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyFrame(TFloatingFrame frame);
    void FollowBrowser(TTomericWebBrowser& browser);
    void SetClientSize(QSize client);
    void LendPage(TQXPageWidget& page);
    void GiveBackPage();
    void ReadSizeLimits();
    void DragByBackground();
    bool HandleKey(QKeyEvent& event);
    void RelayoutPage();
    // The closing steps: OnClose, WinHandle emptied, the page given back.
    void FormClose();
    QString PageVariable(const char* suffix) const;
    QString WindowHandleText();

    TFloatingHost& host_;
    const TFloatingKind kind_;
    QString name_; // a browser window's is its first address
    const int flags_;
    QPointer<QWidget> content_;
    TBaseArticle* article_ = nullptr; // text windows
    QEventLoop* modalLoop_ = nullptr;

    // Custom windows: the background made for the window and where the
    // borrowed page came from.
    TTomericBackground* background_ = nullptr;
    int pageIndex_ = -1;
    QPointer<TQXPageWidget> page_;
    QPointer<QWidget> pageParent_;
    QRect pageGeometry_;
    bool pageVisible_ = false;
    QPointer<QWidget> pageNextSibling_; // the sibling in front of it
    bool sizeable_ = false;
    bool draggable_ = false;
    QPoint dragOffset_;
    bool dragging_ = false;

    bool closingRequested_ = false;
    bool closed_ = false;
    bool freePageOnClose_ = false;
    std::function<void(TFloatingWindowForm*)> closedCallback_;
};

} // namespace tomeric
