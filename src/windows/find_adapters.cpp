#include "windows/find_adapters.h"

#include "objects/edit_field.h"
#include "objects/list_input.h"
#include "objects/special_edit.h"

#include <QPointer>

namespace tomeric {

namespace {

class TEditAdapter final : public TFindSearchable {
public:
    explicit TEditAdapter(TTomericEditField& edit) : edit_(&edit) {}
    std::optional<TFindMatch> FindText(const QString& text, int from) const override
    {
        return edit_ ? FindInPlainText(edit_->Text(), text, from) : std::nullopt;
    }
    void ShowFindMatch(const TFindMatch& match) override
    {
        if (!edit_)
            return;
        if (TSpecialEdit* line = edit_->LineEdit()) {
            line->setSelection(match.position, match.length);
        } else if (TSpecialMemo* memo = edit_->Memo()) {
            QTextCursor cursor = memo->textCursor();
            cursor.setPosition(match.position);
            cursor.setPosition(match.position + match.length, QTextCursor::KeepAnchor);
            memo->setTextCursor(cursor);
            memo->ensureCursorVisible();
        }
    }

private:
    QPointer<TTomericEditField> edit_;
};

class TListAdapter final : public TFindSearchable {
public:
    explicit TListAdapter(TTomericListInput& list) : list_(&list) {}
    std::optional<TFindMatch> FindText(const QString& text, int from) const override
    {
        return list_ ? FindInItems(list_->Items(), text, from) : std::nullopt;
    }
    void ShowFindMatch(const TFindMatch& match) override
    {
        if (!list_ || match.item < 0)
            return;
        const QStringList items = list_->Items();
        list_->SelectFromValue(list_->VariableType() == vtIndex ? QString::number(match.item + 1)
                                                                : items.value(match.item));
    }

private:
    QPointer<TTomericListInput> list_;
};

} // namespace

TFindAdapter MakeFindAdapter(TTomericObj& object)
{
    if (auto* edit = qobject_cast<TTomericEditField*>(&object))
        return {std::make_shared<TEditAdapter>(*edit), false};
    if (auto* list = qobject_cast<TTomericListInput*>(&object))
        return {std::make_shared<TListAdapter>(*list), false};
    return {};
}

} // namespace tomeric
