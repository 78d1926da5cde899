#include "windows/mail_progress_form.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace tomeric {

namespace {

constexpr int kMargin = 12;
constexpr int kMinimumBarWidth = 250;
constexpr int kBarHeight = 16;

} // namespace

TMailProgressForm::TMailProgressForm(const TDialogLook& look, const QString& caption, const QString& message)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setWindowTitle(caption);
    setFont(look.Font());
    setObjectName(QStringLiteral("Progress"));
    QFont messageFont = look.Font();
    if (messageFont.family().compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        messageFont.setBold(true);
    message_ = new QLabel(DialogDisplayText(message), this);
    message_->setFont(messageFont);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    bytes_ = new QLabel(this);
    bytes_->hide();
    cancel_ = new QPushButton(look.Word(ltCancel), this);
    cancel_->setObjectName(QStringLiteral("ProgressCancel"));
    connect(cancel_, &QPushButton::clicked, this, [this] { PressCancel(); });

    // Bar under the message, the button centred under the bar.
    const QFontMetrics metrics(font());
    const QSize text = message_->sizeHint();
    const int clientWidth = std::max(kMinimumBarWidth + 2 * kMargin, text.width() + 2 * kMargin);
    message_->setGeometry(kMargin, kMargin, text.width(), text.height());
    const int barTop = kMargin + text.height() + 8;
    bar_->setGeometry(kMargin, barTop, clientWidth - 2 * kMargin, kBarHeight);
    bytes_->setGeometry(bar_->geometry());
    const int buttonWidth = metrics.horizontalAdvance(cancel_->text()) + 16;
    const int buttonHeight = std::max(25, metrics.height() + 4);
    const int buttonTop = barTop + kBarHeight + 12;
    cancel_->setGeometry((clientWidth - buttonWidth) / 2, buttonTop, buttonWidth, buttonHeight);
    setFixedSize(clientWidth, buttonTop + buttonHeight + 12);
}

QString TMailProgressForm::ByteCountText(int negativeValue)
{
    QString digits = QString::number(-qint64(negativeValue));
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return digits + QStringLiteral(" bytes");
}

void TMailProgressForm::SetProgress(int value)
{
    const bool counting = value < 0;
    bar_->setVisible(!counting);
    bytes_->setVisible(counting);
    if (counting)
        bytes_->setText(ByteCountText(value));
    else
        bar_->setValue(std::min(value, 100));
}

void TMailProgressForm::PressCancel()
{
    cancelPressed_ = true;
    cancel_->setCursor(Qt::WaitCursor);
}

void TMailProgressForm::closeEvent(QCloseEvent* event)
{
    // The command closes the window once the transfer has ended.
    PressCancel();
    event->ignore();
}

} // namespace tomeric
