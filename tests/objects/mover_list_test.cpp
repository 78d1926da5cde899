// The mover list with plain widgets: worker threads compute the steps, the
// main thread applies them, one mover per widget, stops by name or all,
// Restore, and the list's end joining every thread. Needs nothing but
// QtWidgets, so it also runs in the thread-sanitizer build.

#include "objects/object_mover.h"
#include "objects_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QThread>

#include <atomic>

namespace tomeric {
namespace {

using testing::RunUntil;

// The test program's application: the one already made by other tests of
// the same program, else one of its own.
QCoreApplication& App()
{
    if (QCoreApplication* existing = QCoreApplication::instance())
        return *existing;
    static int argc = 1;
    static char name[] = "mover_list_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class MoverList : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        parent = std::make_unique<QWidget>();
        parent->resize(400, 300);
        widget = new QWidget(parent.get());
        widget->setObjectName(QStringLiteral("Ball"));
        widget->setGeometry(10, 20, 20, 10);
        list = std::make_unique<TMoverList>();
    }

    std::shared_ptr<TTomericObjMover> Start(QWidget& target, const QString& points, const QString& options,
                                            int delay = 1, const QString& done = QStringLiteral("Done"))
    {
        TMoverRequest request;
        request.path = ParseMoverPoints(points);
        request.delayMs = delay;
        request.doneAction = done;
        ParseMoverOptions(options, request);
        auto move = [this](QWidget& w, QPoint p) {
            // Steps arrive on the main thread only.
            EXPECT_EQ(QThread::currentThread(), App().thread());
            w.move(p);
            ++steps;
        };
        auto finished = [this](QWidget*, const QString& action) { doneActions.push_back(action); };
        return list->Start(target, request, move, finished);
    }


    std::unique_ptr<QWidget> parent;
    QWidget* widget = nullptr;
    std::unique_ptr<TMoverList> list;
    int steps = 0;
    std::vector<QString> doneActions;
};

TEST_F(MoverList, WalksThePathOnTheMainThreadAndRunsTheDoneAction)
{
    ASSERT_TRUE(Start(*widget, "0,0,40,30", "LeftTop"));
    ASSERT_TRUE(RunUntil([&] { return list->Count() == 0; }));
    EXPECT_EQ(widget->pos(), QPoint(40, 30));
    EXPECT_GT(steps, 10);
    EXPECT_EQ(doneActions, std::vector<QString>{"Done"});
}

TEST_F(MoverList, SinglePointAtTheCentreEndsWithoutAStep)
{
    ASSERT_TRUE(Start(*widget, "20,25", ""));
    ASSERT_TRUE(RunUntil([&] { return list->Count() == 0; }));
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(doneActions.size(), 1u);
}

TEST_F(MoverList, OneMoverPerWidget)
{
    ASSERT_TRUE(Start(*widget, "0,0,300,0", "Loop,LeftTop"));
    EXPECT_FALSE(Start(*widget, "5,5", "LeftTop"));
    EXPECT_TRUE(list->IsMoving(widget));
    list->Stop(QStringLiteral("BALL"));
    ASSERT_TRUE(RunUntil([&] { return list->Count() == 0; }));
    EXPECT_FALSE(list->IsMoving(widget));
    EXPECT_TRUE(Start(*widget, "5,5", "LeftTop"));
    ASSERT_TRUE(RunUntil([&] { return list->Count() == 0; }));
}

TEST_F(MoverList, LoopRunsUntilStoppedAndRestoreReturnsToTheStart)
{
    ASSERT_TRUE(Start(*widget, "10,20,60,20", "Loop,Restore,LeftTop"));
    ASSERT_TRUE(RunUntil([&] { return widget->x() == 60; }));
    ASSERT_TRUE(RunUntil([&] { return widget->x() == 10; }));
    ASSERT_TRUE(RunUntil([&] { return widget->x() > 20; }));
    list->StopAll();
    EXPECT_EQ(list->Count(), 0);
    ASSERT_TRUE(RunUntil([&] { return doneActions.size() == 1; }));
    EXPECT_EQ(widget->pos(), QPoint(10, 20));
}

TEST_F(MoverList, ManyMoversAtOnceAndTheListEndJoinsThemAll)
{
    std::vector<QWidget*> widgets;
    for (int i = 0; i < 8; ++i) {
        auto* w = new QWidget(parent.get());
        w->setObjectName(QStringLiteral("W%1").arg(i));
        w->setGeometry(i * 10, 0, 5, 5);
        widgets.push_back(w);
        ASSERT_TRUE(Start(*w, QStringLiteral("%1,0,%1,250").arg(i * 10), "Loop,LeftTop", 0));
    }
    ASSERT_TRUE(RunUntil([&] { return steps > 200; }));
    list.reset();
    const int after = steps;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(steps, after);
}

TEST_F(MoverList, WaitRunsTheEventLoopUntilTheMoverHasEnded)
{
    auto mover = Start(*widget, "0,0,50,50", "Wait,LeftTop");
    ASSERT_TRUE(mover);
    TMoverList::WaitFor(mover);
    EXPECT_EQ(widget->pos(), QPoint(50, 50));
    EXPECT_EQ(list->Count(), 0);
}

TEST_F(MoverList, AWidgetDeletedWhileMovingEndsItsMover)
{
    ASSERT_TRUE(Start(*widget, "0,0,300,0", "Loop,LeftTop"));
    ASSERT_TRUE(RunUntil([&] { return steps > 3; }));
    delete widget;
    widget = nullptr;
    EXPECT_TRUE(RunUntil([&] { return list->Count() == 0; }));
}

} // namespace
} // namespace tomeric
