#include "app/player_printing.h"

#include "app/work_form.h"

namespace tomeric {

int TFormPrintHost::PageCount() const
{
    return form_.PageList().Count();
}

int TFormPrintHost::CurrentPage() const
{
    return form_.PageList().PageIndex();
}

int TFormPrintHost::FindPage(const QString& name) const
{
    return form_.PageList().FindPage(name);
}

QString TFormPrintHost::PageName(int index) const
{
    return form_.PageList().PageName(index);
}

QSize TFormPrintHost::PageSize() const
{
    const TPageStack* stack = form_.StackOrNull();
    return stack ? stack->size() : QSize();
}

void TFormPrintHost::PaintPage(int index, QPainter& painter)
{
    if (TPageStack* stack = form_.StackOrNull())
        stack->PaintPage(index, painter);
}

QImage TFormPrintHost::PagePicture(int index)
{
    TPageStack* stack = form_.StackOrNull();
    return stack ? stack->RenderPage(index) : QImage();
}

bool TFormPrintHost::BypassPrintDialog() const
{
    return form_.Publication().settings.bypassPrintDlg;
}

QString TFormPrintHost::ResolveFile(const QString& name) const
{
    return form_.AllServices().Publication->ResolveFile(name);
}

} // namespace tomeric
