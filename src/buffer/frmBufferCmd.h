#pragma once

// "Data Pattern": what the engine's data buffer holds (file name, date, size,
// type, checksum), the checksum method and type, the display radix and the
// fill value, and the buffer commands: open, save, edit and clear. The
// operation window makes one for every buffer command and either shows it or
// hands it the command (ExecuteBufferCommand); OK and Cancel end the
// operation window's loop by clearing its bOpen.

#include <QDialog>

class Station;

class DefaultBufferValue;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QXPgmrControl;
class ProgrammerClass;
class frmProgram;

class frmBufferCmd : public QDialog
{
    Q_OBJECT
public:
    explicit frmBufferCmd(Station& station, QWidget* parent = nullptr);
    ~frmBufferCmd() override;

    // The window's load (once): settings, lists and fields, and the
    // command-line data file when one is named.
    void Form_Load();

    // Byte and word addressing follow the file type the list's selected
    // entry carries: offered for Intel HEX and Motorola S-records, with the
    // engine's choice; cleared and disabled for any other type. Needs no
    // loaded window.
    static void UpdateAddrSizeControls(QXPgmrControl& engine, QComboBox* fileTypes, QLabel* label,
                                       QRadioButton* byteOption, QRadioButton* wordOption);
    void Init();
    void InitFileInfo();
    // Puts an existing file at the top of the recent files.
    void UpdateFileMenu(const QString& path);
    // Runs one command on the hidden window: 1 load (browse, or the given
    // file), 2 save, 3 save as, 4 edit, 5 clear, 6 load the given file as the
    // given type; any other code only commits the window's settings.
    bool ExecuteBufferCommand(qint32 command, const QString& fileName, qint32 fileType);
    void DisableBufferButtonActionsForVexal();

    void OKButton_Click();
    void CancelButton_Click();
    void Open_Click();
    void Save_Click();
    void Edit_Click();
    void Clear_Click();
    void CSumMethod_Click();
    void CSumType_Click();
    void DecimalButton_Click();
    void HexadecimalButton_Click();

    QGroupBox* Frame1;
    QLabel* TypeLabel;
    QComboBox* CSumType;
    QLabel* MethodLabel;
    QComboBox* CSumMethod;
    QGroupBox* CurrentBufContents;
    QLabel* Label1;
    QLineEdit* FileNameText;
    QLabel* Label2;
    QLabel* DateText;
    QLabel* Label3;
    QLabel* SizeText;
    QLabel* Label4;
    QLabel* TypeText;
    QLabel* CSUMLabel;
    QLabel* CheckSumText;
    QGroupBox* DisplayFmt;
    QRadioButton* DecimalButton;
    QRadioButton* HexadecimalButton;
    QPushButton* Edit;
    QPushButton* Clear;
    QPushButton* Save;
    QPushButton* Open;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    DefaultBufferValue* m_oDefaultBufferValueCtrl;

    // Escape and the window's close box cancel as the Cancel button does.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    Station& m_station;
    void FillChecksumMethodList();
    void FillChecksumTypeList();
    void ShowEngineRadix();
    bool LoadDataPattern(qint32 command, const QString& fileName, qint32 fileType);
    void SaveDataPattern(qint16 mode);
    void SaveChecksumSettings();
    void CommitDisplayRadix();
    void ApplyRadixToOperationWindow();
    void RefreshFileInfo();
    void ShowSize();
    void ShowChecksum(bool shown);

    QXPgmrControl& engine() const;
    static frmProgram& operationWindow();
    ProgrammerClass& data() const;

    qint32 m_keptChecksumType = 0;
    qint32 m_keptChecksumMethod = 0;
    bool m_inRefresh = false;
    bool m_loaded = false;
};
