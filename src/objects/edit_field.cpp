#include "objects/edit_field.h"

#include "objects/input_common.h"
#include "platform/string_table.h"
#include "vars/variables.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QTimer>

namespace tomeric {
namespace {

// Longest text a field shows from its variable when it has no maximum.
constexpr int kShownLengthLimit = 60000;

// Password fields show every character as "*", as on Windows.
class TPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

QString WithCrLf(const QString& text)
{
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return normal.replace(u'\n', QStringLiteral("\r\n"));
}

} // namespace

TTomericEditField::TTomericEditField(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
    TEditFieldProps props;
    if (const auto* given = record.As<TEditFieldProps>())
        props = *given;
    varName_ = props.varName.isEmpty() ? QString() : NormalizeVarName(props.varName);
    changeAction_ = props.changeAction;
    rules_.maxLength = std::max(props.maxLength, 0);
    rules_.charCase = props.charCase;
    rules_.numbersOnly = props.numbersOnly;
    if (props.multiLine)
        CreateMemo(props);
    else
        CreateLineEdit(props);
    setCursor(Qt::IBeamCursor);
    ApplyInputLook(*Inner(), *this);
    Inner()->installEventFilter(this);
    Layout();
}

void TTomericEditField::CreateLineEdit(const TEditFieldProps& props)
{
    line_ = new TSpecialEdit(this);
    // A password or numbers-only field has no mask.
    if (!props.password && !props.numbersOnly)
        mask_ = ParseEditMask(props.editMask, LocaleDateSeparator(), LocaleTimeSeparator());
    if (props.password && !props.numbersOnly) {
        auto* style = new TPasswordStyle;
        style->setParent(line_);
        line_->setStyle(style);
        line_->setEchoMode(QLineEdit::Password);
    }
    line_->setMaxLength(rules_.maxLength > 0 ? rules_.maxLength : kShownLengthLimit);
    if (mask_.IsMasked())
        line_->setInputMask(mask_.qtMask);
    emptyDisplay_ = line_->displayText();
    line_->SetRules(rules_);
    line_->onEscape = [this] { return RestoreOnEscape(); };
    line_->onLeft = [this] { CheckMaskOnLeaving(); };
    connect(line_, &QLineEdit::textChanged, this, [this] { InnerTextChanged(); });
}

void TTomericEditField::CreateMemo(const TEditFieldProps& props)
{
    memo_ = new TSpecialMemo(this);
    memo_->SetRules(rules_);
    memo_->setLineWrapMode(props.wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    // Scroll bars: the vertical one when lines wrap, both when they do not.
    const Qt::ScrollBarPolicy shown = props.scrollBars ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    memo_->setVerticalScrollBarPolicy(shown);
    memo_->setHorizontalScrollBarPolicy(props.wordWrap ? Qt::ScrollBarAlwaysOff : shown);
    connect(memo_, &QPlainTextEdit::textChanged, this, [this] { InnerTextChanged(); });
}

QWidget* TTomericEditField::Inner() const
{
    return line_ ? static_cast<QWidget*>(line_) : static_cast<QWidget*>(memo_);
}

// ---- the text -----------------------------------------------------------------------

QString TTomericEditField::Text() const
{
    if (memo_)
        return memo_->Text();
    return mask_.IsMasked() ? MaskedValue(mask_, line_->displayText()) : line_->text();
}

void TTomericEditField::ShowText(const QString& text)
{
    const QString shown = ApplyCharCase(text, rules_.charCase);
    if (memo_)
        memo_->setPlainText(QString(shown).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    else
        line_->setText(shown);
}

void TTomericEditField::SetText(const QString& text)
{
    if (text == Text())
        return;
    ShowText(text);
}

QString TTomericEditField::SelectedText() const
{
    if (memo_)
        return memo_->textCursor().selectedText().replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return line_->selectedText();
}

int TTomericEditField::CursorPosition() const
{
    if (memo_) {
        const QTextCursor cursor = memo_->textCursor();
        // Positions count CR LF as two characters, as the text does.
        const QString before = memo_->toPlainText().left(cursor.selectionEnd());
        return int(before.size() + before.count(u'\n')) + 1;
    }
    const int start = line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
    return start + int(line_->selectedText().size()) + 1;
}

bool TTomericEditField::MaskSatisfied() const
{
    return !line_ || tomeric::MaskSatisfied(mask_, line_->displayText());
}

bool TTomericEditField::InnerEmpty() const
{
    return memo_ ? memo_->document()->isEmpty() : line_->displayText() == emptyDisplay_;
}

void TTomericEditField::CaretToEnd()
{
    if (memo_) {
        memo_->moveCursor(QTextCursor::End);
        memo_->ensureCursorVisible();
    } else {
        line_->end(false);
    }
}

// Every change except one coming from the variable writes the variable and
// posts the change action.
void TTomericEditField::InnerTextChanged()
{
    if (fromVariable_)
        return;
    WriteBoundVariable(varName_, Text(), writingVariable_);
    if (!Host().EnterExitSuppressed())
        RunObjectAction(changeAction_, ekEditChanged, 0);
}

bool TTomericEditField::RestoreOnEscape()
{
    if (!mask_.IsMasked() || Text() == textBeforeEditing_)
        return false;
    ShowText(textBeforeEditing_);
    line_->selectAll();
    return true;
}

// Leaving a masked field whose edit left a required position empty is
// refused: the reader is told how to get out, and the caret stays.
void TTomericEditField::CheckMaskOnLeaving()
{
    if (!mask_.IsMasked() || Text() == textBeforeEditing_ || MaskSatisfied())
        return;
    SetLastError(Message(msgInvalidEntry));
    keepTextBeforeEditing_ = true;
    QTimer::singleShot(0, line_, [edit = line_] {
        if (edit->isVisible())
            edit->setFocus(Qt::OtherFocusReason);
    });
}

// ---- object messages -------------------------------------------------------------------

void TTomericEditField::OnInit()
{
    UpdateTabStop(*Inner(), *this);
    const QString initial = WithCrLf(Txt());
    if (!initial.isEmpty())
        SetText(initial);
    else if (InnerEmpty())
        // A publication loaded into a running player must not inherit a value
        // its field does not show.
        WriteBoundVariable(varName_, QString(), writingVariable_);
}

void TTomericEditField::OnLateInit()
{
    UpdateTabStop(*Inner(), *this);
    fromVariable_ = true;
    SetText(WithCrLf(Txt()));
    fromVariable_ = false;
}

std::optional<TFirstWrite> TTomericEditField::FirstWrite(const TEditFieldProps& props)
{
    if (props.varName.isEmpty())
        return TFirstWrite{};
    const QString varName = NormalizeVarName(props.varName);
    // An empty field clears its variable, whatever mask it has.
    if (props.text.isEmpty())
        return TFirstWrite{varName, QString()};
    // A masked, numbers-only or multi-line field shapes its text in ways only
    // the widget knows.
    if (props.multiLine || props.numbersOnly || (!props.password && !props.editMask.isEmpty()))
        return std::nullopt;
    const int limit = props.maxLength > 0 ? props.maxLength : kShownLengthLimit;
    return TFirstWrite{varName, ApplyCharCase(WithCrLf(props.text), props.charCase).left(limit)};
}

bool TTomericEditField::HearsVariable(const QString& upperName) const
{
    return TTomericObj::HearsVariable(upperName) ||
           (!upperName.isEmpty() && upperName == BoundVariableUpper(varName_));
}

void TTomericEditField::OnVarChanged(const QString& upperName, const QString& value)
{
    TTomericObj::OnVarChanged(upperName, value);
    if (writingVariable_ || upperName.isEmpty() || upperName != BoundVariableUpper(varName_))
        return;
    if (value == Text())
        return;
    const int limit = rules_.maxLength > 0 ? rules_.maxLength : kShownLengthLimit;
    fromVariable_ = true;
    ShowText(WithCrLf(value).left(limit));
    fromVariable_ = false;
    CaretToEnd();
}

void TTomericEditField::OnPageShow()
{
    Inner()->setAcceptDrops(true);
    if (memo_)
        memo_->viewport()->setAcceptDrops(true);
}

void TTomericEditField::OnPageHide()
{
    Inner()->setAcceptDrops(false);
    if (memo_)
        memo_->viewport()->setAcceptDrops(false);
}

void TTomericEditField::OnTabStops()
{
    UpdateTabStop(*Inner(), *this);
}

std::optional<QString> TTomericEditField::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("CAPTION"))
        return Text();
    if (upperInfo == QLatin1String("SELECTEDTEXT"))
        return SelectedText();
    if (upperInfo == QLatin1String("CURSORPOSITION"))
        return QString::number(CursorPosition());
    return std::nullopt;
}

bool TTomericEditField::SetObjectCaption(const QString& text)
{
    SetText(text);
    return true;
}

QWidget* TTomericEditField::FocusTarget()
{
    return Inner();
}

void TTomericEditField::HotKeyPressed()
{
    Inner()->setFocus(Qt::ShortcutFocusReason);
}

// ---- look and layout ---------------------------------------------------------------------

void TTomericEditField::FillChanged()
{
    ApplyInputLook(*Inner(), *this);
}

void TTomericEditField::LineChanged()
{
    Layout();
}

void TTomericEditField::FontChanged()
{
    ApplyInputLook(*Inner(), *this);
    Layout();
}

void TTomericEditField::resizeEvent(QResizeEvent* event)
{
    TTomericObj::resizeEvent(event);
    Layout();
}

// Single line: the edit sits LineWidth + 4 pixels from the left, one text
// line high ("Mg" + 1), centred vertically. Multi-line: it fills the frame
// inside the border.
void TTomericEditField::Layout()
{
    const int border = LineWidth();
    if (memo_) {
        memo_->setGeometry(rect().adjusted(border, border, -border, -border));
        return;
    }
    const int lineHeight = QFontMetrics(line_->font()).height() + 1;
    const int width = std::max(this->width() - 2 * border - 5, 0);
    line_->setGeometry(border + 4, (height() - lineHeight) / 2, width, lineHeight);
}

void TTomericEditField::mousePressEvent(QMouseEvent* event)
{
    Inner()->setFocus(Qt::MouseFocusReason);
    event->accept();
}

bool TTomericEditField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Inner() && event->type() == QEvent::FocusIn) {
        if (!keepTextBeforeEditing_)
            textBeforeEditing_ = Text();
        keepTextBeforeEditing_ = false;
    }
    return TTomericObj::eventFilter(watched, event);
}

TTomericObj* CreateEditField(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericEditField(parent, record, host);
}

} // namespace tomeric
