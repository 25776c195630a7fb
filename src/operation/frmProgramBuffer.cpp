// The operation window's data pattern commands: the File button and the one
// entry point every buffer command goes through (the File menu, recent
// files, the command line and automation).

#include "frmProgram.h"
#include "mainwindow/Station.h"

#include "TabStrip.h"
#include "buffer/BufferRules.h"
#include "buffer/frmBufferCmd.h"
#include "engine/EngineCodes.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/frmMain.h"
#include "platform/AutomationError.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "shell/CommandLine.h"
#include "shell/ShellUtilities.h"
#include "shell/StartUp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <exception>
#include <memory>

using enginecall::Ask;
using enginecall::Try;

namespace {

// What the operator sees of the buffer's file, kept so that a load the
// engine refuses can put it back.
struct FileShown
{
    QString name;
    QString path;
    QString drive;
    QString displayed;
    bool fileLoaded = false;
    bool bufferEmpty = true;
    bool dirty = false;
    CBufferSource source;
};

constexpr int kSecureRow = 4;

} // namespace

void frmProgram::FileButton_Click()
{
    ExecuteBufferCommand(0, QString(), -1);
}

bool frmProgram::ExecuteBufferCommand(qint32 command, const QString& fileName, qint32 fileType)
{
    bool result = false;
    QXPgmrControl& engine = m_station.QXProgrammer;
    ProgrammerClass& data = pgmrData();
    std::unique_ptr<frmBufferCmd> window;
    const auto unload = [&] {
        window.reset();
        m_frmBufferCmd = nullptr;
        FileButton->setEnabled(true);
    };
    try {
        window = std::make_unique<frmBufferCmd>(m_station, gMainForm);
        m_frmBufferCmd = window.get();
        bOpen = true;
        FileButton->setEnabled(false);
        while (bOpen) {
            bOK = false;
            const FileShown before{
                data.strFileName,   data.strFilePath,    data.strFileDrive, data.strDisplayedFileName,
                data.blnFileLoaded, data.blnBufferEmpty, bBufferDirty,      BufferSource};
            if (!GetCmdLineDataFile().isEmpty()) {
                window->Form_Load(); // its load takes the command-line file
            } else if (command != 0) {
                window->Form_Load();
                result = window->ExecuteBufferCommand(command, fileName, fileType);
            } else {
                window->Form_Load();
                Ui().ShowModal(window.get());
            }
            // A load answers True only when a file went into the buffer.
            if (command == 1 || command == 6)
                result = false;
            if (bOK) {
                QString fullName = data.FullDataBufferPath();
                qint32 type = FileType;
                qint32 r = 0;
                if (engine.FileTypeTakesRange(type))
                    r = engine.LoadDataFileRange(fullName, type, data.blnClearLoad, data.blnAutoLowAddr,
                                                 data.lngLowAddrLoad, data.lngHighAddrLoad, data.lngBufLoadAddr);
                else
                    r = engine.LoadDataFileAs(fullName, type);
                result = r == 0;
                if (r != 0) {
                    // The buffer is as it was: so is what the operator sees.
                    data.strFileName = before.name;
                    data.strFilePath = before.path;
                    data.strFileDrive = before.drive;
                    data.strDisplayedFileName = before.displayed;
                    data.blnFileLoaded = before.fileLoaded;
                    data.blnBufferEmpty = before.bufferEmpty;
                    bBufferDirty = before.dirty;
                    BufferSource = before.source;
                    // The operator reads the box beside the kept file's line.
                    SetDisplayInfo();
                    AppMsgBox(QStringLiteral("    Error loading the file!     "), vb::vbCritical,
                              QStringLiteral("File Loading"));
                    const QString reason = Ask([&] { return engine.ErrorMessageText(r); }, QString());
                    if (!reason.isEmpty())
                        AddStatusTextLine(reason);
                    if (FileType == FileTypes::FT_STAPL) {
                        Try([&] { engine.RunOption60(false); });
                        gMainForm->QXProgrammer_RequestSetDefaultConfigure();
                        Try([&] { engine.RunOption60(data.bNoviceMode); });
                    }
                }
                data.lngLowAddrSave = 0;
                data.lngHighAddrSave = bufferrules::HighestBufferAddress(engine.BufferSize());
            }
            RefreshAll();
        }
        unload();

        data.lngFileSize = engine.BufferSize();
        if (data.blnFileLoaded)
            SetDeviceConfigureOptions();
        SetDisplayInfo();
        gMainForm->DisableBufferActionsForVexal();
        if (engine.DeviceIsVexal()) {
            // The secure choice the loaded file carries, on the Program and
            // Secure tabs; a choice the list does not offer is left alone.
            const qint32 flag = engine.LoadFileFlag147();
            const qint16 idx = qint16(flag > 0 ? flag - 1 : 0);
            QComboBox* list = cboOperation.value(kSecureRow);
            const qint16 programTab = intActionTabIndex.size() > 1 ? intActionTabIndex[1] : 0;
            const qint16 verifyTab = intActionTabIndex.size() > 2 ? intActionTabIndex[2] : 0;
            const qint16 secureTab = intActionTabIndex.size() > 6 ? intActionTabIndex[6] : 0;
            // The row shows the secure choices while the Program or Secure
            // tab is up; an entry past them is not taken.
            const int shownTab = tabOperation->SelectedIndex();
            const bool rowShowsChoices = list && (shownTab == programTab || shownTab == secureTab);
            const bool listed = !rowShowsChoices || idx < list->count();
            const bool secure = engine.SecureMode();
            if (listed) {
                data.intUserListboxIndex(programTab, kSecureRow, idx);
                data.intUserListboxIndex(secureTab, kSecureRow, idx);
            }
            data.intUserCheckbox(programTab, kSecureRow, qint16(secure ? 1 : 0));
            data.intUserCheckbox(verifyTab, kSecureRow, 0);
            if (list && list->isVisible()) {
                if (shownTab == programTab) {
                    if (listed)
                        list->setCurrentIndex(idx);
                    if (QCheckBox* box = Check1.value(kSecureRow))
                        SetCheckValue(box, qint16(secure ? 1 : 0));
                } else if (shownTab == secureTab && listed) {
                    list->setCurrentIndex(idx);
                }
            }
            SaveCheckBoxValues();
        }
        SetButtonStates();
        if (engine.DataFileTypeCode() == FileTypes::FT_POF) {
            data.blnDeviceSelected = true;
            SetSelectedDevice();
            DisableCheckboxesAsNecessary();
        }
        return result;
    } catch (const AutomationError& error) {
        unload();
        AppMsgBox(error.Description(), vb::vbCritical, QStringLiteral("System Error"));
    } catch (const std::exception& error) {
        unload();
        AppMsgBox(QString::fromLocal8Bit(error.what()), vb::vbCritical, QStringLiteral("System Error"));
    }
    return false;
}
