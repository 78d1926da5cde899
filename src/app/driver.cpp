#include "app/driver.h"

#include "actions/action_eval.h"
#include "actions/script_session.h"
#include "app/work_form.h"
#include "media/media_service.h"
#include "windows/popup_palette.h"
#include "windows/screen_composition.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QRegion>
#include <QTimer>

#include <map>

namespace tomeric {

namespace {

const std::map<QString, int>& NamedKeys()
{
    static const std::map<QString, int> keys = {
        {QStringLiteral("esc"), Qt::Key_Escape},     {QStringLiteral("escape"), Qt::Key_Escape},
        {QStringLiteral("enter"), Qt::Key_Return},   {QStringLiteral("return"), Qt::Key_Return},
        {QStringLiteral("pgup"), Qt::Key_PageUp},    {QStringLiteral("pageup"), Qt::Key_PageUp},
        {QStringLiteral("pgdn"), Qt::Key_PageDown},  {QStringLiteral("pagedown"), Qt::Key_PageDown},
        {QStringLiteral("home"), Qt::Key_Home},      {QStringLiteral("end"), Qt::Key_End},
        {QStringLiteral("tab"), Qt::Key_Tab},        {QStringLiteral("space"), Qt::Key_Space},
        {QStringLiteral("up"), Qt::Key_Up},          {QStringLiteral("down"), Qt::Key_Down},
        {QStringLiteral("left"), Qt::Key_Left},      {QStringLiteral("right"), Qt::Key_Right},
        {QStringLiteral("backspace"), Qt::Key_Backspace}, {QStringLiteral("delete"), Qt::Key_Delete},
        {QStringLiteral("pause"), Qt::Key_Pause},
    };
    return keys;
}

const std::map<QString, Qt::KeyboardModifier>& Modifiers()
{
    static const std::map<QString, Qt::KeyboardModifier> modifiers = {
        {QStringLiteral("ctrl"), Qt::ControlModifier},
        {QStringLiteral("shift"), Qt::ShiftModifier},
        {QStringLiteral("alt"), Qt::AltModifier},
    };
    return modifiers;
}

std::optional<int> FunctionKey(const QString& name)
{
    if (name.size() < 2 || name[0] != QLatin1Char('f'))
        return std::nullopt;
    bool ok = false;
    const int number = name.mid(1).toInt(&ok);
    if (!ok || number < 1 || number > 12)
        return std::nullopt;
    return Qt::Key_F1 + number - 1;
}

// "X,Y" as a point; nothing unless both are whole numbers.
std::optional<QPoint> ParsePoint(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    bool okX = false, okY = false;
    const int x = parts[0].trimmed().toInt(&okX);
    const int y = parts[1].trimmed().toInt(&okY);
    if (!okX || !okY)
        return std::nullopt;
    return QPoint(x, y);
}

// Where a plain name aims: the centre, unless the object is shaped and its
// centre lies outside the shape; then the centre of the shape's first piece.
QPointF AimPoint(const QWidget& object)
{
    const QPointF centre = QRectF(object.rect()).center();
    const QRegion shape = object.mask();
    if (shape.isEmpty() || shape.contains(centre.toPoint()))
        return centre;
    return QRectF(*shape.begin()).center();
}

// A mouse event at a point of the screen, delivered to `widget`.
void SendMouse(QWidget* widget, QEvent::Type type, const QPointF& global, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QMouseEvent event(type, widget->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The steps of a drag: enough moves for the object to notice it is dragged
// and to follow the pointer.
constexpr int kDragSteps = 8;

} // namespace

std::optional<TDriverSpot> ParseDriverSpot(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    TDriverSpot spot;
    spot.name = trimmed;
    // A name may hold an "@" of its own: only "@X,Y" at the end is a point.
    const qsizetype at = trimmed.lastIndexOf(QLatin1Char('@'));
    const auto point = at > 0 ? ParsePoint(trimmed.mid(at + 1)) : std::nullopt;
    if (point) {
        spot.point = point;
        spot.name = trimmed.left(at).trimmed();
    }
    return spot;
}

std::optional<TDriverRelease> ParseDriverRelease(const QString& text)
{
    const QStringList words = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    TDriverRelease release;
    switch (words.size()) {
    case 0: return release; // where the button went down
    case 1:
        release.to = ParseDriverSpot(words[0]);
        return release;
    case 2:
        if (const auto offset = ParsePoint(words[0] + QLatin1Char(',') + words[1])) {
            release.offset = *offset;
            return release;
        }
        return std::nullopt;
    default: return std::nullopt;
    }
}

std::optional<TDriverDrag> ParseDriverDrag(const QString& text)
{
    const QString simple = text.simplified();
    const qsizetype space = simple.indexOf(QLatin1Char(' '));
    if (space < 0)
        return std::nullopt;
    const auto from = ParseDriverSpot(simple.left(space));
    const auto release = ParseDriverRelease(simple.mid(space + 1));
    if (!from || !release)
        return std::nullopt;
    return TDriverDrag{*from, release->to, release->offset};
}

std::optional<TDriverKey> ParseDriverKey(const QString& text)
{
    QStringList parts = text.trimmed().split(QLatin1Char('+'));
    if (parts.isEmpty() || parts.last().isEmpty())
        return std::nullopt;
    TDriverKey key;
    const QString last = parts.takeLast();
    for (const QString& part : parts) {
        const auto modifier = Modifiers().find(part.trimmed().toLower());
        if (modifier == Modifiers().end())
            return std::nullopt;
        key.modifiers |= modifier->second;
    }
    const QString name = last.trimmed().toLower();
    if (const auto named = NamedKeys().find(name); named != NamedKeys().end()) {
        key.key = named->second;
        if (key.key == Qt::Key_Space)
            key.text = QStringLiteral(" ");
        else if (key.key == Qt::Key_Return)
            key.text = QStringLiteral("\r");
        return key;
    }
    if (const auto function = FunctionKey(name)) {
        key.key = *function;
        return key;
    }
    if (last.trimmed().size() == 1 && last.trimmed()[0].isLetterOrNumber()) {
        const QChar c = last.trimmed()[0];
        key.key = c.toUpper().unicode();
        key.text = (key.modifiers & Qt::ShiftModifier) ? QString(c.toUpper()) : QString(c);
        return key;
    }
    return std::nullopt;
}

std::optional<TDriverLine> ParseDriverLine(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
        return std::nullopt;
    const qsizetype space = trimmed.indexOf(QLatin1Char(' '));
    TDriverLine parsed;
    parsed.verb = (space < 0 ? trimmed : trimmed.left(space)).toLower();
    parsed.argument = space < 0 ? QString() : trimmed.mid(space + 1).trimmed();
    return parsed;
}

QStringList TakeLeadingAnswers(QStringList& lines)
{
    QStringList answers;
    qsizetype consumed = 0;
    for (; consumed < lines.size(); ++consumed) {
        const auto line = ParseDriverLine(lines[consumed]);
        if (!line)
            continue;
        if (line->verb != QLatin1String("answer"))
            break;
        answers.append(line->argument);
    }
    lines = lines.mid(consumed);
    return answers;
}

TDriver::TDriver(TWorkForm& form, QStringList lines, std::function<void(const QString&)> errors)
    : QObject(&form), form_(form), lines_(std::move(lines)), errors_(std::move(errors))
{
    TPopUpPalette::SetWaitObserver([this] { ResumeWhilePopUpWaits(); });
}

TDriver::~TDriver()
{
    TPopUpPalette::SetWaitObserver({});
}

void TDriver::ResumeWhilePopUpWaits()
{
    // A verb opened a pop-up and waits inside it (a "run" line, an enter
    // action): the script goes on meanwhile, as a person would act on the
    // pop-up; the blocked verb does not schedule the next one when it ends.
    if (performing_ == 0)
        return;
    ++chain_;
    QTimer::singleShot(0, this, [this] { Next(); });
}

void TDriver::Start()
{
    QTimer::singleShot(0, this, [this] { Next(); });
}

void TDriver::Complain(const QString& text)
{
    if (errors_)
        errors_(text);
}

void TDriver::Next()
{
    // The publication closed itself (Exit, Esc): the script ends with it.
    if (form_.ShuttingDown()) {
        finished_ = true;
        return;
    }
    // A dismissed pop-up is still handing its result back: go on once it has.
    if (TPopUpPalette::Returning()) {
        QTimer::singleShot(1, this, [this] { Next(); });
        return;
    }
    // A verb whose pop-up has been dismissed is still running its script:
    // the next verb waits for it, as it would without the pop-up.
    if (performing_ > 0 && !TPopUpPalette::Waiting()) {
        heldNext_ = true;
        return;
    }
    while (position_ < lines_.size()) {
        const auto line = ParseDriverLine(lines_[position_++]);
        if (!line)
            continue;
        const int chain = chain_;
        ++performing_;
        const int delay = Perform(*line);
        --performing_;
        if (finished_)
            return;
        if (chain != chain_) {
            // A pop-up let the script go on while this verb waited.
            if (heldNext_ && performing_ == 0) {
                heldNext_ = false;
                QTimer::singleShot(0, this, [this] { Next(); });
            }
            return;
        }
        QTimer::singleShot(std::max(0, delay), this, [this] { Next(); });
        return;
    }
    Finish();
}

int TDriver::Perform(const TDriverLine& line)
{
    const QString& verb = line.verb;
    const QString& arg = line.argument;
    if (verb == QLatin1String("wait")) {
        bool ok = false;
        const int ms = arg.toInt(&ok);
        if (!ok || ms < 0)
            Complain(QStringLiteral("wait needs a number of milliseconds: ") + arg);
        return ok ? ms : 0;
    }
    if (verb == QLatin1String("waitfor"))
        return WaitFor(arg);
    if (verb == QLatin1String("click") || verb == QLatin1String("rclick") ||
        verb == QLatin1String("dblclick") || verb == QLatin1String("hover"))
        MouseOn(verb, arg);
    else if (verb == QLatin1String("drag"))
        Drag(arg);
    else if (verb == QLatin1String("press"))
        Press(arg);
    else if (verb == QLatin1String("release"))
        Release(arg);
    else if (verb == QLatin1String("key"))
        PressKey(arg);
    else if (verb == QLatin1String("type"))
        TypeText(arg);
    else if (verb == QLatin1String("answer"))
        form_.Dialogs().QueueAnswer(arg);
    else if (verb == QLatin1String("run"))
        form_.RunScript(arg, QStringLiteral("driver"), 0);
    else if (verb == QLatin1String("vars"))
        WriteVariables(arg);
    else if (verb == QLatin1String("screenshot"))
        Screenshot(arg);
    else if (verb == QLatin1String("closewindow"))
        CloseFloatingWindow(arg);
    else if (verb == QLatin1String("windowshot"))
        WindowShot(arg);
    else if (verb == QLatin1String("media"))
        WriteOpenMedia(arg);
    else if (verb == QLatin1String("quit")) {
        if (form_.RequestClose(TCloseSource::csCloseButton))
            finished_ = true;
        else
            Complain(QStringLiteral("the publication refused to close"));
    } else
        Complain(QStringLiteral("unknown verb ") + verb);
    return 0;
}

void TDriver::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    if (!form_.RequestClose(TCloseSource::csCloseButton)) {
        Complain(QStringLiteral("the publication refused to close; the driver ends it"));
        form_.ForceClose();
    }
}

namespace {

// A control of another open window of the player (the progress window's
// "ProgressCancel"), by its name.
QWidget* FindWindowControl(const QString& name)
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible())
            continue;
        for (QWidget* child : top->findChildren<QWidget*>())
            if (child->isVisible() && child->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return child;
    }
    return nullptr;
}

} // namespace

