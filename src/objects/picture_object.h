#pragma once
// TTomericPicture (type 4): a picture on a page. Inside its fill and border
// it draws its image in one of seven paint modes (PICTSTYLE=) at a zoom
// factor, with a transparent colour, the image's own alpha, an opacity and
// smooth or nearest-pixel scaling. In normal mode with SCROLLBAR= it shows
// the image at its zoomed size inside a scroll box; with PICTMOUSEPAN= the
// reader drags the image around. Clicks and right clicks run its actions.

#include "objects/tomeric_obj.h"

#include <QImage>
#include <QPointer>
#include <QScrollArea>

namespace tomeric {

class TTomericPicture;

// Where the image goes inside the client area for one paint mode.
struct TPictureLayout {
    bool tiled = false;
    // Not tiled: the rectangle the whole image is drawn into. Tiled: the
    // area covered with tiles, starting at its top-left corner.
    QRect target;
    QSize tileSize; // tiled only
};

// The canvas of a scrolling picture: the image at its zoomed size. Clicks
// on it run the picture's click action; dragging it pans when the picture
// is mouse-scrollable.
class TTomericPictureBox : public QWidget {
    Q_OBJECT
public:
    explicit TTomericPictureBox(TTomericPicture& picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TTomericPicture& picture_;
    QPoint lastGlobal_;
    bool pressed_ = false;
    bool panned_ = false;
};

// The scroll box that holds the canvas; frameless, so the picture's own
// fill and border show around it.
class TTomericScrollBox : public QScrollArea {
    Q_OBJECT
public:
    explicit TTomericScrollBox(QWidget* parent);
};

class TTomericPicture : public TTomericObj {
    Q_OBJECT
public:
    TTomericPicture(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    // The geometry of paint mode `mode` (TPaintMode) for an image of
    // `imageSize` at `zoom` percent in `client`; `pan` is the view offset of
    // normal mode, `centered` centres normal and stretch-with-aspect modes.
    static TPictureLayout Layout(int mode, QSize imageSize, int zoom, const QRect& client,
                                 bool centered, QPoint pan = {});

    // ---- properties -------------------------------------------------------------
    const QString& ImageFile() const { return imageFile_; }
    int PaintMode() const { return paintMode_; }
    std::int32_t TransColor() const { return transColor_; }
    int Opacity() const { return opacity_; }
    int ZoomFactor() const { return zoomFactor_; }
    bool Centered() const { return centered_; }
    bool ResampleMode() const { return resample_; }
    bool ScrollBars() const { return scrollBars_; }
    bool MouseScrollable() const { return mouseScrollable_; }
    const QString& ClickAction() const { return clickAction_; }
    const QString& RClickAction() const { return rClickAction_; }
    // Read-only state of the loaded image.
    bool FileExists() const { return !original_.isNull(); }
    bool HasAlphaMask() const { return hasAlphaMask_; }
    int ImageWidth() const { return original_.width(); }
    int ImageHeight() const { return original_.height(); }
    // The view offset of panning (normal mode without a scroll box).
    QPoint PanOffset() const { return pan_; }
    // The scroll box, while the picture shows one.
    TTomericScrollBox* ScrollBox() const { return scrollBox_; }

    // Stores the name and reloads: variables are substituted, the file is
    // read through the publication, the pan offset and scroll positions go
    // back to 0, the layout is redone and the picture repainted.
    void SetImageFile(const QString& name);
    // Reads the image file again.
    void Reload();
    // The zoom in percent: the absolute value, at least 10. A scroll box
    // keeps the same part in view.
    void SetZoomFactor(int percent);
    // PictureMagnify.
    void Magnify(int zoom) { SetZoomFactor(zoom); }
    void SetPaintMode(int mode); // out of range: ignored
    void SetOpacity(int opacity); // clamped to 0..255

    // Object commands.
    bool SetObjectFileName(const QString& file) override;
    void RefreshObject() override { Reload(); }
    // "FileName", "ImageWidth", "ImageHeight".
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;
    QWidget* FocusTarget() override;

    // Printing: the picture drawn into `target`, scaled by the factors.
    void PaintScaled(QPainter& painter, const QRect& target, bool scaled, int pixelsPerInch,
                     double factorX, double factorY);

    // The area inside the border.
    QRect ClientRect() const;
    // Draws the image (transparent colour, alpha, opacity and resampling
    // applied) into `target`, or tiles it over it.
    void DrawImage(QPainter& painter, const TPictureLayout& layout) const;
    // The image at its zoomed size (the scroll box's canvas size).
    QSize ZoomedSize() const;

    // Called by the canvas of the scroll box.
    void CanvasClicked() { RunObjectAction(clickAction_, ekClick, 0); }

protected:
    void PaintContent(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;
    void LineChanged() override { UpdateLayout(); }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void LoadImage();
    void UpdateLayout();
    void UpdateCursorShape();
    bool WantsScrollBox() const;
    // Moves the view by `delta` (the pointer's movement), within the image.
    void PanBy(QPoint delta);

    QString imageFile_;
    QImage original_; // as read
    QImage image_;    // ARGB, transparent colour cleared
    bool hasAlphaMask_ = false;
    int paintMode_ = pNormal;
    std::int32_t transColor_ = kPictureNoTransparentColour;
    int opacity_ = 255;
    int zoomFactor_ = 100;
    bool centered_ = false;
    bool resample_ = false;
    bool scrollBars_ = false;
    bool mouseScrollable_ = false;
    QString clickAction_, rClickAction_;

    QPointer<TTomericScrollBox> scrollBox_;
    QPointer<TTomericPictureBox> canvas_;
    QPoint pan_;
    QPoint lastGlobal_;
    Qt::MouseButton pressed_ = Qt::NoButton;
    bool panned_ = false;
};

TTomericObj* CreatePicture(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
