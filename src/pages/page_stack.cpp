#include "pages/page_stack.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace tomeric {

TPageStack::TPageStack(QWidget* parent, const TPublication& publication, TWallpaperSource wallpapers)
    : QWidget(parent), publication_(publication), wallpapers_(std::move(wallpapers)),
      pages_(publication.pages.size(), nullptr), built_(publication.pages.size(), false),
      lent_(publication.pages.size(), false)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    EnsurePage(0); // the master page exists from the start
}

TQXPageWidget* TPageStack::ExistingPage(int index) const
{
    return IsValid(index) ? pages_[size_t(index)] : nullptr;
}

int TPageStack::CreatedPageCount() const
{
    int count = 0;
    for (const TQXPageWidget* page : pages_)
        count += page != nullptr;
    return count;
}

QString TPageStack::PageName(int index) const
{
    return IsValid(index) ? publication_.pages[size_t(index)].name : QString();
}

TQXPageWidget* TPageStack::EnsurePage(int index)
{
    if (!IsValid(index))
        return nullptr;
    TQXPageWidget*& page = pages_[size_t(index)];
    if (!page) {
        const TPageRecord& record = publication_.pages[size_t(index)];
        page = new TQXPageWidget(this, record.name, TBackgroundLook::From(record.background), wallpapers_);
        page->setGeometry(rect());
        page->Background()->SetPublicationArea(publicationArea_);
        BuildPage(index);
    }
    return page;
}

void TPageStack::CreateAllPages()
{
    for (int i = 0; i < Count(); ++i)
        EnsurePage(i);
}

namespace {

bool NamesObject(const std::vector<TObjectRecord>& records, const QString& name)
{
    return std::any_of(records.begin(), records.end(), [&name](const TObjectRecord& record) {
        return record.name.compare(name, Qt::CaseInsensitive) == 0 || NamesObject(record.members, name);
    });
}

} // namespace

bool TPageStack::PageNamesObject(int index, const QString& name) const
{
    return IsValid(index) && NamesObject(publication_.pages[size_t(index)].objects, name);
}

void TPageStack::SetPageBuilder(TPageBuilder builder)
{
    builder_ = std::move(builder);
    for (int i = 0; i < Count(); ++i)
        if (pages_[size_t(i)])
            BuildPage(i);
}

void TPageStack::BuildPage(int index)
{
    if (!builder_ || built_[size_t(index)])
        return;
    built_[size_t(index)] = true;
    builder_(index, *pages_[size_t(index)]->Background());
}

TTomericBackground* TPageStack::PageBackground(int index) const
{
    const TQXPageWidget* page = ExistingPage(index);
    return page ? page->Background() : nullptr;
}

TTomericBackground* TPageStack::MasterBackground()
{
    return EnsurePage(0)->Background();
}

bool TPageStack::ShowsMasterPage(int index) const
{
    return index >= 1 && IsValid(index) && publication_.pages[size_t(index)].background.showMasterPage;
}

void TPageStack::PlaceMasterPage(int index)
{
    // A master page shown in a custom window stays there.
    if (IsLent(0))
        return;
    TTomericBackground* master = MasterBackground();
    if (ShowsMasterPage(index)) {
        // The master background paints the page's own look beneath the
        // master objects; the page's objects lie above both.
        TTomericBackground* pageBackground = EnsurePage(index)->Background();
        if (master->parentWidget() != pageBackground) {
            master->setParent(pageBackground);
            master->setGeometry(pageBackground->rect());
            master->show();
        }
        master->lower();
        master->SetLook(pageBackground->Look());
        return;
    }
    TQXPageWidget* masterPage = pages_[0];
    if (master->parentWidget() != masterPage && !(IsValid(index) && IsLent(index))) {
        master->setParent(masterPage);
        master->setGeometry(masterPage->rect());
        master->show();
    }
    master->SetLook(TBackgroundLook::PlainWhite());
    master->lower();
}

void TPageStack::ShowPageAt(int index)
{
    TQXPageWidget* page = EnsurePage(index);
    if (!page)
        return;
    // A lent page shows in its custom window; the main window shows the
    // bare container meanwhile.
    if (!IsLent(index)) {
        PlaceMasterPage(index);
        page->setGeometry(rect());
        page->show();
        page->raise();
    }
    if (shown_ != index && !IsLent(shown_))
        if (TQXPageWidget* old = ExistingPage(shown_))
            old->hide();
    shown_ = index;
}

QImage TPageStack::RenderPage(int index)
{
    TQXPageWidget* page = EnsurePage(index);
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!page || IsLent(index))
        return image;
    PlaceMasterPage(index);
    page->setGeometry(rect());
    page->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    PlaceMasterPage(shown_); // back where the shown page wants it
    return image;
}

void TPageStack::PaintPage(int index, QPainter& painter)
{
    TQXPageWidget* page = EnsurePage(index);
    if (!page)
        return;
    PlaceMasterPage(index);
    page->setGeometry(rect());
    painter.save();
    page->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.restore();
    PlaceMasterPage(shown_);
}

QImage TPageStack::RenderShown()
{
    return IsValid(shown_) ? RenderPage(shown_) : RenderPage(0);
}

QWidget* TPageStack::FindShownObject(const QString& name) const
{
    const TQXPageWidget* page = ExistingPage(shown_);
    if (!page || name.isEmpty())
        return nullptr;
    // The master background lies inside the shown page's background when
    // the page shows it, so one search covers both; the page's own objects
    // (at any depth) come first.
    const TTomericBackground* masterBackground = pages_[0] ? pages_[0]->Background() : nullptr;
    QWidget* master = nullptr;
    for (QWidget* child : page->Background()->findChildren<QWidget*>()) {
        if (child->objectName().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const bool onMaster = masterBackground && masterBackground != page->Background() &&
                              masterBackground->isAncestorOf(child);
        if (!onMaster)
            return child;
        if (!master)
            master = child;
    }
    return master;
}

void TPageStack::resizeEvent(QResizeEvent* event)
{
    // Pages have the container's size and follow it.
    for (int i = 0; i < Count(); ++i)
        if (pages_[size_t(i)] && !lent_[size_t(i)])
            pages_[size_t(i)]->setGeometry(QRect(QPoint(0, 0), event->size()));
    QWidget::resizeEvent(event);
}

void TPageStack::SetPublicationArea(const QRect& area)
{
    publicationArea_ = area;
    for (int i = 0; i < Count(); ++i)
        if (TQXPageWidget* page = pages_[size_t(i)]) {
            if (!lent_[size_t(i)])
                page->setGeometry(rect());
            page->Background()->SetPublicationArea(area);
        }
}

TQXPageWidget* TPageStack::LendPage(int index)
{
    TQXPageWidget* page = EnsurePage(index);
    if (!page || lent_[size_t(index)])
        return nullptr;
    // The master page goes out with its objects, which may lie in the page
    // that shows them.
    if (index == 0)
        PlaceMasterPage(0);
    lent_[size_t(index)] = true;
    return page;
}

void TPageStack::TakeBackPage(int index)
{
    if (!IsLent(index))
        return;
    lent_[size_t(index)] = false;
    if (index == shown_ || (index == 0 && ShowsMasterPage(shown_)))
        ShowPageAt(shown_);
    update();
}

void TPageStack::paintEvent(QPaintEvent* event)
{
    (void)event;
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
}

} // namespace tomeric