// While a modal window is open, the window system gives the mouse to it
// alone.
bool BlockedByModalWindow(const QWidget* target)
{
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && target && target->window() != modal && !modal->isAncestorOf(target);
}

std::optional<TDriver::TAim> TDriver::Aim(const TDriverSpot& spot)
{
    const auto aim = AimAtObject(spot);
    // The pointer of a person doing this would be there now.
    if (aim)
        TPopUpPalette::SetDrivenPointer(aim->global.toPoint());
    return aim;
}

std::optional<TDriver::TAim> TDriver::AimAtPopUp(const TDriverSpot& spot)
{
    TPopUpPalette* popUp = TPopUpPalette::Waiting();
    if (!popUp) {
        Complain(QStringLiteral("no pop-up is open"));
        return std::nullopt;
    }
    TAim aim;
    aim.global = popUp->mapToGlobal(QPointF(spot.point.value_or(popUp->rect().center())));
    aim.widget = popUp->childAt(popUp->mapFromGlobal(aim.global).toPoint());
    if (!aim.widget)
        aim.widget = popUp;
    aim.local = aim.widget->mapFromGlobal(aim.global);
    return aim;
}

// Pages shown in custom windows come first: their objects are what the
// user sees in front.
QWidget* TDriver::FindShownSpot(const QString& name)
{
    QWidget* object = form_.FloatingWindows().FindObjectInWindows(name);
    if (!object)
        object = form_.Stack().FindShownObject(name);
    if (!object)
        object = FindWindowControl(name);
    return object;
}

