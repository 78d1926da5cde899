#include "windows/input_box_form.h"

#include "windows/query_form.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace tomeric {

namespace {

constexpr int kMargin = 12;

} // namespace

TInputLayout LayoutInput(const TInputMeasures& m)
{
    TInputLayout out;
    out.prompt = QRect(QPoint(kMargin, kMargin), m.prompt);
    const int clientWidth = std::max(kInputEditWidth + 24, m.prompt.width() + 24);
    out.edit = QRect(kMargin, out.prompt.bottom() + 1 + 8, clientWidth - 24, m.editHeight);
    const int buttonWidth = std::max(m.okTextWidth, m.cancelTextWidth) + 16;
    const int buttonHeight = std::max(25, m.mHeight + 4);
    const int buttonTop = out.edit.bottom() + 1 + 12;
    out.ok = QRect(clientWidth / 2 - buttonWidth - 4, buttonTop, buttonWidth, buttonHeight);
    out.cancel = QRect(clientWidth / 2 + 4, buttonTop, buttonWidth, buttonHeight);
    out.client = QSize(clientWidth, buttonTop + buttonHeight + 12);
    return out;
}

TInputBoxForm::TInputBoxForm(QWidget* owner, const TDialogLook& look, const QString& title,
                             const QString& prompt, const QString& text, const QString& cancelCaption,
                             const QString& okCaption)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setFont(look.Font());
    setWindowTitle(title);
    const QFontMetrics metrics(font());
    const QString shown = DialogDisplayText(prompt);

    prompt_ = new QLabel(shown, this);
    prompt_->setObjectName(QStringLiteral("Prompt"));
    prompt_->setTextFormat(Qt::PlainText);
    prompt_->setContentsMargins(0, 0, 0, 0);
    edit_ = new QLineEdit(text, this);
    edit_->setObjectName(QStringLiteral("EditBox"));
    edit_->selectAll();
    ok_ = new QPushButton(okCaption, this);
    ok_->setObjectName(QStringLiteral("OKBtn"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(cancelCaption, this);
    cancel_->setObjectName(QStringLiteral("CancelBtn"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    TInputMeasures m;
    m.prompt = shown.isEmpty() ? QSize(0, metrics.height())
                               : metrics.boundingRect(QRect(0, 0, 1 << 20, 1 << 20),
                                                      Qt::AlignLeft | Qt::TextExpandTabs, shown).size();
    m.editHeight = edit_->sizeHint().height();
    m.okTextWidth = metrics.horizontalAdvance(okCaption);
    m.cancelTextWidth = metrics.horizontalAdvance(cancelCaption);
    m.mHeight = metrics.boundingRect(QLatin1Char('M')).height();
    layout_ = LayoutInput(m);

    prompt_->setGeometry(layout_.prompt);
    edit_->setGeometry(layout_.edit);
    ok_->setGeometry(layout_.ok);
    cancel_->setGeometry(layout_.cancel);
    setFixedSize(layout_.client);
    edit_->setFocus();
}

std::optional<QString> TInputBoxForm::Run()
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = exec();
    QApplication::restoreOverrideCursor();
    if (result != QDialog::Accepted)
        return std::nullopt;
    return edit_->text();
}

void TInputBoxForm::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        raise();
}

QString ShowInput(QWidget* owner, const TDialogLook& look, const QString& title, const QString& prompt,
                  const QString& text, const QString& cancelCaption, const QString& okCaption)
{
    TInputBoxForm form(DialogOwner(owner), look, title, prompt, text, cancelCaption, okCaption);
    return form.Run().value_or(QString());
}

} // namespace tomeric
