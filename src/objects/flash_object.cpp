#include "objects/flash_object.h"

#include <QPainter>

namespace tomeric {

TTomericObj* CreateFlash(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericFlash(parent, record, host);
}

TTomericFlash::TTomericFlash(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
    if (const auto* props = record.As<TFlashProps>())
        fileName_ = props->fileName;
}

std::optional<QString> TTomericFlash::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("FILENAME"))
        return fileName_;
    if (upperInfo == QLatin1String("MEDIALENGTH"))
        return QStringLiteral("0");
    return std::nullopt;
}

bool TTomericFlash::SetObjectFileName(const QString& file)
{
    fileName_ = file;
    return true;
}

void TTomericFlash::PaintContent(QPainter& painter)
{
    PaintShape(painter);
    painter.setPen(Qt::black);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("Requires Flash Player"));
}

} // namespace tomeric
