#pragma once
// The running publication as printing sees it: its pages (drawn by the page
// container without changing the page shown), the print-dialog setting and
// the publication's files.

#include "printing/printing_service.h"

namespace tomeric {

class TWorkForm;

class TFormPrintHost final : public TPrintHost {
public:
    explicit TFormPrintHost(TWorkForm& form) : form_(form) {}

    int PageCount() const override;
    int CurrentPage() const override;
    int FindPage(const QString& name) const override;
    QString PageName(int index) const override;
    QSize PageSize() const override;
    void PaintPage(int index, QPainter& painter) override;
    QImage PagePicture(int index) override;
    bool BypassPrintDialog() const override;
    QString ResolveFile(const QString& name) const override;

private:
    TWorkForm& form_;
};

} // namespace tomeric
