#pragma once
// The two text pop-ups: the speech balloon (TPopUpBalloonForm with its
// TTomericBalloon) and the sticky note (TPopUpStickyNoteForm with its
// TTomericStickyNote). Both paint every pixel themselves on a translucent
// window, so rounded corners and the parts beside the stem show whatever
// lies behind. A "|" in their texts is a line break.

#include "windows/popup_layout.h"
#include "windows/popup_palette.h"

#include <QColor>
#include <QFont>
#include <QWidget>

namespace tomeric {

// Text drawn the way both controls draw it: inside `area`, word-wrapped,
// tabs expanded, no prefix characters, centred vertically when shorter.
void DrawPopUpText(QPainter& painter, const QRect& area, const QString& text, Qt::Alignment alignment,
                   bool enabled);
// The text's size when drawn without a width limit (0: no limit) or wrapped
// to `wrapWidth`.
QSize MeasurePopUpText(const QFont& font, const QString& text, int wrapWidth = 0);
// Dialog texts take "|" as a line break.
QString PopUpDisplayText(const QString& text);

class TTomericBalloon : public QWidget {
public:
    explicit TTomericBalloon(QWidget* parent);

    Qt::Alignment alignment = Qt::AlignHCenter;
    QColor backgroundColor = Qt::white;
    TBalloonMetrics metrics;
    TStemPos stemPos = spBottom;
    int stemOffset = 0;

    void SetText(const QString& text);
    const QString& Text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintHighColour(QPainter& painter, const TBalloonShape& shape);
    void PaintLowColour(QPainter& painter, const TBalloonShape& shape);
    QString text_;
};

class TPopUpBalloonForm : public TPopUpPalette {
public:
    TPopUpBalloonForm(const TPopUpEnvironment& environment, const QFont& dialogFont);

    // Sizes the balloon for `text` and places it pointing at `target` on
    // `screen`; returns where its top-left corner goes.
    QPoint Prepare(const QString& text, const QPoint& target, const QRect& screen);
    TTomericBalloon& TextBalloon() { return *balloon_; }

private:
    TTomericBalloon* balloon_;
};

class TTomericStickyNote : public QWidget {
public:
    explicit TTomericStickyNote(QWidget* parent);

    Qt::Alignment alignment = Qt::AlignLeft;
    QColor backgroundColor;
    TStickyNoteMetrics metrics;

    void SetText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

class TPopUpStickyNoteForm : public TPopUpPalette {
public:
    TPopUpStickyNoteForm(const TPopUpEnvironment& environment, const QFont& dialogFont);

    // Sizes the note for `text` and places it at x, y of the page area (-1:
    // centred); returns where its top-left corner goes.
    QPoint Prepare(const QString& text, int x, int y, const QRect& pageArea, const QRect& screen);

private:
    TTomericStickyNote* note_;
};

} // namespace tomeric
