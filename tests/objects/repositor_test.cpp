// Groups and containers: members, forwarding, docking, margins, the size
// action and the tab order.

#include "objects/object_factory.h"
#include "objects/object_tree.h"
#include "objects/repositor.h"

#include "objects_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

using testing::Record;
using testing::TTestObjectHost;
using testing::TTestPage;

// Records which object messages reach a member.
class TListeningObj : public TTomericObj {
public:
    using TTomericObj::TTomericObj;
    QStringList heard;
    void OnInit() override { heard << "init"; }
    void OnPageShow() override { heard << "show"; }
    void OnPageHide() override { heard << "hide"; }
    void OnTabStops() override { heard << "tabstops"; }
    void OnTimers(bool resume) override { heard << (resume ? "resume" : "pause"); }
    void OnVarChanged(const QString& name, const QString& value) override { heard << name + "=" + value; }
    void OnPagePaint(bool shown, const QRect&) override { heard << (shown ? "shown" : "painted"); }
};

class Repositors : public ::testing::Test {
protected:
    TTomericContainer* MakeContainer(int lineWidth, int hMargin, int vMargin, std::vector<TObjectRecord> members = {})
    {
        TObjectRecord r = Record(otContainer, "Box", 10, 10, 100, 80);
        r.lineWidth = lineWidth;
        r.As<TContainerProps>()->hMargin = hMargin;
        r.As<TContainerProps>()->vMargin = vMargin;
        r.As<TContainerProps>()->resizeAction = QStringLiteral("Resized");
        r.members = std::move(members);
        return qobject_cast<TTomericContainer*>(CreateObject(&page, r, host));
    }
    static TObjectRecord Docked(const QString& name, int anchor, int w, int h)
    {
        TObjectRecord r = Record(otRect, name, 0, 0, w, h);
        r.anchor = anchor;
        return r;
    }
    TTestPage page{QSize(300, 200)};
    TTestObjectHost host;
};

TEST_F(Repositors, GroupMembersAreCreatedInsideAndRelativeToIt)
{
    TObjectRecord group = Record(otGroup, "G", 50, 40, 100, 100);
    group.members = {Record(otRect, "A", 5, 6, 10, 10), Record(otRect, "B", 20, 20, 10, 10)};
    TTomericObj* g = CreateObject(&page, group, host, QPoint(3, 4));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->pos(), QPoint(53, 44));
    TTomericObj* a = FindObjectByName(&page, QStringLiteral("a"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->parentWidget(), g);
    EXPECT_EQ(a->pos(), QPoint(5, 6)); // the origin applies at page level only
    EXPECT_EQ(qobject_cast<TTomericRepositor*>(g)->Members().size(), 2u);
}

TEST_F(Repositors, MessagesAndEnabledStateReachEveryMember)
{
    TObjectRecord group = Record(otGroup, "G", 0, 0, 100, 100);
    auto* g = qobject_cast<TTomericGroup*>(CreateObject(&page, group, host));
    auto* member = new TListeningObj(g, Record(otRect, "M", 0, 0, 5, 5), host);
    g->OnInit();
    g->OnPageShow();
    g->OnPagePaint(true, {});
    g->OnVarChanged(QStringLiteral("[X]"), QStringLiteral("1"));
    g->OnTimers(false);
    g->OnTabStops();
    g->OnPageHide();
    EXPECT_EQ(member->heard, (QStringList{"init", "show", "shown", "[X]=1", "pause", "tabstops", "hide"}));
    g->SetEnabledState(false);
    EXPECT_FALSE(member->EnabledState());
}

TEST_F(Repositors, SendToObjectsReachesTopLevelObjectsOnly)
{
    TObjectRecord group = Record(otGroup, "G", 0, 0, 100, 100);
    group.members = {Record(otRect, "Inner", 0, 0, 5, 5)};
    CreateObject(&page, group, host);
    CreateObject(&page, Record(otRect, "Outer", 0, 0, 5, 5), host);
    QStringList reached;
    SendToObjects(&page, [&](TTomericObj& o) { reached << o.Name(); });
    EXPECT_EQ(reached, (QStringList{"G", "Outer"}));
    QStringList walked;
    ForEachObject(&page, [&](TTomericObj& o) { walked << o.Name(); return true; });
    EXPECT_EQ(walked, (QStringList{"G", "Inner", "Outer"}));
}

TEST_F(Repositors, ClientAreaShrinksByLineWidthAndMargins)
{
    TTomericContainer* box = MakeContainer(2, 5, 3);
    EXPECT_EQ(box->ClientArea(), QRect(7, 5, 100 - 14, 80 - 10));
}

TEST_F(Repositors, DockedMembersFillTheClientAreaInOrder)
{
    TTomericContainer* box = MakeContainer(1, 4, 2,
                                           {Docked("Top", anTop, 10, 10), Docked("Bottom", anBottom, 10, 12),
                                            Docked("Left", anLeft, 8, 10), Docked("Right", anRight, 6, 10),
                                            Docked("Fill", anFill, 1, 1), Docked("Free", anNone, 7, 7)});
    auto geometry = [&](const char* name) { return FindObjectByName(box, QString::fromLatin1(name))->geometry(); };
    // client area: x 5..94 (90 wide), y 3..76 (74 high)
    EXPECT_EQ(geometry("Top"), QRect(5, 3, 90, 10));
    EXPECT_EQ(geometry("Bottom"), QRect(5, 65, 90, 12));
    EXPECT_EQ(geometry("Left"), QRect(5, 13, 8, 52));
    EXPECT_EQ(geometry("Right"), QRect(89, 13, 6, 52));
    EXPECT_EQ(geometry("Fill"), QRect(13, 13, 76, 52));
    EXPECT_EQ(geometry("Free"), QRect(0, 0, 7, 7));
}

