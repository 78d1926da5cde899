#pragma once
// TPopUpImageForm: a picture over the page. Without a transition the
// picture is drawn with its transparency on a translucent window, so what
// lies behind shows through; with one, the window starts with a copy of
// what lies beneath it and the picture is revealed over that copy through
// the named page transition.

#include "pages/transition_surface.h"
#include "windows/popup_palette.h"

#include <QImage>

namespace tomeric {

class TPopUpImageForm final : public TPopUpPalette, private TTransitionSurface {
public:
    explicit TPopUpImageForm(const TPopUpEnvironment& environment);

    // The picture, with its transparency; the form takes its size.
    void SetPicture(const QImage& picture);
    // Reveal the picture through `name` (delay level from `options`) over
    // `beneath`, a copy of what lies under the form. `fast`: the last step
    // shows at once.
    void SetTransition(const QString& name, const QString& options, const QImage& beneath, bool fast);

protected:
    void Opened() override;
    void paintEvent(QPaintEvent* event) override;

private:
    QImage& Canvas() override { return canvas_; }
    void Present(const QRect& dirty) override { repaint(dirty); }

    QImage picture_;
    QString transition_, options_;
    QImage canvas_; // with a transition: what shows, step by step
    bool fast_ = false;
};

// A picture loaded for the transition "Transparent": its bottom-left
// pixel's colour becomes transparent.
QImage WithTransparentColour(const QImage& picture);

} // namespace tomeric
