#pragma once
// What a transition draws on. Effects run synchronously: they draw a step on
// the surface's canvas, present it, sleep and repeat. A page keeps the canvas
// as the picture of its area and repaints the presented part at once; tests
// use TImageSurface and look at every presented step.

#include <QImage>
#include <QRect>

#include <functional>
#include <vector>

namespace tomeric {

class TTransitionSurface {
public:
    virtual ~TTransitionSurface() = default;
    // The picture of the screen in surface coordinates; effects read the old
    // picture from it and draw the new one onto it.
    virtual QImage& Canvas() = 0;
    // Shows what has been drawn inside `dirty` (a window repaints it now).
    virtual void Present(const QRect& dirty) = 0;
};

// A surface that is nothing but an image. Records each presented rectangle
// and can hand every step to an observer.
class TImageSurface : public TTransitionSurface {
public:
    explicit TImageSurface(QImage image) : image_(std::move(image)) {}

    QImage& Canvas() override { return image_; }
    void Present(const QRect& dirty) override {
        presented_.push_back(dirty);
        if (onPresent_)
            onPresent_(image_, dirty);
    }

    const QImage& Image() const { return image_; }
    const std::vector<QRect>& Presented() const { return presented_; }
    void SetPresentObserver(std::function<void(const QImage&, const QRect&)> observer) {
        onPresent_ = std::move(observer);
    }

private:
    QImage image_;
    std::vector<QRect> presented_;
    std::function<void(const QImage&, const QRect&)> onPresent_;
};

} // namespace tomeric
