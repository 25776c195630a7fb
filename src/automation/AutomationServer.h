#pragma once

// The station's automation server on the session bus: name com.corvane.Tarvo,
// object /com/corvane/Tarvo. Clients create instances of the automation
// classes here (each at /com/corvane/Tarvo/<Class>/<n>, carrying only its
// class's interface) and release them; an instance whose creator leaves the
// bus is released too, unless it was created to be kept.

#include "AutomationErrors.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <functional>

struct TarvoInstance
{
    QDBusObjectPath path;
    QString className;
    QString owner;
};
using TarvoInstanceList = QList<TarvoInstance>;
Q_DECLARE_METATYPE(TarvoInstance)
Q_DECLARE_METATYPE(TarvoInstanceList)
QDBusArgument& operator<<(QDBusArgument& argument, const TarvoInstance& instance);
const QDBusArgument& operator>>(const QDBusArgument& argument, TarvoInstance& instance);

class AutomationServer : public QObject, protected QDBusContext
{
    Q_OBJECT
public:
    static constexpr const char* kServiceName = "com.corvane.Tarvo";
    static constexpr const char* kObjectPath = "/com/corvane/Tarvo";

    explicit AutomationServer(const QDBusConnection& connection, QObject* parent = nullptr);
    ~AutomationServer() override;

    // Registers the server object and asks for the name: at once and only
    // free (queued=False, a start by activation), or queued behind a holder.
    // False, with the reason, when the name cannot be had.
    bool Publish(bool queued, QString* reason);

    // A start by activation: the first Create runs the start-up (its reply
    // waits for it, as do the replies of Creates that come meanwhile).
    void SetStartUp(std::function<bool()> startUp) { m_startUp = std::move(startUp); }
    bool CreateSeen() const { return m_createSeen; }

    // Releases every instance (the station ends).
    void ReleaseAll();

    // Resolves a class name or identifier to the class name; empty when none.
    static QString ClassNameFor(const QString& nameOrId);

    QDBusObjectPath Create(const QString& className, bool keep);
    void Release(const QDBusObjectPath& instance);
    TarvoInstanceList Instances() const;

signals:
    // The start-up a Create asked for failed; the process is to end.
    void startUpFailed();

private:
    struct Instance
    {
        QString path;
        QString className;
        QString owner;
        bool keep = false;
        QObject* object = nullptr;
    };
    // Creates one instance; on failure the error to answer.
    std::optional<automationerrors::BusError> CreateInstance(const QString& className, bool keep,
                                                             const QString& owner, QString* path);
    void Drop(qsizetype index);
    void OnOwnerGone(const QString& service);
    void RunStartUp();

    QDBusConnection m_connection;
    QDBusServiceWatcher m_watcher;
    QList<Instance> m_instances;
    quint64 m_next = 1;
    std::function<bool()> m_startUp;
    enum class StartState { NotNeeded, Pending, Running, Done, Failed } m_startState = StartState::NotNeeded;
    struct Waiting
    {
        QDBusMessage message;
        QString className;
        bool keep;
    };
    QList<Waiting> m_waiting;
    bool m_createSeen = false;
};
