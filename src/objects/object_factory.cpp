#include "objects/object_factory.h"

#include "objects/animator_object.h"
#include "objects/articles.h"
#include "objects/buttons.h"
#include "objects/combo_box.h"
#include "objects/edit_field.h"
#include "objects/linked_article.h"
#include "objects/list_box.h"
#include "objects/media_player_object.h"
#include "objects/picture_object.h"
#include "objects/polygon_object.h"
#include "objects/repositor.h"
#include "objects/shapes.h"
#include "objects/text_object.h"
#include "objects/timer_object.h"
#include "objects/track_bar.h"
#include "objects/web_browser.h"
#include "objects/flash_object.h"

#include <algorithm>
#include <array>

namespace tomeric {
namespace {

struct TCreatorRow {
    int objType;
    TObjectCreator create;
};

// One row per type code; a family replaces CreatePlaceholder in its row with
// its own creator (and adds its header above).
constexpr std::array<TCreatorRow, 23> kCreators = {{
    {otArticle,       CreateArticle},
    {otPushBtn,       CreatePushButton},
    {otPicture,       CreatePicture},
    {otRect,          CreateRect},
    {otCircle,        CreateCircle},
    {otLine,          CreateLine},
    {otText,          CreateText},
    {otEditField,     CreateEditField},
    {otListBox,       CreateListBox},
    {otComboBox,      CreateComboBox},
    {otCheckBox,      CreateCheckBox},
    {otRadioBtn,      CreateRadioButton},
    {otWebBrowser,    CreateWebBrowser},
    {otTimer,         CreateTimer},
    {otTrackBar,      CreateTrackBar},
    {otRoundRect,     CreateRoundRect},
    {otMediaPlayer,   CreateMediaPlayer},
    {otAnimator,      CreateAnimator},
    {otGroup,         CreateGroup},
    {otContainer,     CreateContainer},
    {otFlash,         CreateFlash},
    {otPolygon,       CreatePolygon},
    {otLinkedArticle, CreateLinkedArticle},
}};

} // namespace

TTomericObj* CreatePlaceholder(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericObj(parent, record, host);
}

TObjectCreator ObjectCreator(int objType)
{
    const auto row = std::find_if(kCreators.begin(), kCreators.end(),
                                  [objType](const TCreatorRow& r) { return r.objType == objType; });
    return row != kCreators.end() ? row->create : nullptr;
}

TTomericObj* CreateObject(QWidget* parent, const TObjectRecord& record, ObjectHost& host, QPoint origin)
{
    const TObjectCreator create = ObjectCreator(record.objType);
    if (!create) return nullptr;
    TTomericObj* object = create(parent, record, host);
    if (!object) return nullptr;
    if (!origin.isNull()) object->move(object->pos() + origin);
    if (auto* repositor = qobject_cast<TTomericRepositor*>(object)) {
        for (const TObjectRecord& member : record.members) CreateObject(repositor, member, host);
        repositor->MembersCreated();
    }
    return object;
}

std::vector<TTomericObj*> CreatePageObjects(QWidget* background, const std::vector<TObjectRecord>& records,
                                            ObjectHost& host, QPoint origin)
{
    std::vector<TTomericObj*> made;
    made.reserve(records.size());
    for (const TObjectRecord& record : records)
        if (TTomericObj* object = CreateObject(background, record, host, origin)) made.push_back(object);
    RebuildTabOrder(background);
    return made;
}

} // namespace tomeric
