#include "frmProgram.h"

#include "settings/ProgrammerClass.h"

#include <QDateTime>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {
constexpr int kMaxStatusLines = 32000;
}

frmProgram::frmProgram(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmProgram"));
    auto* layout = new QVBoxLayout(this);
    cboStatus = new QListWidget(this);
    cboStatus->setObjectName(QStringLiteral("cboStatus"));
    layout->addWidget(cboStatus);
    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    txtFile->setReadOnly(true);
    layout->insertWidget(0, txtFile);
}

frmProgram::~frmProgram() = default;

ProgrammerClass& frmProgram::pgmrData()
{
    if (!m_pgmrData)
        m_pgmrData = std::make_unique<ProgrammerClass>();
    return *m_pgmrData;
}

void frmProgram::UpdateFormCaption(bool bShowVersion)
{
    Q_UNUSED(bShowVersion);
}

void frmProgram::RefreshAll()
{
    update();
}

void frmProgram::SetDisplayInfo()
{
}

void frmProgram::AddStatusTextLine(const QString& text)
{
    if (cboStatus->count() >= kMaxStatusLines)
        cboStatus->clear();
    cboStatus->addItem(text);
    cboStatus->scrollToBottom();
}

void frmProgram::ShowBufferEmpty()
{
    txtFile->setText(QStringLiteral("<Empty>"));
}

void frmProgram::BufferType(const QString& name, const QDateTime& date, qint16 event)
{
    Q_UNUSED(name);
    Q_UNUSED(date);
    Q_UNUSED(event);
}

void frmProgram::ReleaseProgrammerData(bool save)
{
    if (m_pgmrData && !save)
        m_pgmrData->DiscardWithoutSaving();
    m_pgmrData.reset();
}

bool frmProgram::Form_Unload()
{
    return true;
}
