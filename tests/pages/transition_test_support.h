#pragma once
// Helpers for the transition tests: a canvas with a distinct background,
// old and new pictures, and a sleeper that records instead of sleeping.

#include "pages/transitions.h"

#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <vector>

namespace tomeric::testing {

inline QImage Pattern(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 31 + seed * 50) % 256, (y * 17 + seed * 90) % 256,
                                      (x + y + seed * 130) % 256));
    return image;
}

struct RecordingSleeper {
    std::vector<int> sleeps;
    TTransitionSleeper Function() {
        return [this](int ms) { sleeps.push_back(ms); };
    }
};

// A surface whose canvas shows a background pattern with the old picture in
// `area`.
struct TransitionScene {
    QRect area;
    QImage background;
    QImage oldPicture;
    QImage newPicture;
    TImageSurface surface;
    RecordingSleeper sleeper;

    TransitionScene(QSize canvasSize, QRect areaRect)
        : area(areaRect), background(Pattern(canvasSize.width(), canvasSize.height(), 0)),
          oldPicture(Pattern(areaRect.width(), areaRect.height(), 1)),
          newPicture(Pattern(areaRect.width(), areaRect.height(), 2)),
          surface(Compose(background, oldPicture, areaRect)) {}

    static QImage Compose(QImage canvas, const QImage& picture, const QRect& at) {
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (canvas.rect().contains(at.left() + x, at.top() + y))
                    canvas.setPixel(at.left() + x, at.top() + y, picture.pixel(x, y));
        return canvas;
    }

    TTransitionRequest Request(const QString& name, const QString& options = "0") const {
        TTransitionRequest request;
        request.area = area;
        request.name = name;
        request.options = options;
        request.fromPicture = oldPicture;
        request.toPicture = newPicture;
        return request;
    }

    void Run(const TTransitionRequest& request, TTransitionEnvironment environment = {}) {
        environment.sleeper = sleeper.Function();
        RunTransition(surface, request, environment);
    }

    // The canvas shows the new picture in the area and the untouched
    // background elsewhere.
    ::testing::AssertionResult EndsWithNewPicture() const {
        const QImage expected = Compose(background, newPicture, area);
        const QImage& actual = surface.Image();
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                if (actual.pixel(x, y) != expected.pixel(x, y)) {
                    return ::testing::AssertionFailure()
                        << "pixel (" << x << ", " << y << ") "
                        << (area.contains(x, y) ? "inside" : "outside") << " the area differs";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }
};

} // namespace tomeric::testing
