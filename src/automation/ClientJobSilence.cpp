#include "ClientJobSilence.h"

#include "AutomationHost.h"
#include "platform/AutomationError.h"
#include "settings/cRegistry.h"

ClientJobSilence::ClientJobSilence()
{
    AutomationHost* host = Host();
    if (!host || !Enabled())
        return;
    try {
        m_before = host->SilentMode();
        if (!m_before)
            host->SetSilentMode(true);
        m_put = !m_before;
    } catch (const AutomationError& error) {
        host->WriteLogInfo(QStringLiteral("The engine cannot run the client's job silent: ") + error.Description());
    }
}

ClientJobSilence::~ClientJobSilence()
{
    AutomationHost* host = Host();
    if (!m_put || !host)
        return;
    try {
        host->SetSilentMode(m_before);
    } catch (const AutomationError& error) {
        host->WriteLogInfo(QStringLiteral("The engine's silent mode could not be put back after the client's job: ")
                           + error.Description());
    }
}

bool ClientJobSilence::Enabled()
{
    cRegistry reg;
    return reg.ValueEx(cRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Corvane\\Tarvo"),
                       QStringLiteral("SilentClientJobs"), cRegistry::REG_DWORD, 1)
               .toInt()
        != 0;
}
