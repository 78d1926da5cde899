#include "pages/stack_page_view.h"

#include <QGuiApplication>

namespace tomeric {

bool TStackPageView::CanAnimate() const
{
    return stack_ && player_ && !fast_ && (!visible_ || visible_());
}

void TStackPageView::BeginPageChange(int from, int to, bool hasTransition)
{
    if (QGuiApplication::instance() && !busyCursor_) {
        QGuiApplication::setOverrideCursor(busy_);
        busyCursor_ = true;
    }
    fromPicture_ = QImage();
    // The shown page is kept as the transition's first picture.
    if (hasTransition && CanAnimate() && stack_->IsValid(from))
        fromPicture_ = stack_->RenderPage(from);
    (void)to;
}

void TStackPageView::PageHiding(int index)
{
    if (pageEvents_)
        pageEvents_(kPageHide, index);
}

void TStackPageView::PageEntering(int index)
{
    if (stack_)
        stack_->EnsurePage(index);
    if (pageEvents_)
        pageEvents_(kPageShow, index);
}

void TStackPageView::SwitchPage(int from, int to)
{
    (void)from;
    if (stack_)
        stack_->ShowPageAt(to);
}

void TStackPageView::ShowPage(int index, const QString& effect, const QString& options, int direction)
{
    if (!stack_)
        return;
    if (stack_->ShownIndex() != index)
        stack_->ShowPageAt(index);
    if (effect.isEmpty() || !CanAnimate()) {
        stack_->update();
        return;
    }
    TPageTransition request;
    request.from = fromPicture_.isNull() ? stack_->RenderShown() : fromPicture_;
    request.to = stack_->RenderPage(index);
    request.effect = effect;
    request.options = options;
    request.direction = direction;
    player_(*stack_, request);
    stack_->update();
}

void TStackPageView::PageShown(int index)
{
    if (pageEvents_)
        pageEvents_(kPagePaint, index);
}

void TStackPageView::FocusFirst()
{
    if (!stack_)
        return;
    if (TQXPageWidget* page = stack_->ExistingPage(stack_->ShownIndex()))
        page->setFocus(Qt::OtherFocusReason);
}

void TStackPageView::EndPageChange(int index)
{
    (void)index;
    fromPicture_ = QImage();
    if (busyCursor_) {
        QGuiApplication::restoreOverrideCursor();
        busyCursor_ = false;
    }
}

} // namespace tomeric
