#include "objects/object_tree.h"

#include "pages/page_widgets.h"

#include <QPointer>

#include <vector>

namespace tomeric {
namespace {

// The master page's background lies inside the page that shows it: its
// objects belong to the master page, not to that page.
bool IsOtherPage(QWidget* widget)
{
    return qobject_cast<TTomericBackground*>(widget) != nullptr;
}

// Walks the widgets under `root`; objects are visited before their members.
// Plain widgets between objects (inner panels) are looked through.
bool Walk(QWidget* root, const std::function<bool(TTomericObj&)>& visit)
{
    for (QObject* child : root->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || IsOtherPage(widget)) continue;
        if (auto* object = qobject_cast<TTomericObj*>(widget))
            if (!visit(*object)) return false;
        if (!Walk(widget, visit)) return false;
    }
    return true;
}

// The outermost objects under `root`, looking through plain widgets.
void TopLevel(QWidget* root, std::vector<QPointer<TTomericObj>>& out)
{
    for (QObject* child : root->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || IsOtherPage(widget)) continue;
        if (auto* object = qobject_cast<TTomericObj*>(widget)) out.emplace_back(object);
        else TopLevel(widget, out);
    }
}

} // namespace

void ForEachObject(QWidget* root, const std::function<bool(TTomericObj&)>& visit)
{
    if (root) Walk(root, visit);
}

TTomericObj* FindObjectByName(QWidget* root, const QString& name)
{
    TTomericObj* found = nullptr;
    if (name.isEmpty()) return nullptr;
    ForEachObject(root, [&](TTomericObj& object) {
        if (object.Name().compare(name, Qt::CaseInsensitive) != 0) return true;
        found = &object;
        return false;
    });
    return found;
}

void SendToObjects(QWidget* root, const std::function<void(TTomericObj&)>& deliver)
{
    if (!root) return;
    // Collected first: a script run by one object may delete others.
    std::vector<QPointer<TTomericObj>> objects;
    TopLevel(root, objects);
    for (const QPointer<TTomericObj>& object : objects)
        if (object) deliver(*object);
}

} // namespace tomeric
