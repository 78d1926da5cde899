#include "app/splash_screen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace tomeric {

namespace {

constexpr int kPollMs = 10;
constexpr int kFullBarMs = 100;
constexpr int kWaitBoxProgressHeight = 35;
constexpr int kWaitBoxBorder = 12;

void PumpFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, kPollMs);
        QThread::msleep(kPollMs);
    }
}

} // namespace

TSplashScreenForm::TSplashScreenForm(const QImage& picture, const QString& waitText, const QFont& font,
                                     bool fast)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), fast_(fast)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, kProgressRange);
    bar_->setTextVisible(false);
    withPicture_ = !picture.isNull();
    if (withPicture_)
        BuildPictureLayout(picture);
    else
        BuildWaitLayout(waitText, font);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    QTimer::singleShot(withPicture_ ? kPictureMinimumMs : kWaitBoxDelayMs, this, [this] { TimerFired(); });
    if (withPicture_)
        show();
}

void TSplashScreenForm::BuildPictureLayout(const QImage& picture)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    auto* image = new QLabel(this);
    image->setPixmap(QPixmap::fromImage(picture));
    image->setFixedSize(picture.size());
    layout->addWidget(image);
    layout->addWidget(bar_);
}

void TSplashScreenForm::BuildWaitLayout(const QString& waitText, const QFont& font)
{
    setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kWaitBoxBorder, kWaitBoxBorder, kWaitBoxBorder, kWaitBoxBorder);
    auto* message = new QLabel(waitText, this);
    message->setAlignment(Qt::AlignCenter);
    layout->addWidget(message);
    bar_->setFixedHeight(kWaitBoxProgressHeight - 2 * kWaitBoxBorder + 10);
    layout->addWidget(bar_);
    setMinimumWidth(message->sizeHint().width() + 24);
}

void TSplashScreenForm::TimerFired()
{
    timerFired_ = true;
    // The wait box appears only when reading is not beyond half way.
    if (!withPicture_ && bar_->value() <= kProgressRange / 2 && !fast_)
        show();
}

void TSplashScreenForm::SetProgress(int percent)
{
    bar_->setValue(std::clamp(percent, 0, kProgressRange));
}

int TSplashScreenForm::Progress() const
{
    return bar_->value();
}

void TSplashScreenForm::CloseSplash()
{
    if (!fast_) {
        while (!timerFired_)
            PumpFor(kPollMs);
        if (isVisible()) {
            SetProgress(kProgressRange);
            repaint();
            PumpFor(kFullBarMs);
        }
    }
    close();
}

} // namespace tomeric
