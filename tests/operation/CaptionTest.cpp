// The operation window's title: the simulated programmer's models and
// ports, the handler, the job name and the operator mode; and over the
// test's own engine the values no shipped model gives.

#include "RecordingEngine.h"
#include "StandInWindowFixture.h"

#include "engine/H950HdlrControl.h"

#include <gtest/gtest.h>

namespace {

struct CaptionCase
{
    qint32 model;
    qint32 port;
    qint32 handlerType;
    const char* jobName;
    bool operatorMode;
    const char* caption;
};

const CaptionCase kStandInCases[] = {
    {1, 1, 0, "", false, "RB-310  LPT1"},
    {4, 3, 0, "", false, "RC-420  LPT3"},
    {5, 2, 0, "", false, "RD-510  Universal  LPT2"},
    {6, 3, 0, "", false, "RE-610/1/Universal  LPT3"},
    {7, 1, 0, "", false, "RE-620/2/Universal  USB"},
    {11, 1, 0, "", false, "RG-1080/8/Gang  LPT1"},
    // Demo: the model's whole name.
    {7, 0, 0, "", false, "RE-620/USB  Demo Mode"},
    {1, 1, 2, "LOT-7", true, "RB-310  LPT1  RH-800 Handler   [Job - LOT-7]  <Operator Mode>"},
    {12, 2, 1, "", false, "RG-1160/16/Gang  LPT2  RH-600 Handler"},
    {1, 2, 3, "", true, "RB-310  LPT2  <Operator Mode>"},
};

class StandInCaptionTest : public StandInWindowTest
{};

TEST_F(StandInCaptionTest, TitleFollowsModelPortHandlerJobAndMode)
{
    LoadAndShow();
    for (const CaptionCase& c : kStandInCases) {
        SCOPED_TRACE(c.caption);
        engine().SelectProgrammerModel(c.model);
        engine().PortIndex(c.port);
        data().udtHandlerType = c.handlerType;
        data().strJobName = QString::fromLatin1(c.jobName);
        data().bStartInOperatorMode = c.operatorMode;

        window->UpdateFormCaption(true);

        EXPECT_EQ(window->windowTitle(), QString::fromLatin1(c.caption));
    }
}

// The automatic handler, as far as the job name it is given.
class JobNameHandler : public FakeAutoHandler
{
public:
    QString JobName() const { return Stored(H950HdlrId::HandlerJobName).toString(); }
};

class CaptionTest : public OperationWindowFixture
{
protected:
    bool AttachEngine() override
    {
        engine = new RecordingEngine;
        station->AttachEngine(std::unique_ptr<IDispatchControl>(engine));
        return true;
    }

    void SetUp() override
    {
        OperationWindowFixture::SetUp();
        LoadAndShow();
        engine->Set(QXPgmrId::PortIndex, 1);
    }

    RecordingEngine* engine = nullptr;
};

TEST_F(CaptionTest, ModelNumberIsReadWhole)
{
    engine->Set(QXPgmrId::ProgrammerModelName, "RX-9/Big");
    engine->Set(QXPgmrId::ProgrammerCaptionPart, "Part");
    engine->Set(QXPgmrId::CaptionPart269, 70000);
    window->UpdateFormCaption(true);
    EXPECT_EQ(window->windowTitle(), "RX-9/70000/Part  LPT1");
}

TEST_F(CaptionTest, CaptionPartModelIsCutAtItsSlash)
{
    engine->Set(QXPgmrId::ProgrammerModelName, "RD-510/Plus");
    engine->Set(QXPgmrId::ProgrammerCaptionPart, "Universal");
    engine->Set(QXPgmrId::PortIndex, 2);
    window->UpdateFormCaption(true);
    EXPECT_EQ(window->windowTitle(), "RD-510  Universal  LPT2");
}

TEST_F(CaptionTest, JobNameGoesToTheHandlerWithoutAHandlerConfigured)
{
    auto* handler = new JobNameHandler;
    main->QXH950AutoHandler.Attach(std::unique_ptr<IDispatchControl>(handler));
    engine->Set(QXPgmrId::ProgrammerModelName, "RB-310");
    data().udtHandlerType = 0;
    data().strJobName = QStringLiteral("LOT-9");
    window->UpdateFormCaption(true);
    EXPECT_EQ(window->windowTitle(), "RB-310  LPT1   [Job - LOT-9]");
    EXPECT_EQ(handler->JobName(), "LOT-9");
}

TEST_F(CaptionTest, SuffixIsKeptOnceAcrossUpdates)
{
    engine->Set(QXPgmrId::ProgrammerModelName, "RB-310");
    window->UpdateFormCaption(true);
    window->AddSuffix(QStringLiteral(" *"), true);
    EXPECT_EQ(window->windowTitle(), "RB-310  LPT1 *");
    window->UpdateFormCaption(true);
    window->UpdateFormCaption(true);
    EXPECT_EQ(window->windowTitle(), "RB-310  LPT1 *");
}

TEST_F(CaptionTest, EngineThatCannotAnswerLeavesTheTitle)
{
    engine->Set(QXPgmrId::ProgrammerModelName, "RB-310");
    window->UpdateFormCaption(true);
    engine->failing.insert(QXPgmrId::PortIndex);
    data().strJobName = QStringLiteral("LOT-9");
    window->UpdateFormCaption(true);
    EXPECT_EQ(window->windowTitle(), "RB-310  LPT1");
}

} // namespace
