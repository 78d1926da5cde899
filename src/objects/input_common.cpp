#include "objects/input_common.h"

#include "pages/background_painter.h"
#include "vars/variables.h"

#include <QRegularExpression>

#include <cmath>

namespace tomeric {

QString BoundVariableUpper(const QString& varName)
{
    const QString key = VarKey(varName);
    return key.isEmpty() ? QString() : u'[' + key.toUpper() + u']';
}

bool IsOnScreen(const QWidget& object)
{
    // Geometry and the objects' own visibility decide, not whether the
    // window is shown yet: tab stops are computed before the first page shows.
    if (object.isHidden())
        return false;
    QRect area = object.geometry();
    const QWidget* widget = object.parentWidget();
    while (widget && qobject_cast<const TTomericObj*>(widget)) {
        if (widget->isHidden())
            return false;
        area.translate(widget->pos());
        widget = widget->parentWidget();
    }
    if (!widget)
        return true; // a free-standing object (tests): its own area is the screen
    return area.intersects(widget->rect());
}

void UpdateTabStop(QWidget& inner, const QWidget& object)
{
    inner.setFocusPolicy(IsOnScreen(object) ? Qt::StrongFocus : Qt::ClickFocus);
}

void ApplyInputLook(QWidget& inner, const TTomericObj& object)
{
    QPalette palette = inner.palette();
    const QColor fill = OpaqueColor(object.FillColor());
    const QColor text = OpaqueColor(object.FontProps().textColor);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, fill);
        palette.setColor(group, QPalette::Window, fill);
        palette.setColor(group, QPalette::Button, fill);
    }
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::ButtonText, text);
    }
    inner.setPalette(palette);
    inner.setFont(object.font());
    inner.setAutoFillBackground(true);
}

std::optional<int> ItemNumber(const QString& text, int count)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok || number < 1 || number > count)
        return std::nullopt;
    return number;
}

QStringList SplitLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineBreak);
    // A final line break ends the last line; it does not start an empty one.
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void WriteBoundVariable(const QString& varName, const QString& value, bool& guard)
{
    if (varName.isEmpty())
        return;
    const bool saved = guard;
    guard = true;
    SetVariable(varName, value);
    guard = saved;
}

int RoundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

} // namespace tomeric
