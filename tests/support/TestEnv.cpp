#include "TestEnv.h"

#include "platform/Registry.h"
#include "platform/StationShutdown.h"
#include "platform/UiService.h"
#include "settings/cRegistry.h"

#include <QDir>
#include <QProcess>

namespace {
QByteArray Swap(const char* name, const QByteArray& value)
{
    const QByteArray old = qgetenv(name);
    qputenv(name, value);
    return old;
}
void Restore(const char* name, const QByteArray& value)
{
    if (value.isEmpty())
        qunsetenv(name);
    else
        qputenv(name, value);
}
} // namespace

void TarvoTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    const QString root = m_dir.path();
    for (const char* sub : {"registry", "config", "runtime", "home", "data"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_registryRoot = root + "/registry";
    m_savedRegistryDir = Swap("TARVO_REGISTRY_DIR", m_registryRoot.toUtf8());
    m_savedConfig = Swap("XDG_CONFIG_HOME", (root + "/config").toUtf8());
    m_savedRuntime = Swap("XDG_RUNTIME_DIR", (root + "/runtime").toUtf8());
    m_savedHome = Swap("HOME", (root + "/home").toUtf8());
    m_savedData = Swap("XDG_DATA_HOME", (root + "/data").toUtf8());
    // Tests run unattended: the simulated engine reports its errors silently
    // unless a test turns ShowErrorMessages on.
    QDir(root).mkpath(QStringLiteral("data/Corvane/QXEngine"));
    QFile engineIni(root + "/data/Corvane/QXEngine/engine.ini");
    if (engineIni.open(QIODevice::WriteOnly))
        engineIni.write("[Engine]\nShowErrorMessages=false\n");
    engineIni.close();
    // Never the user's bus: a test that needs one starts its own.
    m_savedBus = Swap("DBUS_SESSION_BUS_ADDRESS", NoBusAddress().toUtf8());

    auto scripted = std::make_unique<ScriptedUiService>(QStringList{}, ScriptedUiService::WhenExhausted::Fail);
    scripted->SetFailureHandler([](const QString& what) { ADD_FAILURE() << "Unexpected box: " << what.toStdString(); });
    m_ui = scripted.get();
    SetUi(std::move(scripted));
    // A station an earlier test closed does not leave this one closing.
    shutdown::Reset();
    // Reports of damaged hives kept from an earlier test belong to it.
    reg::SetCorruptHiveReporter(nullptr);
}

void TarvoTest::TearDown()
{
    if (m_ui && m_ui->Remaining() > 0)
        ADD_FAILURE() << m_ui->Remaining() << " scripted answers were not used";
    SetUi(nullptr);
    m_ui = nullptr;
    Restore("TARVO_REGISTRY_DIR", m_savedRegistryDir);
    Restore("XDG_CONFIG_HOME", m_savedConfig);
    Restore("XDG_RUNTIME_DIR", m_savedRuntime);
    Restore("HOME", m_savedHome);
    Restore("XDG_DATA_HOME", m_savedData);
    Restore("DBUS_SESSION_BUS_ADDRESS", m_savedBus);
}

QString TarvoTest::NoBusAddress() const
{
    return QStringLiteral("unix:path=") + m_dir.path() + QStringLiteral("/runtime/no-bus");
}

QString TarvoTest::tempPath(const QString& name) const
{
    const QString path = m_dir.path() + "/t/" + name;
    QDir().mkpath(name.isEmpty() ? path : QFileInfo(path).path());
    return path;
}

QProcessEnvironment TarvoTest::childEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TARVO_REGISTRY_DIR", m_registryRoot);
    env.insert("XDG_CONFIG_HOME", m_dir.path() + "/config");
    env.insert("XDG_RUNTIME_DIR", m_dir.path() + "/runtime");
    env.insert("XDG_DATA_HOME", m_dir.path() + "/data");
    env.insert("HOME", m_dir.path() + "/home");
    env.insert("DBUS_SESSION_BUS_ADDRESS", NoBusAddress());
    env.remove("TARVO_UI_SCRIPT");
    env.remove("TARVO_UI_LOG");
    return env;
}

QString BinDir()
{
    return QStringLiteral(TARVO_BIN_DIR);
}
QString SourceDir()
{
    return QStringLiteral(TARVO_SOURCE_DIR);
}

ProcessResult RunProgram(const QString& program, const QStringList& args, const QProcessEnvironment& env, int timeoutMs)
{
    ProcessResult result;
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return result;
    if (!p.waitForFinished(timeoutMs)) {
        result.timedOut = true;
        p.kill();
        p.waitForFinished(5000);
    }
    result.crashed = p.exitStatus() == QProcess::CrashExit;
    result.exitCode = result.crashed || result.timedOut ? -1 : p.exitCode();
    result.out = QString::fromUtf8(p.readAllStandardOutput());
    result.err = QString::fromUtf8(p.readAllStandardError());
    return result;
}

namespace {

// A machine-wide switch of the station's, as its installer writes it.
void SetStationSwitch(const QString& name, bool on)
{
    cRegistry reg;
    reg.ValueEx(cRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Corvane\\Tarvo"), name, cRegistry::REG_DWORD,
                0, on ? 1 : 0);
}

} // namespace

void SetComTransactionLog(bool on)
{
    SetStationSwitch(QStringLiteral("LogComTransactions"), on);
}

void SetSilentClientJobs(bool on)
{
    SetStationSwitch(QStringLiteral("SilentClientJobs"), on);
}