// Looks again every 20 ms, so a script neither waits longer than it must
// nor fails on a machine slower than the one it was written on.
int TDriver::WaitFor(const QString& argument)
{
    constexpr int kLookAgainMs = 20;
    const QStringList parts = argument.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    bool ok = parts.size() == 1;
    const int limitMs = parts.size() == 2 ? parts[1].toInt(&ok) : 10000;
    if (parts.isEmpty() || !ok || limitMs < 0) {
        Complain(QStringLiteral("waitfor needs a name and at most a number of milliseconds: ") + argument);
        return 0;
    }
    if (const QWidget* found = FindShownSpot(parts[0]); found && found->isVisible()) {
        waitingUntil_.reset();
        return 0;
    }
    if (!waitingUntil_)
        waitingUntil_ = QDeadlineTimer(limitMs);
    if (waitingUntil_->hasExpired()) {
        waitingUntil_.reset();
        Complain(QStringLiteral("no object %1 after %2 ms").arg(parts[0]).arg(limitMs));
        return 0;
    }
    --position_; // this line again
    return kLookAgainMs;
}

std::optional<TDriver::TAim> TDriver::AimAtObject(const TDriverSpot& spot)
{
    if (spot.name.compare(QLatin1String("popup"), Qt::CaseInsensitive) == 0 && TPopUpPalette::Waiting())
        return AimAtPopUp(spot);
    QWidget* object = FindShownSpot(spot.name);
    if (!object) {
        Complain(QStringLiteral("no object ") + spot.name);
        return std::nullopt;
    }
    TAim aim;
    if (!spot.point) {
        // A plain name: straight to the object, whatever covers it.
        aim.widget = object;
        aim.local = AimPoint(*object);
        aim.global = object->mapToGlobal(aim.local);
        return aim;
    }
    // A point: whatever a real pointer there would reach (shapes, hidden
    // and mouse-transparent widgets taken into account).
    aim.global = object->mapToGlobal(QPointF(*spot.point));
    QWidget* top = object->window();
    aim.widget = top->childAt(top->mapFromGlobal(aim.global).toPoint());
    if (!aim.widget)
        aim.widget = top;
    aim.local = aim.widget->mapFromGlobal(aim.global);
    return aim;
}

