#pragma once

// The process-wide state behind the CJobControl automation class: whether a
// client holds one, and its NotifyJobComplete event.

#include <QObject>
#include <functional>

class CJobControlImpl : public QObject
{
    Q_OBJECT
public:
    static CJobControlImpl& Instance();

    void Attach();
    void Release();
    bool JobCntrlInstantiated() const { return m_clients > 0; }

    // Raised only while a client holds a CJobControl object.
    void RaiseNotifyJobComplete(qint32 result);

    // The main window's settings-refresh timer, armed for one tick after a
    // job parameter was set: the tick brings the operation tabs up to date
    // once and disarms the timer. The window installs what the tick reaches.
    struct SettingsRefresh
    {
        std::function<bool()> armed;
        std::function<void()> refresh;
        std::function<void()> disarm;
    };
    void SetSettingsRefresh(SettingsRefresh hooks) { m_settingsRefresh = std::move(hooks); }
    void OnSettingsRefreshTimer();

signals:
    void NotifyJobComplete(qint32 result);

private:
    CJobControlImpl() = default;
    qint32 m_clients = 0;
    SettingsRefresh m_settingsRefresh;
};
