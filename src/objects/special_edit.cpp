#include "objects/special_edit.h"

#include "publication/object_model.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

#include <climits>

namespace tomeric {
namespace {

// Keys that type a character (not shortcuts with Ctrl or Alt).
bool TypesText(const QKeyEvent& event)
{
    const QString text = event.text();
    return !text.isEmpty() && text[0].isPrint() &&
           !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

// The same key with its text replaced.
QKeyEvent WithText(const QKeyEvent& event, const QString& text)
{
    return QKeyEvent(event.type(), event.key(), event.modifiers(), text, event.isAutoRepeat(),
                     ushort(event.count()));
}

// Text to insert under the rules; nothing (after the warning sound) when
// the numbers-only rule refuses it.
std::optional<QString> Admitted(const QString& text, const TInputRules& rules)
{
    if (!rules.numbersOnly)
        return ApplyCharCase(text, rules.charCase);
    const std::optional<QString> number = WholeNumberText(text);
    if (!number)
        QApplication::beep();
    return number;
}

bool ChangesText(const QKeyEvent& event, bool multiLine)
{
    if (TypesText(event))
        return true;
    return multiLine && (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter);
}

} // namespace

QString ApplyCharCase(const QString& text, int charCase)
{
    switch (charCase) {
    case ecUpperCase: return text.toUpper();
    case ecLowerCase: return text.toLower();
    default: return text;
    }
}

std::optional<QString> WholeNumberText(const QString& text)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    const QString trimmed = text.trimmed();
    if (!wholeNumber.match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qlonglong value = trimmed.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return QString::number(value);
}

std::optional<QString> DroppedFileNames(const QMimeData& data)
{
    if (!data.hasUrls())
        return std::nullopt;
    QStringList names;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            names << QDir::toNativeSeparators(url.toLocalFile());
    if (names.isEmpty())
        return std::nullopt;
    return names.join(QStringLiteral("\r\n"));
}

bool RefusedByNumbersOnly(const QString& typed)
{
    for (const QChar c : typed)
        if (c < u'0' || c > u'9')
            return true;
    return false;
}

// ---- TSpecialEdit -------------------------------------------------------------------

TSpecialEdit::TSpecialEdit(QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    setTextMargins(0, 0, 0, 0);
    setAcceptDrops(false);
}

void TSpecialEdit::PasteText(const QString& text)
{
    if (const std::optional<QString> admitted = Admitted(text, rules_))
        insert(*admitted);
}

void TSpecialEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && onEscape && onEscape()) {
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            PasteText(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    if (TypesText(*event)) {
        if (rules_.numbersOnly && RefusedByNumbersOnly(event->text())) {
            QApplication::beep();
            event->accept();
            return;
        }
        if (rules_.charCase != ecNormal) {
            QKeyEvent converted = WithText(*event, ApplyCharCase(event->text(), rules_.charCase));
            QLineEdit::keyPressEvent(&converted);
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TSpecialEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    // The menu's Paste goes through the field's rules like Ctrl+V.
    if (auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        QObject::disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, [this] { PasteText(QGuiApplication::clipboard()->text()); });
    }
    menu->exec(event->globalPos());
    delete menu;
}

void TSpecialEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedFileNames(*event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragEnterEvent(event);
}

void TSpecialEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (DroppedFileNames(*event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragMoveEvent(event);
}

void TSpecialEdit::dropEvent(QDropEvent* event)
{
    const QMimeData& data = *event->mimeData();
    if (const std::optional<QString> names = DroppedFileNames(data)) {
        setText(ApplyCharCase(*names, rules_.charCase));
        event->acceptProposedAction();
        return;
    }
    if (!data.hasText())
        return;
    if (!rules_.numbersOnly && rules_.charCase == ecNormal) {
        QLineEdit::dropEvent(event);
        return;
    }
    // Inserted where it was dropped, under the field's rules.
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    PasteText(data.text());
    event->acceptProposedAction();
}

void TSpecialEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (onLeft && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                   reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason))
        onLeft();
}

// ---- TSpecialMemo -------------------------------------------------------------------

TSpecialMemo::TSpecialMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setAcceptDrops(false);
    document()->setDocumentMargin(1);
}

QString TSpecialMemo::Text() const
{
    return toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

int TSpecialMemo::Room(int replacing) const
{
    if (rules_.maxLength <= 0)
        return INT_MAX;
    return rules_.maxLength - (int(Text().size()) - replacing);
}

void TSpecialMemo::PasteText(const QString& text)
{
    std::optional<QString> admitted = Admitted(text, rules_);
    if (!admitted)
        return;
    QString insertion = admitted->replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString selected = textCursor().selectedText();
    // A selected line break counts twice (CR LF), as in the field's text.
    const int replacing = int(selected.size() + selected.count(QChar::ParagraphSeparator));
    const int room = std::max(Room(replacing), 0);
    if (insertion.size() + insertion.count(u'\n') > room) {
        insertion.truncate(room);
        while (!insertion.isEmpty() && insertion.size() + insertion.count(u'\n') > room)
            insertion.chop(1);
    }
    textCursor().insertText(insertion);
}

void TSpecialMemo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore(); // the page decides what Esc does
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            PasteText(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    if (ChangesText(*event, true)) {
        const bool lineBreak = !TypesText(*event);
        const QString selected = textCursor().selectedText();
        if (Room(int(selected.size())) < (lineBreak ? 2 : 1) ||
            (rules_.numbersOnly && !lineBreak && RefusedByNumbersOnly(event->text()))) {
            QApplication::beep();
            event->accept();
            return;
        }
        if (!lineBreak && rules_.charCase != ecNormal) {
            QKeyEvent converted = WithText(*event, ApplyCharCase(event->text(), rules_.charCase));
            QPlainTextEdit::keyPressEvent(&converted);
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool TSpecialMemo::canInsertFromMimeData(const QMimeData* source) const
{
    return DroppedFileNames(*source) || QPlainTextEdit::canInsertFromMimeData(source);
}

void TSpecialMemo::insertFromMimeData(const QMimeData* source)
{
    if (dropping_) {
        if (const std::optional<QString> names = DroppedFileNames(*source)) {
            setPlainText(ApplyCharCase(*names, rules_.charCase).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            return;
        }
    }
    if (source->hasText())
        PasteText(source->text());
}

void TSpecialMemo::dropEvent(QDropEvent* event)
{
    dropping_ = true;
    QPlainTextEdit::dropEvent(event);
    dropping_ = false;
}

} // namespace tomeric
