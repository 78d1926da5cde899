#pragma once
// The widgets of a page: TQXPageWidget, a child of the page container with the
// container's size, holding exactly one TTomericBackground that fills it.
// The background paints the page's colour, gradient or wallpaper and will
// own the page's objects. The master page's background moves into the page
// it is shown on and paints that page's look there.

#include "pages/background_painter.h"

#include <QWidget>

namespace tomeric {

class TTomericBackground : public QWidget {
    Q_OBJECT
public:
    TTomericBackground(QWidget* parent, TWallpaperSource wallpapers);

    // Every setter does nothing when the value does not change, and
    // otherwise stores it and repaints.
    void SetLook(const TBackgroundLook& look);
    const TBackgroundLook& Look() const { return look_; }
    // The rectangle the page is laid out in (from 0,0, the publication size).
    // The page's objects move with its origin.
    void SetPublicationArea(const QRect& area);
    const QRect& PublicationArea() const { return publicationArea_; }

    // Paints the background alone into `painter` over `area` (the page's
    // off-screen pictures use it too).
    void PaintInto(QPainter& painter, const QRect& area) const;

signals:
    // Mouse activity on the bare background, for dragging a borderless window.
    void BackgroundMousePressed(QPoint globalPosition);
    void BackgroundMouseMoved(QPoint globalPosition);
    void BackgroundMouseReleased(QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TWallpaperSource wallpapers_;
    TBackgroundLook look_;
    QRect publicationArea_;
};

class TQXPageWidget : public QWidget {
    Q_OBJECT
public:
    TQXPageWidget(QWidget* container, const QString& name, const TBackgroundLook& look,
            TWallpaperSource wallpapers);

    const QString& PageName() const { return name_; }
    TTomericBackground* Background() const { return background_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString name_;
    TTomericBackground* background_;
};

} // namespace tomeric
