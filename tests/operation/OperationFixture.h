#pragma once

// The operation window in a test: a main window holding an engine (one of the
// test's own, with stored values for its properties and a few members
// scripted, or the simulated one in StandInWindowFixture.h), the site control
// plug-in registered in the test's registry, and the window.

#include "StationWiring.h"
#include "TestEnv.h"

#include "engine/H950HdlrControl.h"
#include "engine/QXPgmrControl.h"
#include "engine/SiteBoxControl.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "platform/DispatchObject.h"
#include "settings/ProgrammerClass.h"
#include "shell/StartUp.h"

#include <QLibrary>
#include <QWidget>

class FakeEngine : public DispatchObject
{
public:
    FakeEngine()
        : DispatchObject(QStringLiteral("QXPGMRLib.QXPgmr"), QXPgmrControl::Members())
    {
        AnswerUndeclaredAsFake();
        using namespace QXPgmrId;
        On(SelectDeviceByName, [this](InvokeKind, QVariantList& args) {
            selections << QStringLiteral("%1|%2")
                              .arg(args.value(0).toString())
                              .arg(IsVbTrue(args.value(1)) ? "True" : "False");
            return QVariant::fromValue<qint32>(selectResult);
        });
        On(DetectFileType, [this](InvokeKind, QVariantList&) { return QVariant::fromValue<qint32>(detectedFileType); });
        On(RefreshState202, [this](InvokeKind, QVariantList&) {
            ++refreshStateCalls;
            return QVariant();
        });
        // The engine may move the range and the offset it was asked about.
        On(IsOffsetInRange, [this](InvokeKind, QVariantList& args) {
            if (!offsetInRange && args.size() == 3) {
                args[0] = QVariant::fromValue<qint32>(correctedLow);
                args[1] = QVariant::fromValue<qint32>(correctedHigh);
                args[2] = QVariant::fromValue<qint32>(correctedOffset);
            }
            return VbBool(offsetInRange);
        });
        On(DeviceSizeText, [this](InvokeKind, QVariantList& args) {
            return QVariant(IsVbTrue(args.value(args.size() - 1)) ? QStringLiteral("80000h")
                                                                  : QStringLiteral("524288"));
        });
        On(PrepareRun, [this](InvokeKind, QVariantList&) {
            calls << QStringLiteral("PrepareRun");
            return QVariant();
        });
        On(FinishRunReport, [this](InvokeKind, QVariantList&) {
            calls << QStringLiteral("FinishRunReport");
            return QVariant();
        });
        Set(SiteCount, 1);
        Set(SiteSlotCount, qint16(1));
    }

    void Set(int dispid, const QVariant& value) { Store(dispid, value); }
    void Set(int dispid, bool value) { Store(dispid, VbBool(value)); }
    void Set(int dispid, int value) { Store(dispid, QVariant::fromValue<qint32>(value)); }
    void Set(int dispid, qint16 value) { Store(dispid, QVariant::fromValue<qint16>(value)); }
    void Set(int dispid, const char* value) { Store(dispid, QString::fromUtf8(value)); }
    QVariant Value(int dispid) const { return Stored(dispid); }

    QStringList selections;
    QStringList calls;
    qint32 selectResult = 0;
    qint32 detectedFileType = 0;
    int refreshStateCalls = 0;
    bool offsetInRange = true;
    qint32 correctedLow = 0;
    qint32 correctedHigh = 0;
    qint32 correctedOffset = 0;
};

// The automatic-handler control, only as far as its session state.
class FakeAutoHandler : public DispatchObject
{
public:
    FakeAutoHandler()
        : DispatchObject(QString::fromLatin1(H950HdlrControl::ClassName), H950HdlrControl::Members())
    {
        AnswerUndeclaredAsFake();
    }
    void SetRunning(bool running) { Store(H950HdlrId::IsRunning, VbBool(running)); }
};

// The operation window and the main window that holds it, over an engine the
// derived fixture attaches; the site control plug-in registered in the test's
// registry, as start-up registers it.
class OperationWindowFixture : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        ASSERT_EQ(RegisterPlugin(QStringLiteral("BayCtrl.ocx")), 0);
        station = std::make_unique<StationWiring>();
        main = &station->main();
        ASSERT_TRUE(AttachEngine());
        main->bEnableEvent = true;
        window = &station->CreateOperationWindow();
    }

    void TearDown() override
    {
        station.reset();
        main = nullptr;
        window = nullptr;
        SetCmdLineDevice(QString());
        SetCmdLineDataFile(QString());
        TarvoTest::TearDown();
    }

    // Puts a fresh engine control into the main window; False when it cannot.
    virtual bool AttachEngine() = 0;

    // A plug-in from the build folder, registered through its DllRegisterServer.
    static long RegisterPlugin(const QString& file)
    {
        QLibrary library(BinDir() + QLatin1Char('/') + file);
        const auto registerServer = reinterpret_cast<long (*)()>(library.resolve("DllRegisterServer"));
        return registerServer ? registerServer() : -1;
    }

    // Loads the window and shows it at a size in pixels.
    void LoadAndShow(int width = frmProgram::kMinimumWidth / 15, int height = frmProgram::kMinimumHeight / 15)
    {
        window->Form_Load();
        window->resize(width, height);
        window->show();
        window->Form_Resize();
    }

    ProgrammerClass& data() { return window->pgmrData(); }

    std::unique_ptr<StationWiring> station;
    frmMain* main = nullptr;
    frmProgram* window = nullptr;
};

// Over an engine of the test's own.
class OperationWindowTest : public OperationWindowFixture
{
protected:
    bool AttachEngine() override
    {
        engine = new FakeEngine;
        station->AttachEngine(std::unique_ptr<IDispatchControl>(engine));
        return true;
    }

    FakeEngine* engine = nullptr;
};

// The window loaded and shown over the test's engine with one device, "PART",
// that offers only the Program action; the custom-action tests offer their
// actions on it.
class PartDeviceTest : public OperationWindowTest
{
protected:
    void SetUp() override
    {
        OperationWindowTest::SetUp();
        engine->Set(QXPgmrId::DeviceName, "PART");
        engine->Set(QXPgmrId::DeviceSupportsProgram, true);
        LoadAndShow();
    }
};
