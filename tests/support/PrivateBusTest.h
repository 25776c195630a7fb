#pragma once

// A private session bus of the test's own: its services folder holds the
// build's activation file, so the first call for the station's name starts
// the station, with the environment the daemon was given.

#include "TestEnv.h"

#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <signal.h>

class PrivateBusTest : public TarvoTest
{
protected:
    static inline const QString kName = QStringLiteral("com.corvane.Tarvo");
    // The start of a python3 job client: the server, a monitor and a job
    // control (`jc`) of its own, and a GLib loop for their signals.
    static inline const QString kJobClientPrelude = QStringLiteral(R"(
import sys, dbus, dbus.mainloop.glib
from gi.repository import GLib
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
loop = GLib.MainLoop()
bus = dbus.SessionBus()
server = dbus.Interface(bus.get_object('com.corvane.Tarvo', '/com/corvane/Tarvo'), 'com.corvane.Tarvo.Server')
monitor = server.Create('CJobMonitor', False)
control = server.Create('CJobControl', False)
jc = dbus.Interface(bus.get_object('com.corvane.Tarvo', control), 'com.corvane.Tarvo.CJobControl')
)");
    // A job client's signal handlers: on(name) prints each signal as its
    // name and arguments; "complete" ends the loop.
    static inline const QString kSignalPrinter = QStringLiteral(R"(
def on(name):
    def handler(*args):
        print(name, ','.join(str(int(x)) for x in args))
        if name == 'complete':
            loop.quit()
    return handler
)");

    void SetUp() override
    {
        TarvoTest::SetUp();
        const QString services = childEnvironment().value("XDG_DATA_HOME") + "/dbus-1/services";
        QDir().mkpath(services);
        ASSERT_TRUE(QFile::copy(BinDir() + "/dbus-1/services/com.corvane.Tarvo.service",
                                services + "/com.corvane.Tarvo.service"));
    }

    void TearDown() override
    {
        if (!m_address.isEmpty()) {
            // The station the bus started is ended by its process id.
            if (const qint64 pid = StationPid(); pid > 0)
                ::kill(pid_t(pid), SIGKILL);
            m_daemon.kill();
            m_daemon.waitForFinished();
        }
        TarvoTest::TearDown();
    }

    // The children's environment, boxes answered and logged.
    QProcessEnvironment BusEnvironment()
    {
        QProcessEnvironment env = childEnvironment();
        env.insert("TARVO_UI_SCRIPT", "/dev/null");
        env.insert("TARVO_UI_LOG", tempPath("ui.log"));
        return env;
    }

    void StartDaemon(const QProcessEnvironment& env)
    {
        m_daemon.setProcessEnvironment(env);
        // The bus socket lives in the test's own folder, removed with it.
        m_daemon.start(
            "dbus-daemon",
            {"--session", "--nofork", "--print-address", "--address=unix:dir=" + QDir(tempPath()).absolutePath()});
        ASSERT_TRUE(m_daemon.waitForStarted());
        while (!m_daemon.canReadLine())
            ASSERT_TRUE(m_daemon.waitForReadyRead(10000));
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        ASSERT_FALSE(m_address.isEmpty());
    }

    // gdbus on this bus: the command, then its arguments.
    ProcessResult Gdbus(const QStringList& args, int timeoutMs = 60000)
    {
        QStringList all{args.first(), "--address", m_address};
        all += args.mid(1);
        return RunProgram("gdbus", all, childEnvironment(), timeoutMs);
    }

    // The distribution's python3 (it has the dbus module) on this bus: its
    // arguments (a script, or -c and its text, then the script's own).
    ProcessResult RunPython(const QStringList& args, int timeoutMs = 60000)
    {
        QProcessEnvironment env = childEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", m_address);
        return RunProgram(QStringLiteral("/usr/bin/python3"), args, env, timeoutMs);
    }
    // A scenario of the session clients with its settings.
    ProcessResult RunSessionClients(const QString& scenario, const QJsonObject& settings)
    {
        return RunPython({SourceDir() + "/tests/automation/session_clients.py", scenario,
                          QString::fromUtf8(QJsonDocument(settings).toJson(QJsonDocument::Compact))});
    }
    // The rows of the job record log in this folder, its header left out.
    static QStringList JobRecordRows(const QString& folder)
    {
        QFile log(folder + "/JobSum.log");
        if (!log.open(QIODevice::ReadOnly))
            return {};
        QStringList rows = QString::fromUtf8(log.readAll()).split("\r\n", Qt::SkipEmptyParts);
        if (!rows.isEmpty())
            rows.removeFirst();
        return rows;
    }

    // A method call to the station's name.
    ProcessResult Call(const QString& path, const QString& method, const QStringList& args = {})
    {
        return Gdbus(QStringList{"call", "--dest", kName, "--object-path", path, "--method", method} + args);
    }

    // The station the bus starts comes up with this device selected, and
    // its engine's folder is there.
    void SelectDeviceAtStart(const QString& device)
    {
        SaveSettingValue("Tarvo", "Device", "DevSelected", true);
        SaveSettingValue("Tarvo", "Device", "SelectedDeviceName", device);
        QDir().mkpath(EngineFolder());
    }
    QString EngineFolder() const { return childEnvironment().value("XDG_DATA_HOME") + "/Corvane/QXEngine"; }
    QString BlackBox() const
    {
        QFile log(EngineFolder() + "/DATALOG/BlackBox.log");
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }

    qint64 StationPid()
    {
        const ProcessResult r =
            Gdbus({"call", "--dest", "org.freedesktop.DBus", "--object-path", "/org/freedesktop/DBus", "--method",
                   "org.freedesktop.DBus.GetConnectionUnixProcessID", kName});
        const auto match = QRegularExpression(R"(uint32 (\d+))").match(r.out);
        return match.hasMatch() ? match.captured(1).toLongLong() : 0;
    }

    QProcess m_daemon;
    QString m_address;
};
