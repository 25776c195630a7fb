#include "mainwindow/Station.h"

#include "mainwindow/BlackBoxLog.h"
#include "operation/OperationRun.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

using enginecall::Ask;
using enginecall::Try;

Station::Station() = default;

// The job configuration goes first (it is declared after the controls): its
// own end decides what is saved.
Station::~Station() = default;

ProgrammerClass& Station::pgmrData()
{
    if (!m_pgmrData)
        m_pgmrData =
            std::make_unique<ProgrammerClass>(&QXProgrammer, &QXH950AutoHandler, [this] { return m_numCopies; });
    return *m_pgmrData;
}

void Station::ReleaseProgrammerData(bool save)
{
    if (m_pgmrData && !save)
        m_pgmrData->DiscardWithoutSaving();
    m_pgmrData.reset();
}

QuantityOutcome Station::SetQuantityText(const QString& text)
{
    const bool automatic = m_pgmrData && (m_pgmrData->udtHandlerType == 1 || m_pgmrData->udtHandlerType == 2);
    const qint32 handlerQuantity =
        automatic && QXH950AutoHandler.IsAttached() ? Ask([&] { return qint32(QXH950AutoHandler.Quantity()); }, 0) : 0;
    const QuantityOutcome out = QuantityRule::Check(text, automatic, m_numCopies, handlerQuantity);
    m_numCopies = out.numCopies;
    m_quantityText = out.text;
    if (out.outOfRange) {
        Ui().MsgBox(QStringLiteral("The quantity number should be between 1 and ") + QStringLiteral("65535")
                        + QStringLiteral("."),
                    vb::vbCritical, QStringLiteral("Quantity Number Error"));
        WriteLogInfo(QStringLiteral("Tarvo Main:  Quantity outside of range. Quantity = ") + text, true);
        emit QuantityRefused();
    }
    if (out.illegalInput)
        WriteLogInfo(QStringLiteral("Tarvo Main:  Illegal input for Quantity, non-numeric ignored.  Input = '") + text
                         + QLatin1Char('\''),
                     true);
    emit QuantityTextChanged(m_quantityText);
    if (out.putHandlerQuantity && QXH950AutoHandler.IsAttached())
        Try([&] { QXH950AutoHandler.Quantity(m_numCopies); });
    return out;
}

void Station::LoadQuantity(qint32 numCopies)
{
    m_numCopies = numCopies;
    m_quantityText = QString::number(numCopies);
    emit QuantityTextChanged(m_quantityText);
}

bool Station::RunInProgress() const
{
    return (m_run && m_run->mbActionClicked) || (m_pgmrData && m_pgmrData->blnInAction);
}
