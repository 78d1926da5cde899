#pragma once
// The window side of a page change. The page list (page_navigation.h) owns
// the pages, the current index, the history and the order of events; the
// window that shows the pages implements this interface and only draws,
// hides, notifies objects and moves the focus when it is told to.
//
// During one ShowPage(a) from page `from` the calls arrive in this order:
//
//   BeginPageChange(from, a, hasTransition)
//   PageHiding(from)            (only when a differs from `from`)
//   PageEntering(a)             (only when a differs from `from`)
//   SwitchPage(from, a)         (only when a differs from `from`)
//   PageChanged(a)              (only when a differs from `from`)
//   ShowPage(a, effect, options, direction)
//   PageShown(a)
//   FocusFirst()
//   EndPageChange(a)
//
// and then the page list runs STARTUPACTION (first entry only) and the
// page's enter action. While the window is loading (SetLoading(true) on the
// page list) only SwitchPage is called when the start page is set.
//
// Every method has an empty default so that a view implements only what it
// shows; a page list without a view (headless runs) skips all of them.

#include <QString>

namespace tomeric {

class PageView {
public:
    virtual ~PageView() = default;

    // A change to page `to` begins: show the busy cursor; when `to` is not
    // the shown page, has a transition, and another visible window overlaps
    // the publication area, keep a picture of the shown page as the
    // transition's "from" picture; stop every object movement, pause the
    // cartoon players and hide the drag image.
    virtual void BeginPageChange(int from, int to, bool hasTransition) { (void)from; (void)to; (void)hasTransition; }

    // Object message 1227 (OM_PAGEHIDE) to the background of the page being left.
    virtual void PageHiding(int index) { (void)index; }

    // Page `index`'s background becomes the current background, the master
    // page is placed in it (or taken back to page 0), then object message
    // 1228 (OM_PAGESHOW) goes to that background.
    virtual void PageEntering(int index) { (void)index; }

    // Page `to` is shown in front and page `from` hidden (with conserved
    // resources, `from` gives up its window resources). `from` may be an
    // invalid index (-1) when no page was shown yet.
    virtual void SwitchPage(int from, int to) { (void)from; (void)to; }

    // The page index changed (the debugger is told in preview mode; the
    // page container stops being a tab stop).
    virtual void PageChanged(int index) { (void)index; }

    // The palette is realised and page `index` drawn with its transition
    // (`effect` is PAGEEFFECT, `options` EFFECTSPEED; both may be empty:
    // then the page is simply repainted). `direction` is the new index minus
    // the old one (0 when the shown page is entered again at the first paint).
    virtual void ShowPage(int index, const QString& effect, const QString& options, int direction)
    {
        (void)index; (void)effect; (void)options; (void)direction;
    }

    // Object message 1229 (OM_PAGEPAINT) to the new page's background.
    virtual void PageShown(int index) { (void)index; }

    // The focus goes to the first control that can take it.
    virtual void FocusFirst() {}

    // The change is over: resume the cartoon players, show the drag image
    // again and restore the default cursor.
    virtual void EndPageChange(int index) { (void)index; }
};

} // namespace tomeric
