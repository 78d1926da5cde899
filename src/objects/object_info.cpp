// GetObjectInfo: one property of an object as text. The family answers
// first (file names, captions, selections, a line's stroke box ...); what it
// leaves is answered here from the common properties.

#include "objects/object_command_handlers.h"

namespace tomeric {

namespace {

struct TInfoRow {
    const char* name; // upper case
    QString (*read)(const TTomericObj& object);
};

bool ShowsStoredCaption(int type)
{
    return type == otPushBtn || type == otText || type == otCheckBox || type == otRadioBtn;
}

// The common answers; families that have more override FamilyInfo.
constexpr TInfoRow kInfoRows[] = {
    {"VISIBLE", [](const TTomericObj& o) { return TrueFalseWord(!o.isHidden()); }},
    {"ENABLED", [](const TTomericObj& o) { return TrueFalseWord(o.EnabledState()); }},
    {"LEFT", [](const TTomericObj& o) { return QString::number(o.x()); }},
    {"TOP", [](const TTomericObj& o) { return QString::number(o.y()); }},
    {"WIDTH", [](const TTomericObj& o) { return QString::number(o.width()); }},
    {"HEIGHT", [](const TTomericObj& o) { return QString::number(o.height()); }},
    {"FILENAME", [](const TTomericObj&) { return QString(); }},
    {"SELECTEDTEXT", [](const TTomericObj&) { return QString(); }},
    {"CURSORPOSITION", [](const TTomericObj&) { return QString(); }},
    {"IMAGEWIDTH", [](const TTomericObj&) { return QString(); }},
    {"IMAGEHEIGHT", [](const TTomericObj&) { return QString(); }},
    {"MEDIALENGTH", [](const TTomericObj&) { return QStringLiteral("0"); }},
    {"CAPTION", [](const TTomericObj& o) { return ShowsStoredCaption(o.ObjType()) ? o.Txt() : QString(); }},
};

const TInfoRow* FindInfo(const QString& upperName)
{
    for (const TInfoRow& row : kInfoRows)
        if (upperName == QLatin1String(row.name))
            return &row;
    return nullptr;
}

} // namespace

std::optional<QString> ObjectInfo(const TTomericObj& object, const QString& info)
{
    const QString upper = info.trimmed().toUpper();
    const TInfoRow* row = FindInfo(upper);
    if (!row)
        return std::nullopt;
    if (std::optional<QString> answer = object.FamilyInfo(upper))
        return answer;
    return row->read(object);
}

void GetObjectInfoCommand(TObjectCommandRun& run)
{
    const QString info = run.Param(2);
    std::optional<QString> value = ObjectInfo(run.Object(), info);
    if (!value) {
        // The information name goes first as written, without the quotes
        // that mark a missing object's name.
        run.reply.LastError = info + QStringLiteral("||") + Message(msgInvalidObjectInfo);
        run.Result(3, QString());
        return;
    }
    run.Result(3, *value);
}

} // namespace tomeric