void TDriver::MouseOn(const QString& verb, const QString& spotText)
{
    const auto spot = ParseDriverSpot(spotText);
    if (!spot) {
        Complain(QStringLiteral("no object ") + spotText);
        return;
    }
    const auto aim = Aim(*spot);
    if (!aim)
        return;
    if (BlockedByModalWindow(aim->widget))
        return;
    // A QPointer: the click's action may delete the object (a page change).
    const QPointer<QWidget> target(aim->widget);
    auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
        if (target)
            SendMouse(target, type, aim->global, button, held);
    };
    if (verb == QLatin1String("hover")) {
        HoverOnto(target, *aim);
        send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
        return;
    }
    const Qt::MouseButton button = verb == QLatin1String("rclick") ? Qt::RightButton : Qt::LeftButton;
    send(QEvent::MouseButtonPress, button, button);
    send(QEvent::MouseButtonRelease, button, Qt::NoButton);
    if (verb == QLatin1String("dblclick")) {
        send(QEvent::MouseButtonDblClick, button, button);
        send(QEvent::MouseButtonRelease, button, Qt::NoButton);
    }
}

void TDriver::HoverOnto(QWidget* target, const TAim& aim)
{
    // The pointer leaves what an earlier hover put it on, unless it stays
    // inside it (a member of a group).
    if (hovered_ && hovered_ != target && !hovered_->isAncestorOf(target)) {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(hovered_, &leave);
    }
    const bool wasInside = hovered_ && target->isAncestorOf(hovered_);
    hovered_ = target;
    if (wasInside)
        return;
    QEnterEvent enter(aim.local, aim.local, aim.global);
    QApplication::sendEvent(target, &enter);
}

void TDriver::Drag(const QString& argument)
{
    const auto drag = ParseDriverDrag(argument);
    if (!drag) {
        Complain(QStringLiteral("drag needs an object and a target object or DX DY: ") + argument);
        return;
    }
    const auto from = Aim(drag->from);
    if (!from)
        return;
    PressOn(*from);
    ReleaseAt(TDriverRelease{drag->to, drag->offset});
}

