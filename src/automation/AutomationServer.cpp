#include "AutomationServer.h"

#include "CJobControl.h"
#include "CJobMonitor.h"
#include "CQxProgrammer.h"
#include "cjobcontroladaptor.h"
#include "cjobmonitoradaptor.h"
#include "cqxprogrammeradaptor.h"
#include "serveradaptor.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QTimer>

QDBusArgument& operator<<(QDBusArgument& argument, const TarvoInstance& instance)
{
    argument.beginStructure();
    argument << instance.path << instance.className << instance.owner;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, TarvoInstance& instance)
{
    argument.beginStructure();
    argument >> instance.path >> instance.className >> instance.owner;
    argument.endStructure();
    return argument;
}

namespace {
struct ClassRow
{
    const char* name;
    const char* id;
    std::function<QObject*()> create;
};

// The creatable classes with their fixed class identifiers; each factory
// puts the class's generated adaptor on the new object.
const QList<ClassRow>& Classes()
{
    static const QList<ClassRow> rows{
        {"CQxProgrammer", "cb2dc8fd-43c7-4fb6-a05e-327251906460",
         [] {
             auto* object = new CQxProgrammer;
             new CQxProgrammerAdaptor(object);
             return static_cast<QObject*>(object);
         }},
        {"CJobControl", "5e509ae0-7c44-4dfb-b85c-cc2133f3d15a",
         [] {
             auto* object = new CJobControl;
             new CJobControlAdaptor(object);
             return static_cast<QObject*>(object);
         }},
        {"CJobMonitor", "0a85cd13-b372-4dfa-8a23-0ec52816d341",
         [] {
             auto* object = new CJobMonitor;
             new CJobMonitorAdaptor(object);
             return static_cast<QObject*>(object);
         }},
    };
    return rows;
}

bool Started(QObject* object)
{
    if (auto* p = qobject_cast<CQxProgrammer*>(object))
        return p->Started();
    if (auto* c = qobject_cast<CJobControl*>(object))
        return c->Started();
    if (auto* m = qobject_cast<CJobMonitor*>(object))
        return m->Started();
    return false;
}

const QString kStartupFailedText = QStringLiteral("The station could not start; see its black-box log.");
} // namespace

AutomationServer::AutomationServer(const QDBusConnection& connection, QObject* parent)
    : QObject(parent), m_connection(connection), m_watcher(QString(), connection, QDBusServiceWatcher::WatchForUnregistration)
{
    qDBusRegisterMetaType<TarvoInstance>();
    qDBusRegisterMetaType<TarvoInstanceList>();
    new ServerAdaptor(this);
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &AutomationServer::OnOwnerGone);
}

AutomationServer::~AutomationServer()
{
    ReleaseAll();
    m_connection.unregisterObject(QString::fromLatin1(kObjectPath));
    if (m_connection.isConnected() && m_connection.interface())
        m_connection.interface()->unregisterService(QString::fromLatin1(kServiceName));
}

bool AutomationServer::Publish(bool queued, QString* reason)
{
    if (!m_connection.isConnected()) {
        if (reason)
            *reason = QStringLiteral("no session bus: ") + m_connection.lastError().message();
        return false;
    }
    if (!m_connection.registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportAdaptors)) {
        if (reason)
            *reason = QStringLiteral("the object path is taken");
        return false;
    }
    if (!queued)
        m_startState = m_startUp ? StartState::Pending : StartState::NotNeeded;
    const auto reply = m_connection.interface()->registerService(
        QString::fromLatin1(kServiceName),
        queued ? QDBusConnectionInterface::QueueService : QDBusConnectionInterface::DontQueueService,
        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        if (reason)
            *reason = reply.error().message();
        return false;
    }
    if (reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return true;
    if (reason)
        *reason = QStringLiteral("the name %1 is held by another process").arg(QString::fromLatin1(kServiceName));
    // A queued request gets the name when its holder ends.
    return false;
}

QString AutomationServer::ClassNameFor(const QString& nameOrId)
{
    for (const ClassRow& row : Classes()) {
        if (nameOrId == QLatin1String(row.name)
            || QString::compare(nameOrId, QLatin1String(row.id), Qt::CaseInsensitive) == 0
            || QString::compare(nameOrId, QLatin1Char('{') + QLatin1String(row.id) + QLatin1Char('}'),
                                Qt::CaseInsensitive)
                   == 0)
            return QString::fromLatin1(row.name);
    }
    return {};
}

