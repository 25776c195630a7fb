#include "CQxProgrammerMsgServer.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
class DeferredCallEvent : public QEvent
{
public:
    DeferredCallEvent(int number, quint64 id, QString name, CQxProgrammerMsgServer::ParamList params)
        : QEvent(QEvent::Type(number)), id(id), name(std::move(name)), params(std::move(params))
    {
    }
    quint64 id;
    QString name;
    CQxProgrammerMsgServer::ParamList params;
};
} // namespace

QVariant CQxProgrammerMsgServer::Param(const ParamList& params, const QString& key)
{
    for (const auto& [name, value] : params) {
        if (name == key)
            return value;
    }
    return {};
}

CQxProgrammerMsgServer::CQxProgrammerMsgServer(QObject* parent) : QObject(parent) {}

void CQxProgrammerMsgServer::Init(const QStringList& calls, std::function<void(const QString&)> target)
{
    m_oMessageMap = calls;
    m_oTarget = std::move(target);
    m_bInitialized = true;
}

void CQxProgrammerMsgServer::Desist()
{
    m_desisted = true;
    m_pending.clear();
}

int CQxProgrammerMsgServer::GetMessageNumber(const QString& sMethod) const
{
    const qsizetype i = m_oMessageMap.indexOf(sMethod);
    return i < 0 ? 0 : kDeferredCallBase + int(i);
}

void CQxProgrammerMsgServer::EnqueueMethodCall(const QString& sMethod)
{
    EnqueueMethodWithParams(sMethod, {});
}

void CQxProgrammerMsgServer::EnqueueMethodWithParams(const QString& sMethod, const ParamList& params)
{
    const quint64 id = m_nextId++;
    m_pending.append({id, sMethod});
    const int number = GetMessageNumber(sMethod);
    // A name the server does not know runs nothing; it stays pending until
    // the next RemoveAllParams, like any call that was never delivered.
    if (number != 0)
        QCoreApplication::postEvent(this, new DeferredCallEvent(number, id, sMethod, params));
}

QString CQxProgrammerMsgServer::StringizeParams(const ParamList& params)
{
    QStringList texts;
    for (const auto& param : params)
        texts << param.second.toString();
    return texts.join(QLatin1Char(','));
}

CQxProgrammerMsgServer::ParamList CQxProgrammerMsgServer::GetParams(const QString& sMethod) const
{
    for (auto it = m_running.crbegin(); it != m_running.crend(); ++it) {
        if (it->first == sMethod)
            return it->second;
    }
    return {};
}

void CQxProgrammerMsgServer::RemoveAllParams()
{
    m_pending.clear();
}

QStringList CQxProgrammerMsgServer::PendingCalls() const
{
    QStringList names;
    for (const Pending& p : m_pending)
        names << p.name;
    return names;
}

bool CQxProgrammerMsgServer::event(QEvent* e)
{
    const int type = int(e->type());
    if (type < kDeferredCallBase || type >= kDeferredCallBase + m_oMessageMap.size())
        return QObject::event(e);
    auto* call = static_cast<DeferredCallEvent*>(e);
    const auto pending = std::find_if(m_pending.begin(), m_pending.end(),
                                      [&](const Pending& p) { return p.id == call->id; });
    if (pending == m_pending.end()) {
        // Voided by the end of its job (or the server's end): it must not
        // act on the next job.
        if (m_log && !m_desisted)
            m_log(QStringLiteral("Dropped ") + call->name);
        return true;
    }
    m_pending.erase(pending);
    if (m_desisted || !m_oTarget)
        return true;
    m_running.append({call->name, call->params});
    m_oTarget(m_oMessageMap.at(type - kDeferredCallBase));
    m_running.removeLast();
    return true;
}
