#include "app/external_control.h"

#include "vars/variables.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <iostream>

namespace tomeric {

bool SessionBusAddressKnown()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("bus")));
}

namespace {

void SayExternalControlOff(const QString& why)
{
    static bool said = false;
    if (said)
        return;
    said = true;
    std::cerr << "External control is off (" << why.toStdString() << ").\n";
}

} // namespace

TExternalControl::TExternalControl(ScriptRunner runScript, QObject* parent)
    : QObject(parent), runScript_(std::move(runScript))
{
}

TExternalControl::~TExternalControl()
{
    Withdraw();
}

QString TExternalControl::ServiceNameFor(const QString& publicationFile)
{
    QString name = QFileInfo(publicationFile).fileName();
    name = name.left(name.indexOf(QLatin1Char('.')) < 0 ? name.size() : name.indexOf(QLatin1Char('.')));
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9_]"));
    name.replace(other, QStringLiteral("_"));
    if (name.isEmpty() || name[0].isDigit())
        name.prepend(QLatin1Char('_'));
    return QLatin1String(kExternalServicePrefix) + name;
}

bool TExternalControl::Offer(const QString& publicationFile)
{
    Withdraw();
    if (!SessionBusAddressKnown()) {
        SayExternalControlOff(QStringLiteral("no D-Bus session bus"));
        return false;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        SayExternalControlOff(bus.lastError().message());
        return false;
    }
    const QString base = ServiceNameFor(publicationFile);
    for (int copy = 1; copy < 100; ++copy) {
        const QString name = copy == 1 ? base : base + QStringLiteral("_%1").arg(copy);
        if (bus.interface()->isServiceRegistered(name))
            continue;
        if (!bus.registerService(name))
            continue;
        serviceName_ = name;
        bus.registerObject(QLatin1String(kExternalObjectPath), this, QDBusConnection::ExportScriptableSlots);
        return true;
    }
    SayExternalControlOff(QStringLiteral("no free service name for ") + base);
    return false;
}

void TExternalControl::Withdraw()
{
    if (serviceName_.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QLatin1String(kExternalObjectPath));
    bus.unregisterService(serviceName_);
    serviceName_.clear();
}

QString TExternalControl::Execute(const QString& macro)
{
    QString item;
    const QStringList lines = macro.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('[')))
            item = tomeric::GetVariable(line.trimmed());
        else
            runScript_(line);
    }
    return item;
}

void TExternalControl::RunAction(const QString& text)
{
    runScript_(text);
}

QString TExternalControl::GetVariable(const QString& name)
{
    const QString trimmed = name.trimmed();
    const bool bracketed = trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'));
    return tomeric::GetVariable(bracketed ? trimmed : QLatin1Char('[') + trimmed + QLatin1Char(']'));
}

} // namespace tomeric