QDBusObjectPath AutomationServer::Create(const QString& className, bool keep)
{
    m_createSeen = true;
    const QString name = ClassNameFor(className);
    if (name.isEmpty()) {
        sendErrorReply(QStringLiteral("com.corvane.Tarvo.Error.UnknownClass"),
                       QStringLiteral("No automation class is named ") + className + QLatin1Char('.'));
        return {};
    }
    if (m_startState == StartState::Failed) {
        sendErrorReply(QStringLiteral("com.corvane.Tarvo.Error.StartupFailed"), kStartupFailedText);
        return {};
    }
    if (m_startState == StartState::Pending || m_startState == StartState::Running) {
        // The start-up takes a while: answer when it is done.
        setDelayedReply(true);
        m_waiting.append({message(), name, keep});
        if (m_startState == StartState::Pending) {
            m_startState = StartState::Running;
            QTimer::singleShot(0, this, &AutomationServer::RunStartUp);
        }
        return {};
    }
    QString path;
    if (const auto error = CreateInstance(name, keep, message().service(), &path)) {
        sendErrorReply(error->name, error->message);
        return {};
    }
    return QDBusObjectPath(path);
}

void AutomationServer::RunStartUp()
{
    const bool ok = m_startUp();
    m_startState = ok ? StartState::Done : StartState::Failed;
    const QList<Waiting> waiting = std::exchange(m_waiting, {});
    for (const Waiting& w : waiting) {
        QString path;
        std::optional<automationerrors::BusError> error;
        if (!ok)
            error = automationerrors::Named(QStringLiteral("StartupFailed"), kStartupFailedText);
        else
            error = CreateInstance(w.className, w.keep, w.message.service(), &path);
        m_connection.send(error ? w.message.createErrorReply(error->name, error->message)
                                : w.message.createReply(QVariant::fromValue(QDBusObjectPath(path))));
    }
    if (!ok) {
        // The replies go out before the process ends.
        QTimer::singleShot(200, this, &AutomationServer::startUpFailed);
    }
}

std::optional<automationerrors::BusError> AutomationServer::CreateInstance(const QString& className, bool keep,
                                                                           const QString& owner, QString* path)
{
    const ClassRow* row = nullptr;
    for (const ClassRow& r : Classes()) {
        if (className == QLatin1String(r.name))
            row = &r;
    }
    QObject* object = row->create();
    if (!Started(object)) {
        delete object;
        return automationerrors::Named(QStringLiteral("StartupFailed"), kStartupFailedText);
    }
    *path = QStringLiteral("%1/%2/%3").arg(QString::fromLatin1(kObjectPath), className).arg(m_next++);
    if (!m_connection.registerObject(*path, object, QDBusConnection::ExportAdaptors)) {
        delete object;
        return automationerrors::Named(QStringLiteral("Automation"), QStringLiteral("The instance could not be published."));
    }
    m_instances.append({*path, className, owner, keep, object});
    if (!keep && !owner.isEmpty())
        m_watcher.addWatchedService(owner);
    return std::nullopt;
}

void AutomationServer::Release(const QDBusObjectPath& instance)
{
    const QString caller = calledFromDBus() ? message().service() : QString();
    for (qsizetype i = 0; i < m_instances.size(); ++i) {
        const Instance& entry = m_instances.at(i);
        if (entry.path != instance.path())
            continue;
        // A kept instance is anyone's to release; another's is not.
        if (!entry.keep && calledFromDBus() && entry.owner != caller) {
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("The instance belongs to another client."));
            return;
        }
        Drop(i);
        return;
    }
    if (calledFromDBus())
        sendErrorReply(QDBusError::UnknownObject, QStringLiteral("No instance at ") + instance.path());
}

TarvoInstanceList AutomationServer::Instances() const
{
    TarvoInstanceList list;
    for (const Instance& entry : m_instances)
        list.append({QDBusObjectPath(entry.path), entry.className, entry.owner});
    return list;
}

void AutomationServer::Drop(qsizetype index)
{
    const Instance entry = m_instances.takeAt(index);
    m_connection.unregisterObject(entry.path);
    delete entry.object;
    const bool ownerStillHolds = std::any_of(m_instances.cbegin(), m_instances.cend(), [&](const Instance& other) {
        return other.owner == entry.owner && !other.keep;
    });
    if (!ownerStillHolds)
        m_watcher.removeWatchedService(entry.owner);
}

void AutomationServer::OnOwnerGone(const QString& service)
{
    for (qsizetype i = m_instances.size() - 1; i >= 0; --i) {
        if (m_instances.at(i).owner == service && !m_instances.at(i).keep)
            Drop(i);
    }
}

void AutomationServer::ReleaseAll()
{
    while (!m_instances.isEmpty())
        Drop(m_instances.size() - 1);
}
