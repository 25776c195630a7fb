#include "TestEnv.h"
#include "platform/Companion.h"
#include "platform/Registry.h"
#include "shell/ComponentRegistration.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

// HKCR subkeys in the order they were first written.
QStringList RegisteredClasses()
{
    QStringList names;
    QString name;
    for (quint32 i = 0; reg::RegEnumKey(reg::HKEY_CLASSES_ROOT, i, &name) == reg::ERROR_SUCCESS; ++i)
        names << name;
    return names;
}

// Each hive file of the registry folder with its inode, size and change time:
// a write replaces or changes the file, and shows here.
QStringList HiveFileStamps()
{
    QStringList stamps;
    const QDir folder(qEnvironmentVariable("TARVO_REGISTRY_DIR"));
    for (const QString& name : folder.entryList({QStringLiteral("*.reg")}, QDir::Files, QDir::Name)) {
        struct stat st {};
        if (::stat(QFile::encodeName(folder.filePath(name)).constData(), &st) == 0)
            stamps << QStringLiteral("%1 %2 %3 %4.%5")
                          .arg(name)
                          .arg(qulonglong(st.st_ino))
                          .arg(qlonglong(st.st_size))
                          .arg(qlonglong(st.st_mtim.tv_sec))
                          .arg(qlonglong(st.st_mtim.tv_nsec));
    }
    return stamps;
}

class ComponentRegistrationTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        m_programFolder = tempPath("prog/bin");
        QDir().mkpath(m_programFolder);
        SetComponentFolder(m_programFolder);
    }
    void TearDown() override
    {
        SetComponentFolder({});
        SetRegistrationTimeLimitMs(20000);
        TarvoTest::TearDown();
    }
    // Copies a built companion (or a fixture library under a companion's
    // name) into the program folder or elsewhere.
    void Install(const QString& file, const QString& folder = {}, const QString& from = {})
    {
        const QString target = folder.isEmpty() ? m_programFolder : folder;
        QDir().mkpath(target);
        const QString source = from.isEmpty() ? BinDir() + "/" + file : from;
        ASSERT_TRUE(QFile::copy(source, target + "/" + file)) << source.toStdString();
    }
    void InstallAllBut(const QString& skipped)
    {
        for (const QString& f : CompanionFiles())
            if (f != skipped)
                Install(f);
    }

    QString m_programFolder;
};

TEST_F(ComponentRegistrationTest, AllFiveRegisteredInOrder)
{
    InstallAllBut({});
    EXPECT_TRUE(RegisterComponents());
    EXPECT_EQ(RegisteredClasses(),
              (QStringList{"MYH950HDLRLib.QXH950Handler", "QXPGMRLib.QXPgmr", "DATAPANELib.DataPane",
                           "MANUALHDLLib.ManualHdl", "BAYCTRLLib.SiteBox"}));
}

// Every start registers the companions again; one that finds its keys as
// they should be leaves the hive files alone, and a key that points
// elsewhere is set right.
TEST_F(ComponentRegistrationTest, RegisteringAgainWritesOnlyAKeyThatIsWrong)
{
    InstallAllBut({});
    ASSERT_TRUE(RegisterComponents());
    const QStringList stamps = HiveFileStamps();
    ASSERT_FALSE(stamps.isEmpty());
    const QString engine = companion::RegisteredLibrary(QStringLiteral("QXPGMRLib.QXPgmr"));
    ASSERT_FALSE(engine.isEmpty());

    ASSERT_TRUE(RegisterComponents());
    EXPECT_EQ(HiveFileStamps(), stamps);

    ASSERT_EQ(companion::RegisterClass(QStringLiteral("QXPGMRLib.QXPgmr"), tempPath("elsewhere/QXPgmr.ocx")), 0);
    const QStringList moved = HiveFileStamps();
    EXPECT_NE(moved, stamps);
    ASSERT_TRUE(RegisterComponents());
    EXPECT_EQ(companion::RegisteredLibrary(QStringLiteral("QXPGMRLib.QXPgmr")), engine);
    EXPECT_NE(HiveFileStamps(), moved);
}

TEST_F(ComponentRegistrationTest, FoundInDebugFolderBesideTheProgramFolder)
{
    InstallAllBut("QXPgmr.ocx");
    const QString debug = QDir::cleanPath(m_programFolder + "/../Debug");
    Install("QXPgmr.ocx", debug);
    EXPECT_EQ(LocateComponent("QXPgmr.ocx"), debug + "/QXPgmr.ocx");
    EXPECT_TRUE(RegisterComponents());
}

