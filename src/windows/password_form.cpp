#include "windows/password_form.h"

#include "windows/query_form.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace tomeric {

namespace {

constexpr int kMargin = 12;

QSize TextSize(const QFontMetrics& metrics, const QString& text)
{
    if (text.isEmpty())
        return QSize(0, metrics.height());
    return metrics.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), Qt::AlignLeft | Qt::TextExpandTabs, text).size();
}

} // namespace

bool PasswordMatches(const QString& typed, const QString& expected)
{
    return typed.compare(expected, Qt::CaseInsensitive) == 0;
}

TPasswordLayout LayoutPassword(const TPasswordMeasures& m)
{
    TPasswordLayout out;
    const int buttonWidth = std::max(m.okTextWidth, m.cancelTextWidth) + 16;
    const int buttonHeight = std::max(25, m.mHeight + 4);
    const int buttonPanelHeight = buttonHeight + 24;
    const int passwordPanelHeight = m.editHeight + 36;

    // The padlock grows to the message's height when the message is taller.
    QSize padlock = m.padlock;
    if (m.message.height() > padlock.height())
        padlock = QSize(padlock.width() * m.message.height() / std::max(1, padlock.height()), m.message.height());
    out.padlock = QRect(QPoint(kMargin, kMargin), padlock);
    out.message = QRect(QPoint(out.padlock.right() + 1 + 8, kMargin), m.message);

    const int rowWidth = m.prompt.width() + 4 + m.editWidth;
    const int clientWidth =
        std::max({padlock.width() + m.message.width() + 32, rowWidth + 24, 2 * buttonWidth + 24});
    const int clientHeight = padlock.height() + passwordPanelHeight + buttonPanelHeight + 24;
    out.client = QSize(clientWidth, clientHeight);

    out.buttonPanel = QRect(0, clientHeight - buttonPanelHeight, clientWidth, buttonPanelHeight);
    out.passwordPanel = QRect(0, out.buttonPanel.top() - passwordPanelHeight, clientWidth, passwordPanelHeight);

    const int rowLeft = (clientWidth - rowWidth) / 2;
    const int editTop = out.passwordPanel.top() + (passwordPanelHeight - m.editHeight) / 2;
    out.edit = QRect(rowLeft + m.prompt.width() + 4, editTop, m.editWidth, m.editHeight);
    out.prompt = QRect(QPoint(rowLeft, editTop + (m.editHeight - m.prompt.height()) / 2), m.prompt);

    const int buttonTop = out.buttonPanel.top() + 12;
    out.ok = QRect(clientWidth / 2 - buttonWidth - 4, buttonTop, buttonWidth, buttonHeight);
    out.cancel = QRect(clientWidth / 2 + 4, buttonTop, buttonWidth, buttonHeight);
    return out;
}

TPasswordEntryForm::TPasswordEntryForm(QWidget* owner, const TDialogLook& look, const QString& expected,
                                       WrongPasswordAlert alert)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      expected_(expected), alert_(std::move(alert))
{
    setFont(look.Font());
    setWindowTitle(look.Word(ltPwordTitle));
    const QFontMetrics metrics(font());
    const QString message = DialogDisplayText(look.Word(ltPwordMsg));
    const QString prompt = look.Word(ltPwordPrompt);

    lockImage_ = new QLabel(this);
    lockImage_->setObjectName(QStringLiteral("LockImage"));
    lockImage_->setScaledContents(true);
    lockImage_->setPixmap(QPixmap::fromImage(PadlockImage()));
    message_ = new QLabel(message, this);
    message_->setObjectName(QStringLiteral("Msg"));
    message_->setTextFormat(Qt::PlainText);
    prompt_ = new QLabel(prompt, this);
    prompt_->setObjectName(QStringLiteral("Prompt"));
    prompt_->setTextFormat(Qt::PlainText);
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("Password"));
    password_->setEchoMode(QLineEdit::Password);
    ok_ = new QPushButton(look.Word(ltOk), this);
    ok_->setObjectName(QStringLiteral("OkBtn"));
    ok_->setDefault(true);
    ok_->setEnabled(false);
    cancel_ = new QPushButton(look.Word(ltCancel), this);
    cancel_->setObjectName(QStringLiteral("CancelBtn"));
    connect(password_, &QLineEdit::textChanged, this, [this](const QString& text) { ok_->setEnabled(!text.isEmpty()); });
    connect(ok_, &QPushButton::clicked, this, [this] { OkBtnClick(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    TPasswordMeasures m;
    m.message = TextSize(metrics, message);
    m.prompt = TextSize(metrics, prompt);
    m.editHeight = password_->sizeHint().height();
    m.okTextWidth = metrics.horizontalAdvance(ok_->text());
    m.cancelTextWidth = metrics.horizontalAdvance(cancel_->text());
    m.mHeight = metrics.boundingRect(QLatin1Char('M')).height();
    layout_ = LayoutPassword(m);

    lockImage_->setGeometry(layout_.padlock);
    message_->setGeometry(layout_.message);
    prompt_->setGeometry(layout_.prompt);
    password_->setGeometry(layout_.edit);
    ok_->setGeometry(layout_.ok);
    cancel_->setGeometry(layout_.cancel);
    // The bevel line on top of the button panel.
    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(0, layout_.buttonPanel.top(), layout_.client.width(), 2);
    setFixedSize(layout_.client);
    password_->setFocus();
}

void TPasswordEntryForm::OkBtnClick()
{
    if (password_->text().isEmpty())
        return;
    if (PasswordMatches(password_->text(), expected_)) {
        done(kPasswordMatched);
        return;
    }
    if (alert_)
        alert_();
    done(kPasswordWrong);
}

int TPasswordEntryForm::Run()
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = exec();
    QApplication::restoreOverrideCursor();
    return result == kPasswordMatched || result == kPasswordWrong ? result : kPasswordCancelled;
}

} // namespace tomeric
