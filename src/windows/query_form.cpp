#include "windows/query_form.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace tomeric {

namespace {

constexpr int kPanelLeft = 12;
constexpr int kPanelTop = 16;
constexpr int kPromptTop = 14;
constexpr int kMinButtonWidth = 45;

// The picture beside the message, painted with its transparency.
class TPicturePanel : public QWidget {
public:
    TPicturePanel(QWidget* parent, const QImage& picture) : QWidget(parent), picture_(picture) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), picture_);
    }

private:
    QImage picture_;
};

QSize PlainTextSize(const QFontMetrics& metrics, const QString& text)
{
    if (text.isEmpty())
        return QSize(0, metrics.height());
    return metrics.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), Qt::AlignLeft | Qt::TextExpandTabs, text).size();
}

} // namespace

QStringList QueryButtonCaptions(const QString& buttons)
{
    if (buttons.isEmpty())
        return {};
    return buttons.split(QLatin1Char('|')).mid(0, kMaxQueryButtons);
}

TQueryLayout LayoutQuery(const TQueryMeasures& m)
{
    TQueryLayout out;
    out.buttonHeight = std::max(25, m.mHeight + 4);
    out.buttonWidth = kMinButtonWidth;
    for (int width : m.captionWidths)
        out.buttonWidth = std::max(out.buttonWidth, width + 16);

    out.panel = QRect(QPoint(kPanelLeft, kPanelTop), m.picture);
    out.prompt = QRect(QPoint(out.panel.left() + out.panel.width() + 8, kPromptTop), m.prompt);
    // The shorter of the two is centred on the other.
    if (out.prompt.height() < out.panel.height())
        out.prompt.moveTop(out.panel.top() + out.panel.height() / 2 - out.prompt.height() / 2);
    else
        out.panel.moveTop(out.prompt.height() / 2 - out.panel.height() / 2 + 16);

    // A message wider than the screen wraps at the screen's edge.
    const int promptRight = out.prompt.left() + out.prompt.width();
    if (m.screenWidth - m.frameWidth < promptRight + 12) {
        out.wordWrap = true;
        const int width = std::max(1, m.screenWidth - m.frameWidth - out.prompt.left() - 12);
        out.prompt.setWidth(width);
        out.prompt.setHeight(m.wrappedHeight ? m.wrappedHeight(width) : out.prompt.height());
    }

    const int contentBottom = std::max(out.panel.top() + out.panel.height(), out.prompt.top() + out.prompt.height());
    const int count = int(m.captionWidths.size());
    int rowWidth = 0;
    if (count > 0) {
        out.client.setHeight(contentBottom + out.buttonHeight + 40);
        const int top = contentBottom + 24;
        for (int i = 0; i < count; ++i)
            out.buttons.emplace_back(12 + i * (out.buttonWidth + 8), top, out.buttonWidth, out.buttonHeight);
        rowWidth = 12 + count * (out.buttonWidth + 8) + 12;
    } else {
        out.client.setHeight(contentBottom + 16);
    }

    const int contentWidth = out.prompt.left() + out.prompt.width() + 12;
    out.client.setWidth(std::max(rowWidth, contentWidth));
    if (contentWidth < out.client.width()) {
        const int shift = (out.client.width() - contentWidth) / 2;
        out.panel.translate(shift, 0);
        out.prompt.translate(shift, 0);
    } else if (rowWidth < out.client.width()) {
        const int shift = out.client.width() / 2 - rowWidth / 2;
        for (QRect& button : out.buttons)
            button.translate(shift, 0);
    }
    return out;
}

// ---- the form -----------------------------------------------------------------------

TQueryForm::TQueryForm(QWidget* owner, const TDialogLook& look, const QString& title, const QString& message,
                       const QString& buttons, const QString& image)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setFont(look.Font());
    setWindowTitle(title);
    Build(DialogDisplayText(message), QueryButtonCaptions(buttons), image);
}

void TQueryForm::Build(const QString& message, const QStringList& captions, const QString& image)
{
    const QFontMetrics metrics(font());
    if (!image.isEmpty()) {
        picture_ = LoadDialogImage(image);
        customImage_ = !picture_.isNull();
    }
    if (!customImage_) {
        const bool highColour = DisplayColourCount() > 256;
        picture_ = TransparentIcon(BuiltinIconImage(IconForButtonCount(int(captions.size())), highColour));
    }

    TQueryMeasures m;
    m.prompt = PlainTextSize(metrics, message);
    m.picture = picture_.size();
    m.mHeight = metrics.boundingRect(QLatin1Char('M')).height();
    for (const QString& caption : captions)
        m.captionWidths.push_back(metrics.horizontalAdvance(caption));
    const QScreen* shownOn = screen() ? screen() : QGuiApplication::primaryScreen();
    m.screenWidth = shownOn ? shownOn->geometry().width() : 1024;
    m.frameWidth = std::max(0, frameGeometry().width() - geometry().width());
    m.wrappedHeight = [metrics, message](int width) {
        return metrics
            .boundingRect(QRect(0, 0, width, 1 << 20), Qt::AlignLeft | Qt::TextWordWrap | Qt::TextExpandTabs,
                          message)
            .height();
    };
    layout_ = LayoutQuery(m);

    imagePanel_ = new TPicturePanel(this, picture_);
    imagePanel_->setObjectName(QStringLiteral("ImagePanel"));
    prompt_ = new QLabel(message, this);
    prompt_->setObjectName(QStringLiteral("Prompt"));
    prompt_->setTextFormat(Qt::PlainText);
    prompt_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    prompt_->setWordWrap(layout_.wordWrap);
    prompt_->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < int(captions.size()); ++i) {
        auto* button = new QPushButton(captions[i], this);
        button->setObjectName(QStringLiteral("Button%1").arg(i + 1));
        button->setAutoDefault(false);
        const int number = i + 1;
        connect(button, &QPushButton::clicked, this, [this, number] {
            chosen_ = number;
            accept();
        });
        buttons_.push_back(button);
    }
    if (!buttons_.empty()) {
        buttons_.front()->setDefault(true);
        buttons_.front()->setFocus();
    }
    Place();
}

void TQueryForm::Place()
{
    imagePanel_->setGeometry(layout_.panel);
    prompt_->setGeometry(layout_.prompt);
    for (size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setGeometry(layout_.buttons[i]);
    setFixedSize(layout_.client);
    // Centred on the screen.
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->geometry().center() - QPoint(layout_.client.width() / 2, layout_.client.height() / 2));
}

int TQueryForm::Run()
{
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr; main && main->isMinimized())
        main->showNormal();
    // The mouse shows while the dialog is up, even where the pages hide it.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    chosen_ = 0;
    const int result = exec();
    QApplication::restoreOverrideCursor();
    return result == QDialog::Accepted ? chosen_ : 0;
}

void TQueryForm::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // Activated by a click or the keyboard: to the top and the foreground.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        raise();
}

int ShowQuery(QWidget* owner, const TDialogLook& look, const QString& title, const QString& message,
              const QString& buttons, const QString& image)
{
    try {
        TQueryForm form(DialogOwner(owner), look, title, message, buttons, image);
        return form.Run();
    } catch (...) {
        return 0;
    }
}

QWidget* DialogOwner(QWidget* fallback)
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return fallback;
}

} // namespace tomeric
