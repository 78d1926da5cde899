#pragma once
// Shared pieces of the player benchmarks: the application, a host that runs
// nothing, and objects of the usual families spread over an 800 × 600 page.

#include "objects/object_host.h"
#include "publication/object_model.h"

#include <QApplication>
#include <QCursor>

#include <iterator>

namespace tomeric::bench {

inline QApplication& BenchApplication()
{
    static int argc = 1;
    static char name[] = "bench_player";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class TQuietHost final : public ObjectHost {
public:
    void RunObjectScript(const QString&, int, std::uint8_t, int, const QString&) override {}
    bool EnterExitSuppressed() const override { return true; }
    bool Running() const override { return false; }
    bool ShowMarquee() const override { return false; }
    QCursor Cursor(TCursorSlot) const override { return QCursor(Qt::ArrowCursor); }
    QImage Picture(const QString&) override { return {}; }
    QString ResolveFile(const QString& name) override { return name; }
};

// Object `object` of page `page`: buttons, texts, shapes, inputs and timers
// in turn, overlapping as on a busy page.
inline TObjectRecord BenchObject(int page, int object)
{
    static const int kTypes[] = {otPushBtn, otText, otRect, otCheckBox, otEditField,
                                 otTimer,   otCircle, otTrackBar, otListBox, otRoundRect};
    TObjectRecord record = MakeObjectRecord(kTypes[object % std::size(kTypes)]);
    record.name = QStringLiteral("Object%1_%2").arg(page).arg(object);
    record.x = object * 13 % 700;
    record.y = object * 7 % 500;
    record.width = 120;
    record.height = 32;
    return record;
}

} // namespace tomeric::bench
