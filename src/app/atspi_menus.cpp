#include "app/atspi_menus.h"

#include "app/external_control.h"
#include "platform/digits.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <deque>
#include <optional>
#include <vector>

namespace tomeric {

using platform::AllDigits;

namespace {

const QString kConnectionName = QStringLiteral("tomeric-accessibility-bus");
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kAction = QStringLiteral("org.a11y.atspi.Action");
const QString kApplicationRoot = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString kBusDaemon = QStringLiteral("org.freedesktop.DBus");

// A program that hangs must not hold the player for long.
constexpr int kCallTimeoutMs = 1500;
// Programs join a bus that has just been started a moment later.
constexpr int kJoinWaitMs = 3000;
constexpr int kJoinPollMs = 100;
// How far below a window its menu bar may lie, and how much of a window's
// tree is looked at for it.
constexpr int kMenuBarDepth = 4;
constexpr int kMenuBarSearchNodes = 400;

// AT-SPI roles (AtspiRole).
enum TRole : uint {
    rMenu = 33,
    rMenuBar = 34,
    rPopupMenu = 41,
    rSeparator = 50,
};

// An object on the bus: the connection that shows it and its path.
struct TNode {
    QString service;
    QString path;
};

// The actions that choose a menu item, by toolkit: GTK's "click", Qt's
// "Press", others' "activate".
bool IsChoosingAction(const QString& name)
{
    for (const char* word : {"click", "press", "activate"})
        if (name.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

// ---- the accessibility bus ------------------------------------------------------

struct TAtSpiMenus::TBus {
    QDBusConnection connection{QString()};
    // A program that did not answer in time: the rest of the walk is given
    // up rather than waited for call after call.
    mutable bool stalled = false;

    // Connects to the accessibility bus, starting it through the session
    // bus when needed (`*started` then says so).
    bool Connect(bool* started)
    {
        *started = false;
        if (connection.isConnected())
            return true;
        QString address = qEnvironmentVariable("AT_SPI_BUS_ADDRESS");
        if (address.isEmpty()) {
            if (!SessionBusAddressKnown())
                return false;
            QDBusConnection session = QDBusConnection::sessionBus();
            if (!session.isConnected())
                return false;
            *started = !session.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus"));
            const QDBusMessage reply = session.call(
                QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                               QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")),
                QDBus::Block, kCallTimeoutMs);
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                return false;
            address = reply.arguments().constFirst().toString();
        }
        QDBusConnection::disconnectFromBus(kConnectionName);
        connection = QDBusConnection::connectToBus(address, kConnectionName);
        return connection.isConnected();
    }

    QDBusMessage Call(const TNode& node, const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(node.service, node.path, interface, method);
        if (stalled)
            return message.createErrorReply(QDBusError::NoReply, QString());
        message.setArguments(arguments);
        message.setAutoStartService(false);
        const QDBusMessage reply = connection.call(message, QDBus::Block, kCallTimeoutMs);
        stalled = reply.type() == QDBusMessage::ErrorMessage &&
                  (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
                   reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.Timeout"));
        return reply;
    }

    // The first value of a reply; invalid on error.
    QVariant First(const QDBusMessage& reply) const
    {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return reply.arguments().constFirst();
    }

    std::vector<TNode> Children(const TNode& node) const
    {
        std::vector<TNode> children;
        const QVariant value = First(Call(node, kAccessible, QStringLiteral("GetChildren")));
        if (!value.canConvert<QDBusArgument>())
            return children;
        const QDBusArgument list = value.value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            QString service;
            QDBusObjectPath path;
            list.beginStructure();
            list >> service >> path;
            list.endStructure();
            children.push_back({service, path.path()});
        }
        list.endArray();
        return children;
    }

    uint Role(const TNode& node) const { return First(Call(node, kAccessible, QStringLiteral("GetRole"))).toUInt(); }

    QString Name(const TNode& node) const
    {
        const QVariant value =
            First(Call({node.service, node.path}, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                       {kAccessible, QStringLiteral("Name")}));
        return value.value<QDBusVariant>().variant().toString();
    }

    // The unique names of the connections on the bus, ours excepted.
    QStringList Connections() const
    {
        const QStringList names =
            First(Call({kBusDaemon, QStringLiteral("/org/freedesktop/DBus")}, kBusDaemon, QStringLiteral("ListNames")))
                .toStringList();
        QStringList unique;
        for (const QString& name : names)
            if (name.startsWith(QLatin1Char(':')) && name != connection.baseService())
                unique.append(name);
        return unique;
    }

    int64_t ProcessOf(const QString& name) const
    {
        return First(Call({kBusDaemon, QStringLiteral("/org/freedesktop/DBus")}, kBusDaemon,
                          QStringLiteral("GetConnectionUnixProcessID"), {name}))
            .toLongLong();
    }

    // The application of a process, or the one with a window of that title.
    std::optional<TNode> Application(int64_t processId, const QString& windowTitle) const
    {
        const QStringList names = Connections();
        if (processId > 0)
            for (const QString& name : names)
                if (ProcessOf(name) == processId)
                    return TNode{name, kApplicationRoot};
        if (!windowTitle.isEmpty())
            for (const QString& name : names)
                for (const TNode& window : Children({name, kApplicationRoot}))
                    if (Name(window) == windowTitle)
                        return TNode{name, kApplicationRoot};
        return std::nullopt;
    }

    // The menu bar of the application: in the window titled `windowTitle`
    // first, else in the first window that has one.
    std::optional<TNode> MenuBar(const TNode& application, const QString& windowTitle) const
    {
        std::vector<TNode> windows = Children(application);
        std::stable_partition(windows.begin(), windows.end(),
                              [&](const TNode& window) { return Name(window) == windowTitle; });
        for (const TNode& window : windows) {
            std::deque<std::pair<TNode, int>> queue{{window, 0}};
            for (int seen = 0; !queue.empty() && seen < kMenuBarSearchNodes; ++seen) {
                const auto [node, depth] = queue.front();
                queue.pop_front();
                if (Role(node) == rMenuBar)
                    return node;
                if (depth < kMenuBarDepth)
                    for (const TNode& child : Children(node))
                        queue.emplace_back(child, depth + 1);
            }
        }
        return std::nullopt;
    }

    std::optional<TNode> Item(const TNode& menu, const QString& step) const
    {
        // Separators count in positions. (Toolkits mark the items of a
        // closed menu as not visible, so every item is taken.)
        const std::vector<TNode> items = Children(menu);
        if (AllDigits(step)) {
            const int position = step.toInt();
            if (position >= 1 && position <= int(items.size()))
                return items[size_t(position - 1)];
            return std::nullopt;
        }
        const QString wanted = CaptionKey(step);
        for (const TNode& item : items)
            if (Role(item) != rSeparator && CaptionKey(Name(item)).compare(wanted, Qt::CaseInsensitive) == 0)
                return item;
        return std::nullopt;
    }

    // The menu an item opens: itself where the toolkit shows the item as a
    // menu (GTK), else its menu child (Qt); none for a plain item.
    std::optional<TNode> SubMenu(const TNode& item) const
    {
        if (Role(item) == rMenu)
            return item;
        for (const TNode& child : Children(item)) {
            const uint role = Role(child);
            if (role == rMenu || role == rPopupMenu)
                return child;
        }
        return std::nullopt;
    }

    // Chooses the item through its action, without waiting for the program:
    // a command that opens a dialog answers only when the dialog closes.
    void Invoke(const TNode& item) const
    {
        const QVariant value = First(Call(item, kAction, QStringLiteral("GetActions")));
        int chosen = 0;
        if (value.canConvert<QDBusArgument>()) {
            const QDBusArgument actions = value.value<QDBusArgument>();
            actions.beginArray();
            for (int index = 0; !actions.atEnd(); ++index) {
                QString name, description, keys;
                actions.beginStructure();
                actions >> name >> description >> keys;
                actions.endStructure();
                if (IsChoosingAction(name)) {
                    chosen = index;
                    break;
                }
            }
        }
        QDBusMessage message = QDBusMessage::createMethodCall(item.service, item.path, kAction, QStringLiteral("DoAction"));
        message << chosen;
        connection.send(message);
    }
};

// ---- choosing ---------------------------------------------------------------------

TAtSpiMenus::TAtSpiMenus() : bus_(std::make_unique<TBus>()) {}

TAtSpiMenus::~TAtSpiMenus()
{
    if (bus_->connection.isConnected())
        QDBusConnection::disconnectFromBus(kConnectionName);
}

QString TAtSpiMenus::CaptionKey(QString caption)
{
    const int tab = caption.indexOf(QLatin1Char('\t'));
    if (tab >= 0)
        caption.truncate(tab);
    caption.remove(QLatin1Char('&'));
    caption.remove(QStringLiteral("..."));
    caption.remove(QChar(0x2026));
    return caption.trimmed();
}

TAtSpiMenus::TOutcome TAtSpiMenus::Choose(int64_t processId, const QString& windowTitle, const QString& path,
                                          const std::function<void()>& raise)
{
    bool started = false;
    bus_->stalled = false;
    if (!bus_->Connect(&started))
        return TOutcome::oNoMenu;
    const auto findMenuBar = [&]() -> std::optional<TNode> {
        const std::optional<TNode> application = bus_->Application(processId, windowTitle);
        return application ? bus_->MenuBar(*application, windowTitle) : std::nullopt;
    };
    std::optional<TNode> menuBar = findMenuBar();
    QElapsedTimer clock;
    clock.start();
    while (!menuBar && started && clock.elapsed() < kJoinWaitMs) {
        QThread::msleep(kJoinPollMs);
        menuBar = findMenuBar();
    }
    if (!menuBar)
        return TOutcome::oNoMenu;

    // Down the path while the items found open menus; steps after a plain
    // item are not looked at.
    TNode menu = *menuBar;
    std::optional<TNode> chosen;
    const QStringList steps = path.split(QLatin1Char(','));
    for (int i = 0; i < steps.size(); ++i) {
        chosen = bus_->Item(menu, steps[i]);
        if (!chosen)
            return i == 0 ? TOutcome::oFirstAbsent : TOutcome::oStepAbsent;
        const std::optional<TNode> subMenu = bus_->SubMenu(*chosen);
        if (!subMenu) {
            if (raise)
                raise();
            bus_->Invoke(*chosen);
            return TOutcome::oChosen;
        }
        menu = *subMenu;
    }
    // The path ends on a menu: the program comes forward, nothing is chosen.
    if (raise)
        raise();
    return TOutcome::oChosen;
}

} // namespace tomeric
