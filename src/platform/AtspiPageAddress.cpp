#include "AtspiPageAddress.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QList>
#include <QMap>
#include <QVariant>

#include <atspi/atspi-constants.h>

#include <deque>
#include <optional>

namespace atspi {
namespace {

const QString kBusName = QStringLiteral("org.a11y.Bus");
const QString kBusPath = QStringLiteral("/org/a11y/bus");
const QString kStatus = QStringLiteral("org.a11y.Status");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kAccessible = QStringLiteral(ATSPI_DBUS_INTERFACE_ACCESSIBLE);
const QString kDocument = QStringLiteral(ATSPI_DBUS_INTERFACE_DOCUMENT);
const QString kText = QStringLiteral(ATSPI_DBUS_INTERFACE_TEXT);

// A whole browser window has a few thousand objects at most above its pages; this bounds a
// look-up in a misbehaving application.
constexpr int kMaxVisited = 5000;

struct Ref {
    QString service;
    QString path;
};

int remainingMs(const QDeadlineTimer& deadline) {
    const qint64 left = deadline.remainingTime();
    if (left < 0)
        return 60000; // a deadline of "forever"
    return int(qMax<qint64>(left, 1));
}

std::optional<QList<QVariant>> call(QDBusConnection& bus, const QString& service, const QString& path,
                                    const QString& interface, const QString& method, const QVariantList& args,
                                    const QDeadlineTimer& deadline) {
    if (deadline.hasExpired() || !bus.isConnected())
        return std::nullopt;
    QDBusMessage msg = QDBusMessage::createMethodCall(service, path, interface, method);
    msg.setArguments(args);
    const QDBusMessage reply = bus.call(msg, QDBus::Block, remainingMs(deadline));
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply.arguments();
}

std::optional<QVariant> property(QDBusConnection& bus, const QString& service, const QString& path,
                                 const QString& interface, const QString& name, const QDeadlineTimer& deadline) {
    const auto reply = call(bus, service, path, kProperties, QStringLiteral("Get"), {interface, name}, deadline);
    if (!reply || reply->isEmpty())
        return std::nullopt;
    return reply->first().value<QDBusVariant>().variant();
}

// The session bus named by the environment now (tests and nested sessions change it), else the
// one Qt finds by itself.
QDBusConnection sessionBus() {
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty())
        return QDBusConnection::sessionBus();
    const QString name = QStringLiteral("pinlet-session ") + address;
    QDBusConnection bus = QDBusConnection::connectToBus(address, name);
    if (!bus.isConnected())
        QDBusConnection::disconnectFromBus(name); // so that a later look-up tries again
    return bus;
}

std::optional<QDBusConnection> accessibilityBus(const QDeadlineTimer& deadline) {
    QString address = qEnvironmentVariable("AT_SPI_BUS_ADDRESS");
    if (address.isEmpty()) {
        QDBusConnection session = sessionBus();
        const auto reply = call(session, kBusName, kBusPath, kBusName, QStringLiteral("GetAddress"), {}, deadline);
        if (!reply || reply->isEmpty())
            return std::nullopt;
        address = reply->first().toString();
    }
    if (address.isEmpty())
        return std::nullopt;
    const QString name = QStringLiteral("pinlet-a11y ") + address;
    QDBusConnection bus = QDBusConnection::connectToBus(address, name);
    if (!bus.isConnected()) {
        QDBusConnection::disconnectFromBus(name);
        return std::nullopt;
    }
    return bus;
}

QList<Ref> children(QDBusConnection& bus, const Ref& of, const QDeadlineTimer& deadline) {
    QList<Ref> result;
    const auto reply = call(bus, of.service, of.path, kAccessible, QStringLiteral("GetChildren"), {}, deadline);
    if (!reply || reply->isEmpty())
        return result;
    const QDBusArgument arg = reply->first().value<QDBusArgument>();
    arg.beginArray();
    while (!arg.atEnd()) {
        Ref ref;
        QDBusObjectPath path;
        arg.beginStructure();
        arg >> ref.service >> path;
        arg.endStructure();
        ref.path = path.path();
        if (ref.path != QLatin1String(ATSPI_DBUS_PATH_NULL))
            result.append(ref);
    }
    arg.endArray();
    return result;
}

std::optional<uint> role(QDBusConnection& bus, const Ref& of, const QDeadlineTimer& deadline) {
    const auto reply = call(bus, of.service, of.path, kAccessible, QStringLiteral("GetRole"), {}, deadline);
    if (!reply || reply->isEmpty())
        return std::nullopt;
    return reply->first().toUInt();
}

bool hasState(QDBusConnection& bus, const Ref& of, AtspiStateType state, const QDeadlineTimer& deadline) {
    const auto reply = call(bus, of.service, of.path, kAccessible, QStringLiteral("GetState"), {}, deadline);
    if (!reply || reply->isEmpty())
        return false;
    const QList<uint> words = qdbus_cast<QList<uint>>(reply->first());
    const int word = int(state) / 32;
    return word < words.size() && (words[word] >> (int(state) % 32)) & 1u;
}

QString name(QDBusConnection& bus, const Ref& of, const QDeadlineTimer& deadline) {
    const auto value = property(bus, of.service, of.path, kAccessible, QStringLiteral("Name"), deadline);
    return value ? value->toString() : QString();
}

// Firefox names the address "DocURL", Chromium "URI".
QString documentAddress(QDBusConnection& bus, const Ref& doc, const QDeadlineTimer& deadline) {
    const auto reply = call(bus, doc.service, doc.path, kDocument, QStringLiteral("GetAttributes"), {}, deadline);
    if (!reply || reply->isEmpty())
        return {};
    const auto attributes = qdbus_cast<QMap<QString, QString>>(reply->first());
    for (const char* key : {"DocURL", "URI"}) {
        const QString value = attributes.value(QLatin1String(key)).trimmed();
        if (!value.isEmpty())
            return value;
    }
    return {};
}

QString entryText(QDBusConnection& bus, const Ref& entry, const QDeadlineTimer& deadline) {
    const auto reply = call(bus, entry.service, entry.path, kText, QStringLiteral("GetText"), {0, -1}, deadline);
    return reply && !reply->isEmpty() ? reply->first().toString().trimmed() : QString();
}

// The names that the browsers give their address-bar entry (English desktops only; the page's
// own address is preferred anyway).
bool isAddressBarName(const QString& n) {
    return n == QLatin1String("Address and search bar") || n == QLatin1String("Search or enter address");
}

// Walks the window breadth first, without entering pages (they can be huge), to the document of
// the visible tab.
QString addressInWindow(QDBusConnection& bus, const Ref& window, int& visited, const QDeadlineTimer& deadline) {
    std::deque<Ref> queue{window};
    QString barText;
    while (!queue.empty() && visited < kMaxVisited && !deadline.hasExpired()) {
        const Ref node = queue.front();
        queue.pop_front();
        ++visited;
        const auto r = role(bus, node, deadline);
        if (!r)
            continue;
        if (*r == ATSPI_ROLE_DOCUMENT_WEB) {
            if (hasState(bus, node, ATSPI_STATE_SHOWING, deadline)) {
                const QString address = documentAddress(bus, node, deadline);
                if (!address.isEmpty())
                    return address;
            }
            continue;
        }
        if (*r == ATSPI_ROLE_ENTRY && barText.isEmpty() && isAddressBarName(name(bus, node, deadline)))
            barText = entryText(bus, node, deadline);
        for (const Ref& child : children(bus, node, deadline))
            queue.push_back(child);
    }
    return barText;
}

std::optional<uint> processOf(QDBusConnection& bus, const QString& service, const QDeadlineTimer& deadline) {
    const auto reply =
        call(bus, QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
             QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"), {service}, deadline);
    if (!reply || reply->isEmpty())
        return std::nullopt;
    return reply->first().toUInt();
}

} // namespace

void EnableAccessibility(QDeadlineTimer deadline) {
    QDBusConnection session = sessionBus();
    const auto enabled = property(session, kBusName, kBusPath, kStatus, QStringLiteral("IsEnabled"), deadline);
    if (!enabled || enabled->toBool())
        return;
    call(session, kBusName, kBusPath, kProperties, QStringLiteral("Set"),
         {kStatus, QStringLiteral("IsEnabled"), QVariant::fromValue(QDBusVariant(true))}, deadline);
}

QString PageAddress(qint64 pid, const QString& windowTitle, QDeadlineTimer deadline) {
    auto bus = accessibilityBus(deadline);
    if (!bus)
        return {};
    const Ref desktop{QStringLiteral(ATSPI_DBUS_NAME_REGISTRY), QStringLiteral(ATSPI_DBUS_PATH_ROOT)};
    const QList<Ref> apps = children(*bus, desktop, deadline);

    // The window's own process first; then, for browsers whose process the window does not
    // name (sandboxed packages run in a process namespace of their own), any application.
    QList<std::pair<Ref, bool>> ordered; // application, and whether it is the window's process
    for (const Ref& app : apps) {
        if (pid > 0 && processOf(*bus, app.service, deadline) == uint(pid))
            ordered.prepend({app, true});
        else if (!windowTitle.isEmpty())
            ordered.append({app, false});
    }

    int visited = 0;
    for (const auto& [app, ownProcess] : ordered) {
        // The window of that title only, so that another window's page is never taken for it;
        // any of the process's windows when none has the title (it changed since it was read).
        QList<Ref> titled, others;
        for (const Ref& window : children(*bus, app, deadline)) {
            if (deadline.hasExpired())
                return {};
            if (!windowTitle.isEmpty() && name(*bus, window, deadline) == windowTitle)
                titled.append(window);
            else if (ownProcess)
                others.append(window);
        }
        for (const Ref& window : titled.isEmpty() ? others : titled) {
            const QString address = addressInWindow(*bus, window, visited, deadline);
            if (!address.isEmpty())
                return address;
        }
    }
    return {};
}

} // namespace atspi