TEST_F(ComponentRegistrationTest, MissingFileStopsTheSequence)
{
    InstallAllBut("DataPane.ocx");
    ui().Answer(1);
    EXPECT_FALSE(RegisterComponents());
    ASSERT_EQ(ui().Shown().size(), 1);
    EXPECT_EQ(ui().Shown()[0], ScriptedUiService::LogLine(
                                   "Missing Component Error",
                                   "Could not locate component DataPane.ocx.  Please reinstall the application.",
                                   ui().Shown()[0].section('\t', 2, 2), "1"));
    EXPECT_EQ(RegisteredClasses(), (QStringList{"MYH950HDLRLib.QXH950Handler", "QXPGMRLib.QXPgmr"}));
}

TEST_F(ComponentRegistrationTest, LibraryWithoutEntryFails)
{
    InstallAllBut("DataPane.ocx");
    Install("DataPane.ocx", {}, QStringLiteral(TARVO_FIXTURE_DIR) + "/NoEntry.ocx");
    ui().Answer(1);
    EXPECT_FALSE(RegisterComponents());
    ASSERT_EQ(ui().Shown().size(), 1);
    EXPECT_TRUE(ui().Shown()[0].startsWith(
        "Component Registration Error\tFailed to register DataPane.ocx.  Please reinstall the application.\t"));
}

TEST_F(ComponentRegistrationTest, EntryReturningFailureButEndingInTimeCounts)
{
    const QString path = QStringLiteral(TARVO_FIXTURE_DIR) + "/FailingRegister.ocx";
    EXPECT_TRUE(RegisterServer(path, true));
}

TEST_F(ComponentRegistrationTest, EntryPastTheLimitFailsWhileTheCallerGoesOn)
{
    // The entry waits on a pipe until the test lets it go: it is still
    // running when the limit passes, however slow the machine.
    const QString mark = tempPath("slow.mark");
    int release[2] = {-1, -1};
    ASSERT_EQ(::pipe(release), 0);
    qputenv("TARVO_TEST_REG_WAIT_FD", QByteArray::number(release[0]));
    qputenv("TARVO_TEST_REG_MARK", mark.toUtf8());
    SetRegistrationTimeLimitMs(200);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(RegisterServer(QStringLiteral(TARVO_FIXTURE_DIR) + "/SlowRegister.ocx", true));
    EXPECT_LT(timer.elapsed(), 1200);
    EXPECT_FALSE(QFile::exists(mark));
    // The abandoned worker finishes on its own without harming the process.
    ASSERT_EQ(::write(release[1], "x", 1), 1);
    for (int i = 0; i < 200 && !QFile::exists(mark); ++i)
        QThread::msleep(50);
    EXPECT_TRUE(QFile::exists(mark));
    qunsetenv("TARVO_TEST_REG_WAIT_FD");
    qunsetenv("TARVO_TEST_REG_MARK");
    ::close(release[1]); // the read end stays open: a worker past its limit may still hold it
}

TEST_F(ComponentRegistrationTest, ProgramNamesAreStartedWithTheRegisterSwitch)
{
    for (const QString name : {"tool.exe", "TOOL2.EXE", "Tool3.ExE"}) {
        const QString mark = tempPath(name + ".args");
        const QString path = m_programFolder + "/" + name;
        QFile script(path);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(mark).toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        EXPECT_TRUE(RegisterServer(path, true));
        for (int i = 0; i < 100 && !QFile::exists(mark); ++i)
            QThread::msleep(50);
        QFile args(mark);
        ASSERT_TRUE(args.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(args.readAll().trimmed(), "/REGSERVER");
    }
}

TEST_F(ComponentRegistrationTest, MissingPathFails)
{
    EXPECT_FALSE(RegisterServer({}, true));
    EXPECT_FALSE(RegisterServer(m_programFolder + "/none.ocx", true));
}

TEST_F(ComponentRegistrationTest, RegistrationsThatCannotRunAnswerAsTheirKindSays)
{
    // A program is started and not waited for: registered, even when it
    // cannot be started at all.
    const QString notRunnable = m_programFolder + "/plain.exe";
    QFile plain(notRunnable);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    plain.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_TRUE(RegisterServer(notRunnable, true));

    // A library whose worker cannot be created is not registered, and the
    // program goes on.
    SetRegistrationWorkerStarterForTests([](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    EXPECT_FALSE(RegisterServer(QStringLiteral(TARVO_FIXTURE_DIR) + "/FailingRegister.ocx", true));
    SetRegistrationWorkerStarterForTests(nullptr);
    EXPECT_TRUE(RegisterServer(QStringLiteral(TARVO_FIXTURE_DIR) + "/FailingRegister.ocx", true));
}

} // namespace
