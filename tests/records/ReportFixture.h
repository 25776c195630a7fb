#pragma once

// A job summary over controls of the test's own: an engine, an automatic
// handler, a concurrent manual handler and site boxes, each answering the
// values the test stores, plus the window values the report reads.

#include "TestEnv.h"

#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "engine/SiteBoxControl.h"
#include "platform/DispatchObject.h"
#include "records/JobSummaryReport.h"

#include <QDir>
#include <QTextDocument>
#include <memory>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// A control built on a member table whose values the test sets.
template <class Accessor>
class ScriptedControl : public DispatchObject
{
public:
    ScriptedControl()
        : DispatchObject(QString::fromLatin1(Accessor::ClassName), Accessor::Members())
    {
        AnswerUndeclaredAsFake();
    }
    using DispatchObject::On;
    using DispatchObject::Store;
    using DispatchObject::Stored;
    void Set(int dispid, const QVariant& value) { Store(dispid, value); }
    void SetAt(int dispid, qint32 index, const QVariant& value) { Store(dispid, value, {QVariant(index)}); }
};

using ScriptedEngine = ScriptedControl<QXPgmrControl>;
using ScriptedAutoHandler = ScriptedControl<H950HdlrControl>;
using ScriptedManualHandler = ScriptedControl<ManualHdlControl>;
using ScriptedSiteBox = ScriptedControl<SiteBoxControl>;

class ReportFixture : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        engine = Attach<ScriptedEngine>(m_engine);
        autoHandler = Attach<ScriptedAutoHandler>(m_autoHandler);
        manualHandler = Attach<ScriptedManualHandler>(m_manualHandler);
        in.engine = &m_engine;
        in.autoHandler = &m_autoHandler;
        in.manualHandler = &m_manualHandler;
        in.siteBox = [this](int index) -> SiteBoxControl* {
            return size_t(index) < m_sites.size() ? m_sites[size_t(index)].get() : nullptr;
        };
        in.now = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 7));
        // An ordinary finished job on a single-site programmer.
        engine->Set(QXPgmrId::EngineVersion, qint32(0x0102030A));
        engine->Set(QXPgmrId::ProgrammerModelName, QStringLiteral("QX-8000/USB"));
        engine->Set(QXPgmrId::ChecksumText, QStringLiteral("1A2B"));
        engine->Set(QXPgmrId::SiteCount, 1);
        in.strJobName = QStringLiteral("Lot 7");
        in.bufferName = QStringLiteral("pattern.hex");
        in.bufferDate = QStringLiteral("12/9/2026 2:03:07 PM");
        in.lngFileSize = 4096;
        in.udtRadix = 1;
        in.strDeviceName = QStringLiteral("AT28C256");
        in.strDeviceSize = QStringLiteral("32K x 8");
        in.operationsLog = {QStringLiteral("Program"), QString(), QStringLiteral("Verify")};
        in.selectedTabCaption = QStringLiteral("&Verify");
    }

    template <class Scripted, class Accessor>
    static Scripted* Attach(Accessor& accessor)
    {
        auto control = std::make_unique<Scripted>();
        Scripted* raw = control.get();
        accessor.Attach(std::move(control));
        return raw;
    }

    // Site boxes 1 to n labelled by number.
    std::vector<ScriptedSiteBox*> AddSites(int count)
    {
        std::vector<ScriptedSiteBox*> added;
        for (int i = 0; i < count; ++i) {
            auto site = std::make_unique<SiteBoxControl>();
            ScriptedSiteBox* raw = Attach<ScriptedSiteBox>(*site);
            raw->Set(SiteBoxId::SiteLabel, QString::number(m_sites.size() + 1));
            m_sites.push_back(std::move(site));
            added.push_back(raw);
        }
        return added;
    }

    // Builds the report into document; the lines of its text, the title
    // line left out.
    QStringList Build()
    {
        JobSummaryReport::PrepareDocument(&document);
        report = std::make_unique<JobSummaryReport>(&document, in);
        report->BuildReport();
        QStringList lines = document.toPlainText().split(QLatin1Char('\n'));
        lines.removeFirst();
        return lines;
    }

public:
    // A new folder for the job record log.
    QString LogFolder()
    {
        const QString folder = tempPath(QStringLiteral("logs"));
        QDir().mkpath(folder);
        return folder;
    }

    // A line of a label and its value.
    static QString Row(const QString& label, const QString& value)
    {
        return QStringLiteral("\t") + label.leftJustified(32) + QStringLiteral("\t") + value;
    }
    static QString SubRow(const QString& label, const QString& value)
    {
        return QStringLiteral("\t   ") + label.leftJustified(45) + QStringLiteral("\t") + value;
    }

protected:
    JobSummaryInputs in;
    ScriptedEngine* engine = nullptr;
    ScriptedAutoHandler* autoHandler = nullptr;
    ScriptedManualHandler* manualHandler = nullptr;
    QTextDocument document;
    std::unique_ptr<JobSummaryReport> report;

private:
    QXPgmrControl m_engine;
    H950HdlrControl m_autoHandler;
    ManualHdlControl m_manualHandler;
    std::vector<std::unique_ptr<SiteBoxControl>> m_sites;
};
