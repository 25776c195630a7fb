// The simulated engine when the host fails while writing or reading its tab
// settings: a save whose export failed is not written (the old file stays)
// and says why; a load whose import failed is a part-way failure.
#include "InProcessEngine.h"
#include "TestEnv.h"

#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"
#include "platform/Companion.h"
#include "platform/Dispatch.h"
#include "qxbuffer/DataBuffer.h"

#include <QFile>
#include <QFileInfo>

namespace {

class FailingHost : public IEventSink
{
public:
    void Fire(const QString& name, QVariantList& args) override
    {
        events << name;
        if (name == QLatin1String("RequestJobSettingText24"))
            args[0] = QStringLiteral("image.bin");
        else if (name == QLatin1String("SealbookExport")) {
            QString value = QStringLiteral("&Verify");
            qint32 status = -1;
            engine->WriteSealbookValue(QStringLiteral("JobInfo"), QStringLiteral("ActiveTab"), QString(), value,
                                       qint32(2), status);
            if (failExport)
                throw AutomationError(7, QStringLiteral("host"), QStringLiteral("the tab rows are gone"));
        } else if (name == QLatin1String("SealbookImport") && failImport)
            throw AutomationError(7, QStringLiteral("host"), QStringLiteral("the tab rows are gone"));
        else if (name == QLatin1String("JobSavingError"))
            texts << args.value(0).toString();
        else if (name == QLatin1String("JobLoadFailed"))
            events.last() += args.value(0).toBool() ? QStringLiteral("(True)") : QStringLiteral("(False)");
    }

    QXPgmrControl* engine = nullptr;
    QStringList events, texts;
    bool failExport = false;
    bool failImport = false;
};

class EngineTabFailureTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        ASSERT_TRUE(AttachInProcessEngine(control));
        control.Control()->SetEventSink(&host);
        host.engine = &control;
        control.StartupValue108(BinDir());
        ASSERT_EQ(control.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
        control.SelectDeviceByName(QStringLiteral("AM27C512"), false);
        DataBuffer::Instance().Resize(256);
    }
    void TearDown() override
    {
        control.Control()->SetEventSink(nullptr);
        TarvoTest::TearDown();
    }
    static QByteArray ReadAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    FailingHost host;
    QXPgmrControl control;
};

TEST_F(EngineTabFailureTest, AFailedExportLeavesTheOldFileAndSaysWhy)
{
    const QString path = tempPath("line4.qx");
    ASSERT_EQ(control.SaveJobFile(path), 0);
    const QByteArray before = ReadAll(path);

    host.failExport = true;
    EXPECT_NE(control.SaveJobFile(path), 0);
    EXPECT_EQ(ReadAll(path), before);
    ASSERT_EQ(host.texts.size(), 1);
    EXPECT_EQ(host.texts[0], "The job was not saved: the operation settings were not written: the tab rows are gone.");

    // The engine is not left writing into the failed job: the next save
    // works (and, the job being unchanged, leaves its file as it was).
    host.failExport = false;
    EXPECT_EQ(control.SaveJobFile(path), 0);
    EXPECT_EQ(ReadAll(path), before);
}

TEST_F(EngineTabFailureTest, AFailedImportIsPutBack)
{
    const QString path = tempPath("line4.qx");
    ASSERT_EQ(control.SaveJobFile(path), 0);
    host.failImport = true;
    host.events.clear();
    EXPECT_NE(control.LoadJobFile(path), 0);
    // The host is given its own tab settings back, then hears of a refusal
    // that changed nothing.
    EXPECT_EQ(host.events.count("SealbookImport"), 2) << host.events.join(' ').toStdString();
    EXPECT_EQ(host.events.last(), "JobLoadFailed(False)") << host.events.join(' ').toStdString();

    host.failImport = false;
    EXPECT_EQ(control.LoadJobFile(path), 0);
    qint32 status = -1;
    EXPECT_EQ(control.ReadSealbookValueEx(QStringLiteral("JobInfo"), QStringLiteral("ActiveTab"), QString(), qint32(2),
                                          status),
              "&Verify");
    EXPECT_EQ(status, 0);
}

} // namespace
