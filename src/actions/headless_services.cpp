#include "actions/headless_services.h"

#include "actions/popup_lines.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace tomeric {

QString QuoteForLine(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1String("\""), QLatin1String("[#34]"));
    escaped.replace(QLatin1String("\r"), QLatin1String("[#13]"));
    escaped.replace(QLatin1String("\n"), QLatin1String("[#10]"));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

HeadlessServices::HeadlessServices(LineSink sink) : sink_(std::move(sink))
{
    services_.Dialogs = this;
    services_.Pages = this;
    services_.Pump = this;
    services_.Publication = this;
    services_.Objects = this;
    services_.Media = this;
    services_.Windows = this;
    services_.Programs = this;
    services_.Internet = this;
    services_.Printing = this;
    services_.System = this;
    services_.NotCarriedOut = this;
    AddVariableObserver(this);
}

HeadlessServices::~HeadlessServices()
{
    RemoveVariableObserver(this);
}

QString EventLine(const QString& kind, const QString& name, const QStringList& texts)
{
    QString line = kind + QLatin1Char(' ') + name;
    for (const QString& text : texts)
        line += QLatin1Char(' ') + QuoteForLine(text);
    return line;
}

void HeadlessServices::Emit(const QString& kind, const QString& name, const QStringList& texts)
{
    if (sink_)
        sink_(EventLine(kind, name, texts));
}

std::optional<QString> HeadlessServices::NextAnswer()
{
    if (answers_.isEmpty())
        return std::nullopt;
    return answers_.takeFirst();
}

void HeadlessServices::AlertBox(const QString& title, const QString& message)
{
    Emit(QStringLiteral("DIALOG"), QStringLiteral("AlertBox"), {title, message});
}

int HeadlessServices::MessageBox(const QString& title, const QString& message, const QString& buttons)
{
    Emit(QStringLiteral("DIALOG"), QStringLiteral("MessageBox"), {title, message, buttons});
    const auto answer = NextAnswer();
    return answer ? answer->trimmed().toInt() : 0;
}

std::optional<QString> HeadlessServices::InputBox(const QString& title, const QString& prompt,
                                                  const QString& current)
{
    Emit(QStringLiteral("DIALOG"), QStringLiteral("InputBox"), {title, prompt, current});
    return NextAnswer();
}

std::optional<QString> HeadlessServices::FileOpenBox(const QString& title, const QString& filter,
                                                     const QString& initialFolder, const QString& options)
{
    Emit(QStringLiteral("DIALOG"), QStringLiteral("FileOpenBox"), {title, filter, initialFolder, options});
    return NextAnswer();
}

std::optional<QString> HeadlessServices::FileSaveBox(const QString& title, const QString& filter,
                                                     const QString& defaultName)
{
    Emit(QStringLiteral("DIALOG"), QStringLiteral("FileSaveBox"), {title, filter, defaultName});
    return NextAnswer();
}

std::optional<QString> HeadlessServices::FolderBox(const QString& title, const QString& startFolder)
{
    Emit(QStringLiteral("DIALOG"), QStringLiteral("FolderBox"), {title, startFolder});
    return NextAnswer();
}

void HeadlessServices::ShowError(const QString& text)
{
    if (sink_)
        sink_(QStringLiteral("ERROR ") + QuoteForLine(text));
}

bool HeadlessServices::GotoPage(const QString& name)
{
    Emit(QStringLiteral("CALL"), QStringLiteral("GotoPage"), {name});
    if (pageNames.isEmpty())
        return true;
    return std::any_of(pageNames.begin(), pageNames.end(),
                       [&](const QString& page) { return page.compare(name, Qt::CaseInsensitive) == 0; });
}

bool HeadlessServices::GotoPageNum(const QString& number)
{
    Emit(QStringLiteral("CALL"), QStringLiteral("GotoPageNum"), {number});
    return true;
}

void HeadlessServices::GotoFirstPage() { Emit(QStringLiteral("CALL"), QStringLiteral("GotoFirstPage"), {}); }
void HeadlessServices::GotoLastPage() { Emit(QStringLiteral("CALL"), QStringLiteral("GotoLastPage"), {}); }
void HeadlessServices::GotoPrevPage() { Emit(QStringLiteral("CALL"), QStringLiteral("GotoPrevPage"), {}); }
void HeadlessServices::GotoNextPage() { Emit(QStringLiteral("CALL"), QStringLiteral("GotoNextPage"), {}); }
void HeadlessServices::ReturnToPage() { Emit(QStringLiteral("CALL"), QStringLiteral("ReturnToPage"), {}); }
void HeadlessServices::PauseSlideShow() { Emit(QStringLiteral("CALL"), QStringLiteral("PauseSlideShow"), {}); }
void HeadlessServices::StopSlideShow() { Emit(QStringLiteral("CALL"), QStringLiteral("StopSlideShow"), {}); }

void HeadlessServices::StartSlideShow(const QStringList& params)
{
    Emit(QStringLiteral("CALL"), QStringLiteral("StartSlideShow"), params);
}

void HeadlessServices::ProcessPendingMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void HeadlessServices::WaitForMessages(int ms, bool /*urgentOnly*/)
{
    if (ms <= 0)
        return;
    if (!QCoreApplication::instance()) {
        QThread::msleep(static_cast<unsigned long>(std::min(ms, 10)));
        return;
    }
    // Sleeps until an event arrives or the time is up (the timer wakes the loop).
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(ms);
    loop.processEvents(QEventLoop::WaitForMoreEvents);
}

bool HeadlessServices::ShuttingDown() const
{
    return QCoreApplication::closingDown();
}

std::optional<QString> HeadlessServices::FindIncludedFile(const QString& name) const
{
    if (findIncluded)
        return findIncluded(name);
    return PublicationAccess::FindIncludedFile(name);
}

QString HeadlessServices::ResolveFile(const QString& name) const
{
    return resolveFile ? resolveFile(name) : name;
}

ServiceReply HeadlessServices::Perform(const ServiceCall& call)
{
    // Pop-ups print their POPUP line and return at once; menus take an answer.
    if (const auto popUp = PopUpLine(call)) {
        if (sink_)
            sink_(*popUp);
    } else {
        Emit(QStringLiteral("CALL"), call.Command, call.Params);
    }
    ServiceReply reply;
    if (call.Command.compare(QLatin1String("Menu"), Qt::CaseInsensitive) == 0) {
        reply.Results[0] = NextAnswer().value_or(QStringLiteral("0"));
    } else if (call.Command.compare(QLatin1String("MenuEx"), Qt::CaseInsensitive) == 0) {
        reply.Results[4] = QString::number(NextAnswer().value_or(QStringLiteral("0")).trimmed().toInt());
    }
    return reply;
}

void HeadlessServices::LastErrorSet(const QString& text, bool showErrorBox)
{
    if (showErrorBox)
        ShowError(text);
}

} // namespace tomeric
