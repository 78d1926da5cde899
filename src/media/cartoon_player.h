#pragma once
// Cartoons: a strip of frames moved along a line across the page.
//
// The cartoon file: the magic bytes "SN", the file offset of the picture
// (4 bytes, little-endian), 4 reserved bytes, the number of frames (2
// bytes), and at that offset one picture in any format the image readers
// take, holding the frames side by side, all of equal width.
//
// TCartoonPlayer is the worker thread of one cartoon: it only computes the
// steps (TCartoonStepper) and sleeps. Every step is drawn on the main thread
// by the cartoon's overlay, a see-through child of the page area covering
// the path, so the page beneath always shows through and is as it was once
// the frame has gone. The thread waits for each step to be drawn before it
// sleeps, so a busy main thread slows a cartoon down instead of piling up
// steps.

#include "media/cartoon_stepper.h"

#include <QImage>
#include <QPointer>
#include <QSemaphore>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <optional>

namespace tomeric {

struct TCartoonFile {
    QImage image; // with an alpha channel: the transparent colour is clear
    int frames = 1;
    QSize FrameSize() const { return QSize(image.width() / frames, image.height()); }
};

// The error a cartoon thread records when its file cannot be read.
inline constexpr int kCartoonReadError = 106;

// Reads a cartoon file from its bytes; nothing when they are not one. A
// picture without an alpha channel takes its bottom-left pixel's colour as
// the transparent colour.
std::optional<TCartoonFile> ParseCartoonFile(const QByteArray& bytes);
std::optional<TCartoonFile> ReadCartoonFile(const QString& path);

// Draws the current frame of one cartoon (main thread only).
class TCartoonOverlay : public QWidget {
    Q_OBJECT
public:
    TCartoonOverlay(QWidget* area, const TCartoonFile& file, const TCartoonPath& path);
    void ShowStep(const TCartoonStep& step);
    void Erase();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    QSize frameSize_;
    int frames_;
    TCartoonStep step_;
};

class TCartoonPlayer : public QThread {
    Q_OBJECT
public:
    // `file` is empty when the cartoon file could not be read: the thread
    // then records kCartoonReadError and ends at once without drawing.
    TCartoonPlayer(QWidget* area, std::optional<TCartoonFile> file, const TCartoonPath& path, int delayMs);
    ~TCartoonPlayer() override;

    int ErrorCode() const { return errorCode_; }
    // Main thread: stops the thread, waits for it, and takes the frame away.
    void StopByCommand();

signals:
    // The thread ended on its own (delivered on the main thread).
    void Ended();

protected:
    void run() override;

private:
    // Worker thread: hands the step to the overlay and waits until it was
    // drawn; false when stopped meanwhile.
    bool DrawOnMainThread(const TCartoonStep& step);
    // Worker thread: sleeps `ms`, or less when stopped.
    void Sleep(int ms);

    std::optional<TCartoonFile> file_;
    TCartoonPath path_;
    int delayMs_;
    QPointer<TCartoonOverlay> overlay_;
    std::atomic<bool> stop_{false};
    std::atomic<int> errorCode_{0};
    QSemaphore drawn_;
    QSemaphore wake_;
};

} // namespace tomeric
