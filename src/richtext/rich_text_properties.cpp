#include "richtext/rich_text_properties.h"

#include <QTextCursor>
#include <QTextDocument>

namespace tomeric {

QString LinkCommandAt(const QTextDocument&, int) { return {}; }
std::optional<TRichLink> LinkAt(const QTextDocument&, int) { return std::nullopt; }
QList<TRichLink> Links(const QTextDocument&) { return {}; }
std::optional<int> BookmarkPosition(const QTextDocument&, const QString&) { return std::nullopt; }
QStringList Bookmarks(const QTextDocument&) { return {}; }
int CreateVariableFields(QTextDocument&, const std::function<QString(const QString&)>&) { return 0; }
int RefreshVariableFields(QTextDocument&, const std::function<QString(const QString&)>&, const QString&)
{
    return 0;
}
QStringList VariableFieldNames(const QTextDocument&) { return {}; }
QString VisiblePlainText(const QTextDocument& document, int from, int to)
{
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    return cursor.selectedText();
}
QString VisiblePlainText(const QTextCursor& selection) { return selection.selectedText(); }

} // namespace tomeric
