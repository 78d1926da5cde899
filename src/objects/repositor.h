#pragma once
// Objects that hold other objects. TTomericRepositor passes every object
// message and an enabled-state change on to its members; TTomericGroup (20)
// is an invisible, always transparent grouping that paints nothing;
// TTomericContainer (21) draws its frame, docks its members (ANCHOR=) inside
// its client area and runs its size action when it is resized.

#include "objects/tomeric_obj.h"

#include <QSize>

#include <vector>

namespace tomeric {

class TTomericRepositor : public TTomericObj {
    Q_OBJECT
public:
    TTomericRepositor(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    // The member objects, in creation order (direct children only).
    std::vector<TTomericObj*> Members() const;
    // Called once all members exist: the tab order is rebuilt and docked
    // members placed.
    virtual void MembersCreated();

    void SetEnabledState(bool value) override;
    void OnInit() override;
    void OnTimers(bool resume) override;
    void OnVarChanged(const QString& upperName, const QString& value) override;
    bool HearsVariable(const QString& upperName) const override;
    void OnPageHide() override;
    void OnPageShow() override;
    void OnPagePaint(bool shown, const QRect& area) override;
    void OnTabStops() override;
    void OnRealign() override;

protected:
    template <class F> void ForMembers(F&& f) const
    {
        for (TTomericObj* member : Members()) f(*member);
    }
};

class TTomericGroup : public TTomericRepositor {
    Q_OBJECT
public:
    TTomericGroup(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    void MembersCreated() override;
    // Where the group answers the mouse: its shown members' shapes (their
    // masks, or their rectangles), in the group's coordinates.
    QRegion MembersRegion() const;
    // The mouse region follows the members; called (posted) after a member
    // moves, resizes, shows or hides.
    void UpdateMouseRegion();

protected:
    void PaintContent(QPainter& painter) override { (void)painter; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RequestMouseRegionUpdate();
    bool updatePosted_ = false;
};

class TTomericContainer : public TTomericRepositor {
    Q_OBJECT
public:
    TTomericContainer(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    int HorzMargin() const { return hMargin_; }
    int VertMargin() const { return vMargin_; }
    const QString& ResizeAction() const { return resizeAction_; }
    // The rectangle members dock in: the object shrunk by LineWidth on every
    // side, by VertMargin at top and bottom, by HorzMargin left and right.
    QRect ClientArea() const;
    // Docks the members in the client area (DockObjects).
    void Realign();

    void MembersCreated() override;
    void OnInit() override;
    void OnRealign() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void LineChanged() override { Realign(); }

private:
    int hMargin_ = 0, vMargin_ = 0;
    QString resizeAction_;
    QSize lastSize_;
};

// Docks the objects whose ANCHOR= asks for it inside `area`: top ones
// stacked down from the top, bottom ones up from the bottom, then left,
// right, and fill takes what is left. Containers dock their members in
// their client area, pages their top-level objects in the publication area.
void DockObjects(const std::vector<TTomericObj*>& objects, QRect area);

// Rebuilds the keyboard order of the objects directly under `parent`:
// TABORDER= positions first in ascending order, then creation order.
void RebuildTabOrder(QWidget* parent);

TTomericObj* CreateGroup(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
TTomericObj* CreateContainer(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
