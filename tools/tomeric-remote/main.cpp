// tomeric-remote: drives a running publication from outside, over the
// D-Bus session bus (the player's external control, app/external_control.h).
//
//   tomeric-remote [--publication NAME] run ACTION
//   tomeric-remote [--publication NAME] get VARIABLE
//   tomeric-remote list

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

#include <iostream>
#include <optional>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Scripts may show dialogs: the call waits as long as a person might.
constexpr int kCallTimeoutMs = 24 * 60 * 60 * 1000;

const char* const kPrefix = "org.tomeric.Publication.";
const char* const kObjectPath = "/org/tomeric/DdeServer";
const char* const kInterface = "org.tomeric.DdeServer";

const char* const kUsage =
    "Usage: tomeric-remote [--publication NAME] run ACTION\n"
    "       tomeric-remote [--publication NAME] get VARIABLE\n"
    "       tomeric-remote list\n"
    "\n"
    "Drives a publication running in the player (qxplay5) over the D-Bus\n"
    "session bus.\n"
    "\n"
    "  run ACTION   runs ACTION (action lines, one a line) in the publication, as\n"
    "               its own scripts run; returns when they are done.\n"
    "  get VARIABLE prints the value of VARIABLE (\"Score\" or \"[Score]\").\n"
    "  list         prints the names of the running publications, one a line.\n"
    "\n"
    "  --publication NAME  the publication to drive: its name as \"list\" prints it\n"
    "               (the publication file's name up to its first \".\", with \"_2\",\n"
    "               \"_3\" ... for further copies), or the full service name.\n"
    "               Needed only when more than one publication runs.\n"
    "  --help       show this text.\n"
    "\n"
    "Each publication offers the service org.tomeric.Publication.NAME, object\n"
    "/org/tomeric/DdeServer, interface org.tomeric.DdeServer.\n"
    "\n"
    "Exit status: 0 done, 1 no such publication or the call failed, 2 bad usage.\n";

int UsageError(const std::string& message)
{
    std::cerr << "tomeric-remote: " << message << "\n\n" << kUsage;
    return kExitUsage;
}

int Failed(const QString& message)
{
    std::cerr << "tomeric-remote: " << message.toStdString() << "\n";
    return kExitFailed;
}

QStringList RunningPublications(QDBusConnection& bus)
{
    QStringList names;
    const QDBusReply<QStringList> services = bus.interface()->registeredServiceNames();
    for (const QString& service : services.value())
        if (service.startsWith(QLatin1String(kPrefix)))
            names.append(service.mid(int(qstrlen(kPrefix))));
    names.sort();
    return names;
}

// The service to call, or the reason there is none.
std::optional<QString> ChooseService(QDBusConnection& bus, const QString& wanted, QString* why)
{
    if (wanted.startsWith(QLatin1String(kPrefix)))
        return wanted;
    const QStringList running = RunningPublications(bus);
    if (!wanted.isEmpty()) {
        for (const QString& name : running)
            if (name.compare(wanted, Qt::CaseInsensitive) == 0)
                return QLatin1String(kPrefix) + name;
        *why = QStringLiteral("no running publication named ") + wanted;
        return std::nullopt;
    }
    if (running.size() == 1)
        return QLatin1String(kPrefix) + running.first();
    *why = running.isEmpty() ? QStringLiteral("no publication is running")
                             : QStringLiteral("several publications run (") + running.join(QStringLiteral(", ")) +
                                   QStringLiteral("): pick one with --publication");
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    QString publication;
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::cout << kUsage;
        return kExitOk;
    }
    if (!args.isEmpty() && args.first() == QLatin1String("--publication")) {
        if (args.size() < 2)
            return UsageError("--publication needs a value");
        publication = args.at(1);
        args = args.mid(2);
    }
    if (args.isEmpty())
        return UsageError("no command given");
    const QString command = args.takeFirst();
    if (command != QLatin1String("list") && args.size() != 1)
        return UsageError(command.toStdString() + " takes exactly one argument");
    if (command == QLatin1String("list") && !args.isEmpty())
        return UsageError("list takes no argument");
    if (command != QLatin1String("run") && command != QLatin1String("get") && command != QLatin1String("list"))
        return UsageError("unknown command " + command.toStdString());

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Failed(QStringLiteral("no D-Bus session bus: ") + bus.lastError().message());
    if (command == QLatin1String("list")) {
        for (const QString& name : RunningPublications(bus))
            std::cout << name.toStdString() << "\n";
        return kExitOk;
    }
    QString why;
    const std::optional<QString> service = ChooseService(bus, publication, &why);
    if (!service)
        return Failed(why);
    QDBusInterface remote(*service, QLatin1String(kObjectPath), QLatin1String(kInterface), bus);
    remote.setTimeout(kCallTimeoutMs);
    if (command == QLatin1String("run")) {
        const QDBusReply<void> reply = remote.call(QStringLiteral("RunAction"), args.first());
        return reply.isValid() ? kExitOk : Failed(reply.error().message());
    }
    const QDBusReply<QString> reply = remote.call(QStringLiteral("GetVariable"), args.first());
    if (!reply.isValid())
        return Failed(reply.error().message());
    std::cout << reply.value().toStdString() << "\n";
    return kExitOk;
}
