#include "objects/first_values.h"

#include "objects/buttons.h"
#include "objects/edit_field.h"
#include "objects/list_input.h"
#include "objects/track_bar.h"
#include "vars/variables.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace tomeric {

namespace {

// What OM_INIT of one family writes; no answer when only the widget knows.
using TFirstWriteOf = std::function<std::optional<TFirstWrite>(const TObjectRecord&)>;

template <class Props, class Make>
TFirstWriteOf Reading(Make make)
{
    return [make](const TObjectRecord& record) -> std::optional<TFirstWrite> {
        const Props* props = record.As<Props>();
        if (!props)
            return TFirstWrite{};
        return make(*props);
    };
}

const TFirstWriteOf kWritesNothing = [](const TObjectRecord&) { return std::optional<TFirstWrite>(TFirstWrite{}); };

// A radio button whose caption shows a variable writes its new value when
// that variable changes: only a live widget can do that.
std::optional<TFirstWrite> RadioFirstWrite(const TCheckBoxProps& props)
{
    if (props.text.contains(u'['))
        return std::nullopt;
    return TTomericRadioBtn::FirstWrite(props);
}

struct TFirstWriteRow {
    int type;
    TFirstWriteOf write;
};

// The families whose widgets may wait. Every other family (pictures,
// articles, media, browsers, groups ...) is created with the publication.
const TFirstWriteRow kFirstWrites[] = {
    {otPushBtn,   kWritesNothing},
    {otText,      kWritesNothing},
    {otRect,      kWritesNothing},
    {otCircle,    kWritesNothing},
    {otRoundRect, kWritesNothing},
    {otLine,      kWritesNothing},
    {otTimer,     kWritesNothing},
    {otCheckBox,  Reading<TCheckBoxProps>([](const TCheckBoxProps& p) { return std::optional(TTomericCheckBox::FirstWrite(p)); })},
    {otRadioBtn,  Reading<TCheckBoxProps>(RadioFirstWrite)},
    {otEditField, Reading<TEditFieldProps>(TTomericEditField::FirstWrite)},
    {otListBox,   Reading<TListBoxProps>([](const TListBoxProps& p) { return std::optional(TTomericListInput::FirstWrite(p.varName)); })},
    {otComboBox,  Reading<TComboBoxProps>([](const TComboBoxProps& p) { return std::optional(TTomericListInput::FirstWrite(p.varName)); })},
    {otTrackBar,  Reading<TTrackBarProps>([](const TTrackBarProps& p) { return std::optional(TTomericTrackBar::FirstWrite(p)); })},
};

std::optional<TFirstWrite> FirstWriteOf(const TObjectRecord& record)
{
    if (!record.members.empty())
        return std::nullopt;
    const auto row = std::find_if(std::begin(kFirstWrites), std::end(kFirstWrites),
                                  [&record](const TFirstWriteRow& r) { return r.type == record.objType; });
    if (row == std::end(kFirstWrites))
        return std::nullopt;
    return row->write(record);
}

} // namespace

bool FirstValuesKnown(const TObjectRecord& record) { return FirstWriteOf(record).has_value(); }

bool FirstValuesKnown(const std::vector<TObjectRecord>& records)
{
    return std::all_of(records.begin(), records.end(),
                       [](const TObjectRecord& record) { return FirstValuesKnown(record); });
}

void WriteFirstValues(const std::vector<TObjectRecord>& records)
{
    for (const TObjectRecord& record : records) {
        const std::optional<TFirstWrite> write = FirstWriteOf(record);
        if (write && !write->varName.isEmpty())
            SetVariable(write->varName, write->value);
    }
}

} // namespace tomeric
