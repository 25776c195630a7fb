#pragma once

// "Save File From Buffer": writes the engine's data buffer, whole or an
// address range, to a file in one of the formats the engine can write. The
// dialog chooses the file, checks the entries, makes the folder, asks before
// overwriting, has the engine write, and records the saved file and the
// save settings in the job configuration.

#include "device/NumberEntry.h"

#include <QDialog>

class Station;

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QXPgmrControl;
class ProgrammerClass;

class frmBufferSave : public QDialog
{
    Q_OBJECT
public:
    explicit frmBufferSave(Station& station, QWidget* parent = nullptr);
    ~frmBufferSave() override;

    // The position of a type name in the engine's list (upper case on both
    // sides), -1 when none matches.
    qint32 GetFileTypeIndex(const QVariant& name);
    // 2 saves to the recorded file without showing anything; 3 (and any
    // command with no file recorded) browses first and then shows the dialog.
    void Save(qint16 command);
    void Form_Activate();
    QString SelectedFile() const { return m_filePath; }

    void Browse_Click();
    void OKButton_Click();
    void CancelButton_Click();
    void SaveFileAs_Click();
    void SaveEntireBuf_Click();

    QLabel* Label1;
    QLineEdit* FileNameText;
    QPushButton* Browse;
    QLabel* AddrSizeLabel;
    QRadioButton* ByteAddrSize;
    QRadioButton* WordAddrSize;
    QGroupBox* DisplayFmt;
    QRadioButton* HexadecimalButton;
    QRadioButton* DecimalButton;
    QGroupBox* SaveOptions;
    QLabel* SaveFileAsLabel;
    QComboBox* SaveFileAs;
    QCheckBox* SaveEntireBuf;
    QLabel* LowAddrLabel;
    QLineEdit* LowAddrSave;
    QLabel* HighAddrLabel;
    QLineEdit* HighAddrSave;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    static constexpr qint32 kLimit = 268435455;

protected:
    void showEvent(QShowEvent* event) override;

private:
    Station& m_station;
    void Form_Load();
    void SaveBufferToFile(qint16 command);
    void SetFullRange();
    void SetRadix(bool hex);
    void EnableRangeControls(bool enable);
    void EnableSaveOptions(bool enable);
    qint32 SelectedFileType() const;
    qint32 ReadAddress(const QLineEdit* box) const;

    QXPgmrControl& engine() const;
    ProgrammerClass& data() const;

    NumberEntry m_low;
    NumberEntry m_high;
    QString m_filePath;
    QString m_initialFolder;
    bool m_browsed = false;
    bool m_overwriteConfirmed = false;
};
