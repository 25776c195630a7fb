#pragma once

// Runs automation calls later on the GUI thread. A public member that starts
// work posts an event whose type is the call's number (1024 + its place in
// the name list given to Init) and returns at once; when the event loop
// delivers it, the target runs the call by name. Each posted event carries
// its own parameters, so a call can never read another's; RemoveAllParams
// voids every call posted before it, and such a call runs nothing when it is
// delivered.

#include <QObject>
#include <QPair>
#include <QStringList>
#include <QVariant>
#include <functional>

class CQxProgrammerMsgServer : public QObject
{
    Q_OBJECT
public:
    // A call's arguments, each under its parameter name, in order.
    using ParamList = QList<QPair<QString, QVariant>>;
    static QVariant Param(const ParamList& params, const QString& key);

    static constexpr int kDeferredCallBase = 1024;

    explicit CQxProgrammerMsgServer(QObject* parent = nullptr);

    void Init(const QStringList& calls, std::function<void(const QString&)> target);
    bool IsInitialized() const { return m_bInitialized; }
    // After Desist delivered calls run nothing.
    void Desist();

    void EnqueueMethodCall(const QString& sMethod);
    void EnqueueMethodWithParams(const QString& sMethod, const ParamList& params);
    static QString StringizeParams(const ParamList& params);

    // The parameters of the call of that name now running (the innermost
    // one when calls nest); empty when none runs.
    ParamList GetParams(const QString& sMethod) const;
    // Voids every call posted and not yet delivered.
    void RemoveAllParams();

    // Names of the calls posted and not yet delivered nor voided, in order.
    QStringList PendingCalls() const;

    // Where "Dropped" lines of voided calls go.
    void SetLog(std::function<void(const QString&)> log) { m_log = std::move(log); }

    int GetMessageNumber(const QString& sMethod) const;

protected:
    bool event(QEvent* e) override;

private:
    struct Pending
    {
        quint64 id;
        QString name;
    };
    QStringList m_oMessageMap; // index i is message 1024 + i
    bool m_bInitialized = false;
    bool m_desisted = false;
    std::function<void(const QString&)> m_oTarget;
    std::function<void(const QString&)> m_log;
    quint64 m_nextId = 1;
    QList<Pending> m_pending;
    QList<QPair<QString, ParamList>> m_running; // a stack: calls nest while a job pumps events
};
