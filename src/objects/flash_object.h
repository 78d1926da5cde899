#pragma once
// TTomericFlash (22): a Flash movie on a page. The player has no Flash
// engine here yet, so the object shows "Requires Flash Player" and its
// commands report that they cannot be carried out.

#include "objects/tomeric_obj.h"

namespace tomeric {

class TTomericFlash final : public TTomericObj {
    Q_OBJECT
public:
    TTomericFlash(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    const QString& FileName() const { return fileName_; }
    bool HasEngine() const { return false; }

    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;
    bool SetObjectFileName(const QString& file) override;

protected:
    void PaintContent(QPainter& painter) override;

private:
    QString fileName_;
};

TTomericObj* CreateFlash(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