TEST_F(Repositors, ResizingRealignsAndRunsTheSizeActionOncePerNewSize)
{
    TTomericContainer* box = MakeContainer(0, 0, 0, {Docked("Fill", anFill, 1, 1)});
    box->OnInit();
    page.show();
    box->resize(120, 90);
    box->resize(120, 90);
    testing::TurnEventLoop();
    EXPECT_EQ(FindObjectByName(box, QStringLiteral("Fill"))->geometry(), QRect(0, 0, 120, 90));
    ASSERT_EQ(host.runs.size(), 1u);
    EXPECT_EQ(host.runs[0].kind, int(ekContainerResized));
    EXPECT_EQ(host.runs[0].text, QStringLiteral("Resized"));
    page.hide();
}

TEST_F(Repositors, NoSizeActionBeforeThePublicationRunsOrWhenDisabled)
{
    host.running = false;
    TTomericContainer* box = MakeContainer(0, 0, 0);
    page.show();
    box->resize(120, 90);
    host.running = true;
    box->SetEnabledState(false);
    box->resize(130, 90);
    testing::TurnEventLoop();
    EXPECT_TRUE(host.runs.empty());
    page.hide();
}

TEST_F(Repositors, AGroupAnswersTheMouseOnlyWhereItsMembersAre)
{
    TTomericObj* beneath = CreateObject(&page, Record(otRect, "Beneath", 0, 0, 300, 200), host);
    TObjectRecord group = Record(otGroup, "G", 10, 10, 150, 60);
    TObjectRecord ring = Record(otCircle, "Ring", 100, 0, 40, 40);
    group.members = {Record(otRect, "A", 0, 0, 40, 40), ring};
    CreateObject(&page, group, host);
    page.show();
    QCoreApplication::processEvents();
    auto nameAt = [this](int x, int y) {
        for (QWidget* w = page.childAt(x, y); w; w = w->parentWidget())
            if (auto* o = qobject_cast<TTomericObj*>(w)) return o->Name();
        return QString();
    };
    EXPECT_EQ(nameAt(20, 20), QStringLiteral("A"));
    EXPECT_EQ(nameAt(80, 20), QStringLiteral("Beneath")) << "the gap between the members";
    EXPECT_EQ(nameAt(130, 30), QStringLiteral("Ring"));
    EXPECT_EQ(nameAt(111, 11), QStringLiteral("Beneath")) << "beside the ellipse's curve";

    // The region follows the members.
    TTomericObj* a = FindObjectByName(&page, QStringLiteral("A"));
    a->move(50, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(nameAt(20, 20), QStringLiteral("Beneath"));
    EXPECT_EQ(nameAt(80, 20), QStringLiteral("A"));
    a->hide();
    FindObjectByName(&page, QStringLiteral("Ring"))->hide();
    QCoreApplication::processEvents();
    EXPECT_EQ(nameAt(80, 20), QStringLiteral("Beneath")) << "nothing shown: every click goes through";
    EXPECT_EQ(nameAt(130, 30), QStringLiteral("Beneath"));
    (void)beneath;
}

TEST_F(Repositors, PageLevelObjectsDockInTheAreaTheyAreGiven)
{
    std::vector<TTomericObj*> objects = {
        CreateObject(&page, Docked("Bar", anTop, 5, 20), host),
        CreateObject(&page, Docked("Side", anLeft, 30, 5), host),
        CreateObject(&page, Docked("Free", anNone, 7, 7), host),
        CreateObject(&page, Docked("Rest", anFill, 1, 1), host),
    };
    DockObjects(objects, QRect(10, 5, 200, 100));
    EXPECT_EQ(objects[0]->geometry(), QRect(10, 5, 200, 20));
    EXPECT_EQ(objects[1]->geometry(), QRect(10, 25, 30, 80));
    EXPECT_EQ(objects[2]->geometry(), QRect(0, 0, 7, 7)) << "ANCHOR=0 stays where the author put it";
    EXPECT_EQ(objects[3]->geometry(), QRect(40, 25, 170, 80));
}

TEST_F(Repositors, TabOrderPutsExplicitPositionsFirst)
{
    TObjectRecord a = Record(otRect, "A", 0, 0, 5, 5), b = a, c = a;
    b.name = "B";
    b.tabOrder = 1;
    c.name = "C";
    c.tabOrder = 0;
    auto made = CreatePageObjects(&page, {a, b, c}, host, {});
    for (TTomericObj* o : made) o->setFocusPolicy(Qt::TabFocus);
    RebuildTabOrder(&page);
    QStringList chain;
    for (QWidget* w = made[2]; chain.size() < 3; w = w->nextInFocusChain())
        if (!w->objectName().isEmpty()) chain << w->objectName();
    EXPECT_EQ(chain, (QStringList{"C", "B", "A"}));
}

} // namespace
} // namespace tomeric
