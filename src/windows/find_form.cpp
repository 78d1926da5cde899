#include "windows/find_form.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace tomeric {

namespace {

constexpr int kEditTop = 12;

} // namespace

TFindLayout LayoutFind(const TFindMeasures& m)
{
    TFindLayout out;
    const int buttonWidth = std::max({m.findTextWidth, m.nextTextWidth, m.closeTextWidth}) + 16;
    const int buttonHeight = std::max(25, m.mHeight + 4);
    const int rowWidth = m.prompt.width() + m.editWidth + 4;
    const int clientWidth = std::max(3 * buttonWidth + 32, rowWidth + 16);

    const int rowLeft = (clientWidth - rowWidth) / 2;
    out.edit = QRect(rowLeft + m.prompt.width() + 4, kEditTop, m.editWidth, m.editHeight);
    out.prompt = QRect(QPoint(rowLeft, kEditTop + (m.editHeight - m.prompt.height()) / 2), m.prompt);

    const int editBottom = out.edit.top() + out.edit.height();
    const int buttonTop = editBottom + 21;
    const int buttonsLeft = (clientWidth - (3 * buttonWidth + 16)) / 2;
    out.find = QRect(buttonsLeft, buttonTop, buttonWidth, buttonHeight);
    out.next = out.find.translated(buttonWidth + 8, 0);
    out.close = out.next.translated(buttonWidth + 8, 0);
    out.client = QSize(clientWidth, editBottom + buttonHeight + 33);
    return out;
}

TFindForm::TFindForm(QWidget* owner, const TDialogLook& look)
    : QDialog(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FindForm"));
    setModal(false);
    setFont(look.Font());
    setWindowTitle(look.Word(ltFindTitle));
    const QFontMetrics metrics(font());

    prompt_ = new QLabel(look.Word(ltFindPrompt), this);
    prompt_->setObjectName(QStringLiteral("Prompt"));
    prompt_->setTextFormat(Qt::PlainText);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("SearchEdit"));
    edit_->setMaxLength(kFindMaxLength);
    find_ = new QPushButton(look.Word(ltFindFirst), this);
    find_->setObjectName(QStringLiteral("FindBtn"));
    find_->setDefault(true);
    next_ = new QPushButton(look.Word(ltFindNext), this);
    next_->setObjectName(QStringLiteral("NextBtn"));
    close_ = new QPushButton(look.Word(ltClose), this);
    close_->setObjectName(QStringLiteral("CloseBtn"));

    TFindMeasures m;
    m.prompt = metrics.boundingRect(prompt_->text()).size();
    m.prompt.setHeight(std::max(m.prompt.height(), metrics.height()));
    m.editHeight = edit_->sizeHint().height();
    m.findTextWidth = metrics.horizontalAdvance(find_->text());
    m.nextTextWidth = metrics.horizontalAdvance(next_->text());
    m.closeTextWidth = metrics.horizontalAdvance(close_->text());
    m.mHeight = metrics.boundingRect(QLatin1Char('M')).height();
    layout_ = LayoutFind(m);
    prompt_->setGeometry(layout_.prompt);
    edit_->setGeometry(layout_.edit);
    find_->setGeometry(layout_.find);
    next_->setGeometry(layout_.next);
    close_->setGeometry(layout_.close);
    setFixedSize(layout_.client);

    connect(edit_, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
    connect(find_, &QPushButton::clicked, this, &TFindForm::FindFirstClicked);
    connect(next_, &QPushButton::clicked, this, &TFindForm::FindNextClicked);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    UpdateButtons();
}

QString TFindForm::SearchText() const
{
    return edit_->text();
}

void TFindForm::SetSearchText(const QString& text)
{
    edit_->setText(text.left(kFindMaxLength));
}

void TFindForm::SetSearching(bool searching)
{
    searching_ = searching;
    UpdateButtons();
}

void TFindForm::UpdateButtons()
{
    const bool hasText = !edit_->text().isEmpty();
    find_->setEnabled(hasText);
    next_->setEnabled(hasText && searching_);
}

void TFindForm::MoveOff(const QRect& area)
{
    const QRect frame = frameGeometry();
    if (!frame.intersects(area))
        return;
    const QScreen* shownOn = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect desktop = shownOn ? shownOn->availableGeometry() : QRect(0, 0, 1024, 768);
    int top = area.bottom() + 1;
    if (top + frame.height() > desktop.bottom() + 1)
        top = std::max(desktop.top(), area.top() - frame.height());
    move(frame.left(), top);
}

} // namespace tomeric
