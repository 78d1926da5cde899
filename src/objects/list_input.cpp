#include "objects/list_input.h"

#include "objects/input_common.h"
#include "pages/background_painter.h"
#include "vars/typed_values.h"
#include "vars/variables.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>

namespace tomeric {
namespace {

// Items compare as a sorted Windows list orders them: ignoring case, in the
// user's language.
int CompareItems(const QString& a, const QString& b)
{
    return QString::localeAwareCompare(a.toLower(), b.toLower());
}

bool IsWord(const QString& text, const char* word)
{
    return text.trimmed().compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool IsTrueWord(const QString& text)
{
    const TypedValue truth = ConvertTypedValue(vtBoolean, QString(), text);
    return truth.ok && truth.value == QLatin1String("True");
}

// A multi-select value: parts separated by CR LF, CR or "|".
QStringList ValueParts(const QString& value)
{
    QString joined = value;
    joined.replace(QStringLiteral("\r\n"), QStringLiteral("|")).replace(u'\r', u'|').replace(u'\n', u'|');
    return joined.split(u'|');
}

} // namespace

TTomericListInput::TTomericListInput(QWidget* parent, const TObjectRecord& record, ObjectHost& host,
                                     const TListSettings& settings)
    : TTomericObj(parent, record, host), itemsText_(settings.itemsText), changeAction_(settings.changeAction),
      varName_(settings.varName.isEmpty() ? QString() : NormalizeVarName(settings.varName)),
      varType_(settings.varType == vtIndex ? vtIndex : vtText), sorted_(settings.sorted)
{
}

// ---- items ------------------------------------------------------------------------------------

QStringList TTomericListInput::Items() const
{
    QStringList items;
    for (int row = 0; row < Count(); ++row)
        items << ItemAt(row);
    return items;
}

int TTomericListInput::SortedRow(const QString& text) const
{
    int row = 0;
    while (row < Count() && CompareItems(ItemAt(row), text) <= 0)
        ++row;
    return row;
}

void TTomericListInput::Insert(std::optional<int> row, const QString& text)
{
    const QString item = MaxItemLength() > 0 ? text.left(MaxItemLength()) : text;
    ++selectingByProgram_;
    if (sorted_)
        InsertAt(SortedRow(item), item);
    else
        InsertAt(row.value_or(Count()), item);
    --selectingByProgram_;
}

void TTomericListInput::ReplaceAll(const QStringList& items)
{
    ++selectingByProgram_;
    ClearItems();
    for (const QString& item : items)
        Insert(std::nullopt, item);
    --selectingByProgram_;
}

void TTomericListInput::SetItems(const QStringList& items)
{
    ReplaceAll(items);
    AfterCommand();
}

void TTomericListInput::RebuildItems()
{
    ReplaceAll(SplitLines(SubstituteVars(itemsText_)));
}

void TTomericListInput::SortOnce()
{
    QStringList items = Items();
    std::stable_sort(items.begin(), items.end(),
                     [](const QString& a, const QString& b) { return CompareItems(a, b) < 0; });
    const bool sorted = sorted_;
    sorted_ = false; // the sorted order is already there
    ReplaceAll(items);
    sorted_ = sorted;
}

// The selection follows the variable again after a command changed items.
void TTomericListInput::AfterCommand()
{
    if (!varName_.isEmpty())
        SelectFromValue(GetVariable(varName_));
}

// ---- list commands -----------------------------------------------------------------------------

QString TTomericListInput::GetItem(const QString& item) const
{
    if (IsWord(item, "ALL"))
        return Items().join(u'|');
    if (const std::optional<int> n = ItemNumber(item, Count()))
        return ItemAt(*n - 1);
    return QString();
}

void TTomericListInput::AddItem(const QString& item, const QString& text)
{
    if (AddsAllItems() && IsWord(item, "ALL")) {
        for (const QString& part : ValueParts(text))
            Insert(std::nullopt, part);
    } else if (const std::optional<int> n = ItemNumber(item, Count())) {
        Insert(*n - 1, text);
    } else {
        Insert(std::nullopt, text);
    }
    AfterCommand();
}

void TTomericListInput::DeleteItem(const QString& item)
{
    ++selectingByProgram_;
    if (IsWord(item, "ALL")) {
        ClearItems();
    } else if (IsWord(item, "SELECTED") && MultiSelect()) {
        std::vector<int> rows = SelectedRows();
        std::sort(rows.rbegin(), rows.rend());
        for (const int row : rows)
            RemoveAt(row);
    } else if (const std::optional<int> n = ItemNumber(item, Count())) {
        RemoveAt(*n - 1);
    }
    --selectingByProgram_;
    AfterCommand();
}

void TTomericListInput::ChangeItem(const QString& item, const QString& text)
{
    const std::optional<int> n = ItemNumber(item, Count());
    if (!n)
        return;
    ++selectingByProgram_;
    SetItemAt(*n - 1, MaxItemLength() > 0 ? text.left(MaxItemLength()) : text);
    if (sorted_)
        SortOnce();
    --selectingByProgram_;
    AfterCommand();
}

int TTomericListInput::Size() const
{
    return Count();
}

int TTomericListInput::FindItem(const QString& text) const
{
    const int row = RowOfText(text);
    return row < 0 ? 0 : row + 1;
}

void TTomericListInput::Sort(const std::optional<QString>& keepSorted)
{
    if (keepSorted)
        sorted_ = IsTrueWord(*keepSorted);
    if (!keepSorted || sorted_)
        SortOnce();
    AfterCommand();
}

void TTomericListInput::MoveItem(const QString& from, const QString& to)
{
    const std::optional<int> source = ItemNumber(from, Count());
    const std::optional<int> target = ItemNumber(to, Count());
    if (!source || !target || source == target)
        return;
    ++selectingByProgram_;
    const QString text = ItemAt(*source - 1);
    RemoveAt(*source - 1);
    InsertAt(*target - 1, text);
    --selectingByProgram_;
    AfterCommand();
}

// ---- selection and binding --------------------------------------------------------------------

QString TTomericListInput::RowValue(int row) const
{
    return varType_ == vtIndex ? QString::number(row + 1) : ItemAt(row);
}

QString TTomericListInput::Value() const
{
    QStringList values;
    for (const int row : SelectedRows())
        values << RowValue(row);
    return values.join(u'\r');
}

int TTomericListInput::RowOfText(const QString& text) const
{
    for (int row = 0; row < Count(); ++row)
        if (ItemAt(row).compare(text, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

int TTomericListInput::RowOfPart(const QString& part) const
{
    if (varType_ == vtText)
        return RowOfText(part);
    const std::optional<int> n = ItemNumber(part, Count());
    return n ? *n - 1 : -1;
}

void TTomericListInput::SelectFromValue(const QString& value)
{
    std::vector<int> rows;
    if (MultiSelect()) {
        QStringList current;
        for (const int row : SelectedRows())
            current << RowValue(row);
        const QStringList parts = ValueParts(value);
        if (parts.join(u'|').compare(current.join(u'|'), Qt::CaseInsensitive) == 0)
            return;
        for (const QString& part : parts) {
            const int row = RowOfPart(part);
            if (row >= 0 && std::find(rows.begin(), rows.end(), row) == rows.end())
                rows.push_back(row);
        }
    } else {
        const std::vector<int> selected = SelectedRows();
        // A selected item that already shows the value stays selected, even
        // when an earlier item has the same text.
        if (varType_ == vtText && !selected.empty() &&
            ItemAt(selected.front()).compare(value, Qt::CaseInsensitive) == 0)
            return;
        const int row = RowOfPart(value);
        if (row >= 0)
            rows.push_back(row);
    }
    ++selectingByProgram_;
    SetSelectedRows(rows);
    --selectingByProgram_;
}

void TTomericListInput::ReaderChangedSelection()
{
    if (SelectingByProgram())
        return;
    const QString value = Value();
    const QString current = varName_.isEmpty() ? lastValue_ : GetVariable(varName_);
    lastValue_ = value;
    if (value == current)
        return;
    WriteBoundVariable(varName_, value, writingVariable_);
    if (!Host().EnterExitSuppressed())
        RunObjectAction(changeAction_, ekSelectionChanged, 0);
}

// ---- object messages and commands ---------------------------------------------------

void TTomericListInput::OnInit()
{
    UpdateTabStop(*InnerControl(), *this);
    RebuildItems();
    // A publication loaded into a running player starts with no selection.
    WriteBoundVariable(varName_, QString(), writingVariable_);
    lastValue_.clear();
    SelectFromValue(QString());
}

void TTomericListInput::OnLateInit()
{
    UpdateTabStop(*InnerControl(), *this);
    RebuildItems();
    lastValue_.clear();
    SelectFromValue(QString());
}

TFirstWrite TTomericListInput::FirstWrite(const QString& varName)
{
    if (varName.isEmpty())
        return {};
    return {NormalizeVarName(varName), QString()};
}

bool TTomericListInput::HearsVariable(const QString& upperName) const
{
    return TTomericObj::HearsVariable(upperName) || MentionsVariable(itemsText_, upperName) ||
           (!upperName.isEmpty() && upperName == BoundVariableUpper(varName_));
}

void TTomericListInput::OnVarChanged(const QString& upperName, const QString& value)
{
    TTomericObj::OnVarChanged(upperName, value);
    if (upperName.isEmpty())
        return;
    const bool own = !writingVariable_ && upperName == BoundVariableUpper(varName_);
    if (MentionsVariable(itemsText_, upperName)) {
        RebuildItems();
        AfterCommand();
    } else if (own) {
        SelectFromValue(value);
    }
}

void TTomericListInput::OnTabStops()
{
    UpdateTabStop(*InnerControl(), *this);
}

std::optional<QString> TTomericListInput::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("CAPTION"))
        return Items().join(u'|');
    return std::nullopt;
}

bool TTomericListInput::SetObjectCaption(const QString& text)
{
    SetItems(text.split(u'|'));
    return true;
}

QWidget* TTomericListInput::FocusTarget()
{
    return InnerControl();
}

void TTomericListInput::HotKeyPressed()
{
    InnerControl()->setFocus(Qt::ShortcutFocusReason);
}

void TTomericListInput::FillChanged()
{
    ApplyInputLook(*InnerControl(), *this);
}

void TTomericListInput::FontChanged()
{
    ApplyInputLook(*InnerControl(), *this);
}

void TTomericListInput::mousePressEvent(QMouseEvent* event)
{
    InnerControl()->setFocus(Qt::MouseFocusReason);
    event->accept();
}

// ---- drawing the items ---------------------------------------------------------------------

TListItemDelegate::TListItemDelegate(TTomericObj& object) : QStyledItemDelegate(&object), object_(object) {}

void TListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    const QPalette& palette = option.palette;
    const bool selected = option.state & QStyle::State_Selected;
    QColor back = OpaqueColor(object_.FillColor());
    QColor text = OpaqueColor(object_.FontProps().textColor);
    if (selected) {
        back = palette.color(QPalette::Active, QPalette::Highlight);
        text = palette.color(QPalette::Active, QPalette::HighlightedText);
    } else if (!object_.isEnabled()) {
        text = TomericColor(SystemColour(17)); // grey text
    }
    painter->save();
    painter->fillRect(option.rect, back);
    painter->setFont(object_.font());
    painter->setPen(text);
    const QRect textArea = option.rect.adjusted(2, 0, -2, 0);
    painter->drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if ((option.state & QStyle::State_HasFocus) && object_.Host().ShowMarquee()) {
        QPen dotted(selected ? text : QColor(Qt::black), 1, Qt::DotLine);
        painter->setPen(dotted);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

QSize TListItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    (void)option;
    const QFontMetrics metrics(object_.font());
    return QSize(metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 4, metrics.height());
}

} // namespace tomeric
