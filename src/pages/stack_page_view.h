#pragma once
// The page list's view in the player window: page changes shown on a
// TPageStack. The pages are switched, then the new page is revealed with
// its transition: the shown page and the new page are drawn off-screen and
// handed to the transition player, which animates the one into the other
// over the publication area. Without a transition player, or with `fast`,
// the new page appears at once.

#include "actions/page_view.h"
#include "pages/page_stack.h"

#include <QCursor>
#include <QImage>
#include <QPointer>

#include <functional>

namespace tomeric {

// Animates `from` into `to` over the stack, returning when it is done.
struct TPageTransition {
    QImage from, to;
    QString effect, options;
    int direction = 0;
};
using TTransitionPlayer = std::function<void(TPageStack& stack, const TPageTransition& request)>;

class TStackPageView final : public PageView {
public:
    explicit TStackPageView(TPageStack& stack) : stack_(&stack) {}

    void SetTransitionPlayer(TTransitionPlayer player) { player_ = std::move(player); }
    // The cursor shown while a page changes.
    void SetBusyCursor(const QCursor& cursor) { busy_ = cursor; }
    // Transitions show their last picture at once.
    void SetFast(bool fast) { fast_ = fast; }
    // Transitions only run while the window is on screen.
    void SetVisibleCheck(std::function<bool()> visible) { visible_ = std::move(visible); }
    // The page background told about page events (objects will listen).
    using PageEvent = std::function<void(int objectMessage, int pageIndex)>;
    void SetPageEventSink(PageEvent sink) { pageEvents_ = std::move(sink); }

    void BeginPageChange(int from, int to, bool hasTransition) override;
    void PageHiding(int index) override;
    void PageEntering(int index) override;
    void SwitchPage(int from, int to) override;
    void ShowPage(int index, const QString& effect, const QString& options, int direction) override;
    void PageShown(int index) override;
    void FocusFirst() override;
    void EndPageChange(int index) override;

    // Object messages a page change sends.
    static constexpr int kPageHide = 1227;
    static constexpr int kPageShow = 1228;
    static constexpr int kPagePaint = 1229;

private:
    bool CanAnimate() const;

    QPointer<TPageStack> stack_;
    TTransitionPlayer player_;
    std::function<bool()> visible_;
    PageEvent pageEvents_;
    QImage fromPicture_;
    bool fast_ = false;
    bool busyCursor_ = false;
    QCursor busy_{Qt::WaitCursor};
};

} // namespace tomeric
