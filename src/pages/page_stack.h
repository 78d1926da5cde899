#pragma once
// The page container as a widget: it fills the publication area and holds
// one TQXPageWidget per page of the publication. Page 0, the master page, exists
// from the start; every other page gets its widgets when the player asks
// for it once the publication is read (pages whose objects' first values
// need their widgets) or the first time it is shown, drawn or reached. A page's look is only painted when it shows. Which page is current,
// and the order of events around a change, belong to the page list; this
// class only shows, hides and draws.

#include "pages/page_widgets.h"
#include "publication/publication_model.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <functional>
#include <vector>

namespace tomeric {

class TPageStack : public QWidget {
    Q_OBJECT
public:
    // `publication` must outlive the stack.
    TPageStack(QWidget* parent, const TPublication& publication, TWallpaperSource wallpapers);

    int Count() const { return int(pages_.size()); }
    bool IsValid(int index) const { return index >= 0 && index < Count(); }
    // The page widget, created on first use; null for an invalid index.
    TQXPageWidget* EnsurePage(int index);
    // The page widget when it exists already.
    TQXPageWidget* ExistingPage(int index) const;
    int CreatedPageCount() const;
    // Creates every page not created yet.
    void CreateAllPages();
    // Whether the records of page `index` hold an object of that name (any
    // case, at any depth of groups and containers).
    bool PageNamesObject(int index, const QString& name) const;

    // Called once for each page right after its widgets exist (also for the
    // pages that exist when it is set), with the page's index and its
    // background: the player creates the page's objects there.
    using TPageBuilder = std::function<void(int index, TTomericBackground& background)>;
    void SetPageBuilder(TPageBuilder builder);
    // The page's own background when the page exists (for page 0 the master
    // background, wherever it is placed); null otherwise.
    TTomericBackground* PageBackground(int index) const;
    // Whether page `index` shows the master page's objects beneath its own.
    bool ShowsMasterPage(int index) const;
    int ShownIndex() const { return shown_; }
    QString PageName(int index) const;

    // Shows page `index` in front and hides the page shown before; the
    // master page is placed for it. Nothing for an invalid index.
    void ShowPageAt(int index);
    // The page drawn off-screen at the container's size, without showing it
    // (master page placed for it while drawing).
    QImage RenderPage(int index);
    // The container as it shows now.
    QImage RenderShown();
    // Draws page `index` (background, the master page's objects when it
    // shows them, then its own visible objects) at the container's size into
    // `painter`, through the painter's scale and clip, as vectors where the
    // device keeps them (a printer, a PDF). The shown page stays. The
    // painter should not shift: Qt then misplaces the clips of nested
    // widgets (a text's view) by the shift times the scale.
    void PaintPage(int index, QPainter& painter);

    // The object of that name (any case) on the shown page, at any depth of
    // groups and containers, or on the master page when the shown page shows
    // it; null when there is none.
    QWidget* FindShownObject(const QString& name) const;

    // Every page background receives the publication area.
    void SetPublicationArea(const QRect& area);

    // A custom window shows a page in a window of its own: the stack lends
    // it the page widget and leaves it alone (no showing, sizing or drawing)
    // until it comes back. Null for an invalid or already lent page.
    TQXPageWidget* LendPage(int index);
    // The page is back under the stack (the borrower restored its parent);
    // shown again when it is the shown page.
    void TakeBackPage(int index);
    bool IsLent(int index) const { return IsValid(index) && lent_[size_t(index)]; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    // What shows while the shown page is lent to a custom window.
    void paintEvent(QPaintEvent* event) override;

private:
    void PlaceMasterPage(int index);
    TTomericBackground* MasterBackground();
    void BuildPage(int index);

    const TPublication& publication_;
    TWallpaperSource wallpapers_;
    std::vector<TQXPageWidget*> pages_; // null until the page is first needed
    std::vector<bool> built_;            // the builder ran for the page
    std::vector<bool> lent_;             // shown in a custom window
    TPageBuilder builder_;
    int shown_ = -1;
    QRect publicationArea_;
};

} // namespace tomeric
