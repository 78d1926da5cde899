#pragma once
// TSplashScreenForm: the borderless, centred window with a progress bar
// (range 0..110) shown while the publication text is read. With a splash
// picture it appears at once and stays at least 1500 ms; without one it is
// a "please wait" box that appears only when reading is still under half
// way after 500 ms.

#include <QImage>
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace tomeric {

class TSplashScreenForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kProgressRange = 110;
    static constexpr int kPictureMinimumMs = 1500;
    static constexpr int kWaitBoxDelayMs = 500;

    // With a picture (not null); `waitText` is the wait box's message
    // otherwise. With `fast`, closing never waits.
    TSplashScreenForm(const QImage& picture, const QString& waitText, const QFont& font, bool fast);

    void SetProgress(int percent);
    int Progress() const;
    // Waits (pumping messages) until the minimum time is over, shows the
    // full bar for a moment when visible, then closes.
    void CloseSplash();

private:
    void BuildPictureLayout(const QImage& picture);
    void BuildWaitLayout(const QString& waitText, const QFont& font);
    void TimerFired();

    QProgressBar* bar_ = nullptr;
    bool timerFired_ = false;
    bool withPicture_ = false;
    bool fast_ = false;
};

} // namespace tomeric