void TDriver::Press(const QString& spotText)
{
    const auto spot = ParseDriverSpot(spotText);
    if (!spot) {
        Complain(QStringLiteral("press needs an object: ") + spotText);
        return;
    }
    if (const auto aim = Aim(*spot))
        PressOn(*aim);
}

void TDriver::Release(const QString& argument)
{
    const auto release = ParseDriverRelease(argument);
    if (!release) {
        Complain(QStringLiteral("release takes nothing, an object or DX DY: ") + argument);
        return;
    }
    ReleaseAt(*release);
}

void TDriver::PressOn(const TAim& aim)
{
    if (BlockedByModalWindow(aim.widget))
        return;
    pressed_ = aim.widget;
    pressedAt_ = aim.global;
    buttonDown_ = true;
    SendMouse(pressed_, QEvent::MouseButtonPress, aim.global, Qt::LeftButton, Qt::LeftButton);
}

void TDriver::ReleaseAt(const TDriverRelease& release)
{
    if (!buttonDown_) {
        Complain(QStringLiteral("release without a press"));
        return;
    }
    buttonDown_ = false;
    QPointF end = pressedAt_ + QPointF(release.offset);
    if (release.to) {
        const auto to = Aim(*release.to);
        if (!to)
            return;
        end = to->global;
    }
    // The pressed widget may be gone (its page left): nothing to release.
    const QPointer<QWidget> grabber = pressed_;
    pressed_ = nullptr;
    const QPointF start = pressedAt_;
    for (int step = 1; step <= kDragSteps && grabber && end != start; ++step) {
        const QPointF at = start + (end - start) * (double(step) / kDragSteps);
        SendMouse(grabber, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    }
    if (grabber)
        SendMouse(grabber, QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
}

void TDriver::PressKey(const QString& keyText)
{
    const auto key = ParseDriverKey(keyText);
    if (!key) {
        Complain(QStringLiteral("unknown key ") + keyText);
        return;
    }
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form_;
    QKeyEvent press(QEvent::KeyPress, key->key, key->modifiers, key->text);
    QKeyEvent release(QEvent::KeyRelease, key->key, key->modifiers, key->text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

void TDriver::TypeText(const QString& text)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form_;
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}

void TDriver::WriteVariables(const QString& file)
{
    const QByteArray text = ScriptSession::GlobalVariablesText();
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text) != text.size())
        Complain(QStringLiteral("cannot write ") + file);
}

void TDriver::CloseFloatingWindow(const QString& name)
{
    // The user's close button: protection against the close commands does
    // not hold against it.
    TFloatingWindowForm* window = form_.FloatingWindows().Find(name);
    if (!window) {
        Complain(QStringLiteral("no floating window ") + name);
        return;
    }
    window->close();
}

void TDriver::WindowShot(const QString& argument)
{
    // "windowshot NAME FILE": the name may hold spaces, the file may not.
    const qsizetype space = argument.lastIndexOf(QLatin1Char(' '));
    const QString name = space > 0 ? argument.left(space).trimmed() : QString();
    const QString file = argument.mid(space + 1).trimmed();
    TFloatingWindowForm* window = name.isEmpty() ? nullptr : form_.FloatingWindows().Find(name);
    if (!window) {
        Complain(QStringLiteral("windowshot needs an open floating window and a file: ") + argument);
        return;
    }
    if (!window->grab().save(file, "PNG"))
        Complain(QStringLiteral("cannot write ") + file);
}

void TDriver::WriteOpenMedia(const QString& file)
{
    auto* media = dynamic_cast<TMediaService*>(form_.AllServices().Media);
    const QByteArray text = media ? media->OpenMedia().Describe().join(QLatin1Char('\n')).toUtf8() : QByteArray();
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text) != text.size())
        Complain(QStringLiteral("cannot write ") + file);
}

void TDriver::Screenshot(const QString& file)
{
    // The publication area as a person sees it: open pop-ups and floating
    // windows over it at their screen positions.
    QImage image = form_.PublicationAreaImage();
    if (TPageStack* stack = form_.StackOrNull())
        ComposeWindowsOver(image, stack->mapToGlobal(QPoint(0, 0)), {&form_});
    if (!image.save(file, "PNG"))
        Complain(QStringLiteral("cannot write ") + file);
}

} // namespace tomeric
