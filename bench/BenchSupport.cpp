#include "BenchSupport.h"

#include "engine/QXPgmrControl.h"
#include "platform/AppInfo.h"
#include "platform/Companion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <cstdio>
#include <cstdlib>

BenchStation::BenchStation()
{
    if (!m_root.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder: %s\n", qPrintable(m_root.errorString()));
        std::exit(1);
    }
    qputenv("TARVO_REGISTRY_DIR", m_root.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_root.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", m_root.filePath("data").toUtf8());
    // Measures run unattended: the simulated engine reports its errors
    // silently.
    QDir().mkpath(m_root.filePath("data/Corvane/QXEngine"));
    QFile engineIni(m_root.filePath("data/Corvane/QXEngine/engine.ini"));
    if (engineIni.open(QIODevice::WriteOnly))
        engineIni.write("[Engine]\nShowErrorMessages=false\n");
    engineIni.close();
    // Never the user's bus: a measure that needs one starts its own.
    qputenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + m_root.filePath("no-bus")).toUtf8());
    qunsetenv("TARVO_ENGINE_DB");
    qunsetenv("TARVO_ENGINE_FAULTS");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The measures run as bench_<name>; the registry keys follow the edition.
    appinfo::SetApplicationTitleForTests(QStringLiteral("Tarvo"));
}

bool RegisterPlugin(const QString& file)
{
    QLibrary plugin(QCoreApplication::applicationDirPath() + QLatin1Char('/') + file);
    auto registerServer = reinterpret_cast<long (*)()>(plugin.resolve("DllRegisterServer"));
    if (!registerServer) {
        std::fprintf(stderr, "cannot register %s: %s\n", qPrintable(file), qPrintable(plugin.errorString()));
        return false;
    }
    if (const long result = registerServer(); result != companion::S_OK) {
        std::fprintf(stderr, "cannot register %s: DllRegisterServer answered %ld\n", qPrintable(file), result);
        return false;
    }
    return true;
}

bool AttachStandInEngine(QXPgmrControl& engine)
{
    if (!RegisterPlugin(QStringLiteral("QXPgmr.ocx")))
        return false;
    engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
    return true;
}

bool LoadShippedDatabase(QXPgmrControl& engine)
{
    engine.StartupValue108(QCoreApplication::applicationDirPath());
    if (engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")) == 0)
        return true;
    std::fprintf(stderr, "the shipped database did not load\n");
    return false;
}
