// The main window's job buttons and menu items: the job-file commands they
// lead to live in JobFiles, and keep their names here as one-line forwards;
// the Sealbook menu's password, note and options.

#include "mainwindow/frmMain.h"

#include "mainwindow/JobFiles.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "records/frmSKPwd.h"
#include "records/frmSealbookConfigure.h"
#include "records/frmSealbookNote.h"
#include "settings/ProgrammerClass.h"

#include <QAction>
#include <QPushButton>
#include <QToolBar>

using enginecall::Try;

void frmMain::CreateJobButtons(QToolBar* toolbar)
{
    cmdLoadJob = new QPushButton(QStringLiteral("Load A Job"), toolbar);
    cmdLoadJob->setObjectName(QStringLiteral("cmdLoadJob"));
    cmdSaveJob = new QPushButton(QStringLiteral("Save A Job"), toolbar);
    cmdSaveJob->setObjectName(QStringLiteral("cmdSaveJob"));
    toolbar->addWidget(cmdLoadJob);
    toolbar->addWidget(cmdSaveJob);
    connect(cmdLoadJob, &QPushButton::clicked, this, &frmMain::cmdLoadJob_Click);
    connect(cmdSaveJob, &QPushButton::clicked, this, &frmMain::cmdSaveJob_Click);
}

void frmMain::ConnectJobMenus()
{
    // The menu tree makes the items; each is connected once, by its name,
    // whichever of them exist.
    const std::pair<const char*, void (frmMain::*)()> items[] = {
        {"mnuLoadJob", &frmMain::mnuLoadJob_Click},
        {"mnuSaveJob", &frmMain::mnuSaveJob_Click},
        {"mnuSaveJobAs", &frmMain::mnuSaveJobAs_Click},
        {"mnuEnterNewMode", &frmMain::mnuEnterNewMode_Click},
        {"mnuSealbookConfigure", &frmMain::mnuSealbookConfigure_Click},
        {"mnuJobChangePassword", &frmMain::mnuJobChangePassword_Click},
        {"mnuViewNote", &frmMain::mnuViewNote_Click},
    };
    for (const auto& [name, handler] : items) {
        QAction* action = findChild<QAction*>(QString::fromLatin1(name));
        if (!action || action->property("tarvoJobConnected").toBool())
            continue;
        action->setProperty("tarvoJobConnected", true);
        connect(action, &QAction::triggered, this, handler);
    }
}

void frmMain::mnuLoadJob_Click()
{
    bool ok = false;
    ExecLoadJobCmd(0, QString(), ok);
}

void frmMain::cmdLoadJob_Click()
{
    mnuLoadJob_Click();
}
void frmMain::cmdSaveJob_Click()
{
    mnuSaveJob_Click();
}

void frmMain::mnuSaveJobAs_Click()
{
    bool ok = false;
    ExecSaveJobCmd(0, QString(), ok);
}

// --- the job files' commands, under the names the window keeps ---

void frmMain::mnuSaveJob_Click()
{
    m_jobFiles->SaveJob();
}
void frmMain::ExecLoadJobCmd(qint32 useGiven, const QString& file, bool& ok)
{
    m_jobFiles->ExecLoadJobCmd(useGiven, file, ok);
}
void frmMain::ExecSaveJobCmd(qint32 useGiven, const QString& file, bool& ok)
{
    m_jobFiles->ExecSaveJobCmd(useGiven, file, ok);
}
void frmMain::LoadQxFile(const QString& file, const QString& title, qint32& result)
{
    m_jobFiles->LoadQxFile(file, title, result);
}
void frmMain::LoadJob(const QString& file, qint32& result)
{
    m_jobFiles->LoadJob(file, result);
}
void frmMain::ShowJobReport(qint32 type, bool showQXJobPage, bool jobError, bool& accepted)
{
    m_jobFiles->ShowJobReport(type, showQXJobPage, jobError, accepted);
}
void frmMain::SKConversionPrompt()
{
    m_jobFiles->SKConversionPrompt();
}
void frmMain::LoadSKAutoFile(const QString& file, qint32& result)
{
    m_jobFiles->LoadSKAutoFile(file, result);
}
void frmMain::LoadSKAutoFileCore(const QString& file, qint32& result, bool bOpen)
{
    m_jobFiles->LoadSKAutoFileCore(file, result, bOpen);
}
void frmMain::SaveSKAutoFile(const QString& file, qint32& result, bool bNoNotePrompt)
{
    m_jobFiles->SaveSKAutoFile(file, result, bNoNotePrompt);
}

// --- the Sealbook menu ---

void frmMain::mnuJobChangePassword_Click()
{
    frmSKPwd dialog(QXProgrammer, pgmrData(), this);
    Ui().ShowModal(&dialog);
}

void frmMain::mnuViewNote_Click()
{
    frmSealbookNote note(pgmrData(), GetSoftwareVersion(), this);
    note.skType = 1;
    note.ShowNote(1);
}

void frmMain::mnuSealbookConfigure_Click()
{
    ProgrammerClass& data = pgmrData();
    frmSealbookConfigure dialog(QXProgrammer, data, this);
    Try([&] { dialog.bEnableMarkInputFields = QXProgrammer.SealbookSetting310(); });
    Try([&] { dialog.bStartInOperatorMode = QXProgrammer.SealbookSetting211(); });
    dialog.bVerifyChecksum = data.bVerifyChecksum;
    dialog.bRemind = data.bRemindToVerifyChecksum;
    dialog.ShowDialog();
    if (dialog.bCancel)
        return;
    data.bVerifyChecksum = dialog.bVerifyChecksum;
    data.bRemindToVerifyChecksum = dialog.bRemind;
    Try([&] { QXProgrammer.SealbookSetting81(dialog.bVerifyChecksum); });
}
