#pragma once

// "Load File Into Buffer": the operator (or, with nothing on screen, an
// automation client or the command line) chooses a data file, the format to
// read it as, which part of it to load and where in the buffer, whether to
// clear the buffer first, byte or word addressing and the fill value. The
// dialog loads nothing itself: its commit stores the choices in the job
// configuration and the engine and tells the operation window to load.

#include "LoadAddressCheck.h"

#include <QDialog>

class Station;

class DefaultBufferValue;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QXPgmrControl;
class ProgrammerClass;

class frmBufferLoad : public QDialog
{
    Q_OBJECT
public:
    explicit frmBufferLoad(Station& station, QWidget* parent = nullptr);
    ~frmBufferLoad() override;

    // Stores the choices and tells the operation window to load; typeCode
    // 255 takes the format selected in the list. False when nothing is to
    // be loaded (no file, or the range refused).
    bool CommitDlg(qint32 typeCode);
    // Takes an existing file as the chosen one; False (nothing changed) for
    // an empty name or one that names no file.
    bool UpdateDialogSettings(const QString& path);
    void Form_Activate();
    // The file browser (or, with a name or for command 6, that name).
    void BrowseForDataPattern(const QString& fileName, qint32 command);
    QString SelectedFile() const { return m_selectedPath; }
    // Set before Form_Load: the dialog then does not show the loaded file.
    void SetBrowseForDataPattern(bool& browse) { m_browseMode = browse; }
    // The dialog's load: settings, lists and boxes.
    void Form_Load();

    void OKButton_Click();
    void CancelButton_Click();
    void Browse_Click();
    void oUpdateFileInfo_Click();
    void LoadFileAs_Click();
    void LoadEntireFile_Click();
    void AutoAddrLoad_Click();
    void DecimalButton_Click();
    void HexadecimalButton_Click();

    QLabel* Label1;
    QLineEdit* oFileNameText;
    QLabel* Label2;
    QLabel* DateText;
    QLabel* Label3;
    QLabel* SizeText;
    QLabel* Label4;
    QLabel* TypeText;
    QPushButton* oUpdateFileInfo;
    QPushButton* Browse;
    QLabel* LoadFileAsLabel;
    QComboBox* LoadFileAs;
    QGroupBox* BufLoadOptions;
    QCheckBox* LoadEntireFile;
    QCheckBox* ClearBuf;
    QCheckBox* AutoAddrLoad;
    QLabel* LowAddrLabel;
    QLineEdit* LowAddrLoad;
    QLabel* HighAddrLabel;
    QLineEdit* HighAddrLoad;
    QLabel* BufAddrLabel;
    QLineEdit* BufAddrLoad;
    QLabel* AddrSizeLabel;
    QRadioButton* ByteAddrSize;
    QRadioButton* WordAddrSize;
    QGroupBox* DisplayFmt;
    QRadioButton* DecimalButton;
    QRadioButton* HexadecimalButton;
    DefaultBufferValue* m_oDefaultBufferValueCtrl;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    static const QString kNoFileText;

    // Escape and the window's close box cancel as the Cancel button does.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Station& m_station;
    void ShowOpenDialog(const QString& fileName, qint32 command);
    void ShowFileInfo(const QString& path);
    void FillFileTypeList();
    void SelectFileType(qint32 code);
    qint32 SelectedFileType() const;
    void InitLoadControls();
    void ShowSavedAddresses();
    void ResetAddressBoxes();
    void ShowLoadedFile();
    void ApplySelectedFile();
    void EnableLoadOptions();
    void DisableLoadOptions();
    void DisableFileRange();
    void ShowEngineRadix();
    void ConvertAddressBoxes();
    void SwitchRadix(int typedLength);
    void ShowFileSize();
    void AddressChanged(QLineEdit* box, qint32& last);
    bool hex() const;

    QXPgmrControl& engine() const;
    ProgrammerClass& data() const;

    LoadAddressCheck m_check;
    QString m_folder;
    QString m_selectedPath;
    qint32 m_parsedLow = 0;
    qint32 m_parsedHigh = 0;
    qint32 m_parsedBuffer = 0;
    qint32 m_lastLow = 0;
    qint32 m_lastHigh = 0;
    qint32 m_lastBuffer = 0;
    bool m_browsed = false;
    bool m_browseMode = false;
    qint32 m_keptFill = 0;
};
