#pragma once

// The serialization settings dialog: simple (sequential serial numbers at a
// buffer address), complex (a custom program makes them) or STAPL (index
// ranges), or none. It reads the engine's settings when it opens, checks
// what the operator entered and hands everything to the engine in one call.
// One default instance lives for the whole process; its settings survive
// from one opening to the next.

#include <QDialog>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QXPgmrControl;

class SerializationFrm : public QDialog
{
    Q_OBJECT
public:
    // What the dialog needs from the station; the main window installs it.
    class Host
    {
    public:
        virtual ~Host() = default;
        virtual QXPgmrControl& Engine() = 0;
        // The text of the main window's quantity box.
        virtual QString QuantityText() = 0;
        virtual QString WorkingDirectoryAtLaunch() = 0;
        // A status line of the operation window.
        virtual void AddStatusTextLine(const QString& text) = 0;
    };

    // The one default instance (created on first use, parentless).
    static SerializationFrm& Default();
    // Installs the station's host (nullptr removes it).
    static void SetHost(Host* host);

    explicit SerializationFrm(QWidget* parent = nullptr);
    ~SerializationFrm() override;

    // Opening: selecting an option loads the dialog first, then the option's
    // handler builds its layout; ShowDialog loads it when needed, shows it
    // modally and unloads it when it closes.
    void SelectOption(QRadioButton* option);
    int ShowDialog();
    bool IsLoaded() const { return m_loaded; }

    // Switches the open dialog to the STAPL layout.
    void StaplSerialization();

    // handlers
    void OK_Click();
    void OK2_Click();
    void Cancel_Click();
    void Cancel2_Click();
    void BrowseDataFile_Click();
    void BrowseLogFile_Click();
    void BrowseSerialProgram_Click();
    // The field tips shown or hidden as the mouse moves over a control
    // (the window itself for its background).
    void MouseOver(QWidget* control);

    // public variables
    bool IsConcurrent = false;
    QString sSerialDataFile;
    QString sSerialLogFile;

    qint16 SerializationMode() const { return iSerializationMode; }
    qint16 SerialNumSize() const { return iSerialNumSize; }
    qint16 VerifySerNumValue() const { return iVerifySerNum; }
    qint16 HexDisplay() const { return iHexDisplay; }
    // The window's size in twips.
    qint32 HeightTwips() const;
    qint32 WidthTwips() const;

    // controls
    QGroupBox* Frame1 = nullptr;
    QRadioButton* None = nullptr;
    QRadioButton* SimpleRadio = nullptr;
    QRadioButton* ComplexRadio = nullptr;
    QGroupBox* oSerializationFilesFrame = nullptr;
    QLabel* SerialDataFileLabel = nullptr;
    QLineEdit* Serial_DataFile = nullptr;
    QPushButton* BrowseDataFile = nullptr;
    QLabel* SerialLogFileLabel = nullptr;
    QLineEdit* SerialLogFile = nullptr;
    QPushButton* BrowseLogFile = nullptr;
    QGroupBox* Actions = nullptr;
    QCheckBox* VerifySerNum = nullptr;
    QCheckBox* Attempt_Retry = nullptr;
    QGroupBox* SimpleFrame = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* optHex = nullptr;
    QRadioButton* optDec = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Buffer_Address = nullptr;
    QLabel* Label5 = nullptr;
    QComboBox* SerialNumSizeCombo = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* Bytes2SkipCombo = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* ByteOrderCombo = nullptr;
    QGroupBox* ComplexFrame = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* SerializeProgram = nullptr;
    QPushButton* BrowseSerialProgram = nullptr;
    QLabel* lblFirstSerNum = nullptr;
    QLineEdit* First_Ser_Num = nullptr;
    QCheckBox* chkResumeSn = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Last_Ser_Num = nullptr;
    QGroupBox* oStaplSerializationIndexRangeFrame = nullptr;
    QLabel* oIndexRangeLabel = nullptr;
    QLineEdit* oIndexRange = nullptr;
    QLabel* oIndexRangeLabel2 = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;
    QPushButton* OK2 = nullptr;
    QPushButton* Cancel2 = nullptr;
    QPlainTextEdit* txtVerifySerialNumberTip = nullptr;
    QPlainTextEdit* txtAttemptRetryTip = nullptr;
    QPlainTextEdit* txtSerialDataFileTip = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The mouse over the window's own background.
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void EnsureLoaded();
    void Form_Load();
    void InitializeControls();
    void Unload();
    Host& TheHost() const;
    QXPgmrControl& Engine() const;

    // mirrors
    void TextChanged(QLineEdit* box, QString& member, const bool* browsing);
    void CheckClicked(QCheckBox* box, qint16& member);
    void VerifySerNum_Click();
    void chkResumeSn_Click();
    void ApplyResumeState();
    void optHex_Click();
    void optDec_Click();
    bool ConvertAddressRadix(bool toHex);

    // layouts
    void None_Click();
    void SimpleRadio_Click();
    void ComplexRadio_Click();
    void SimpleOrComplexLayout(bool complex);
    void ArrangeStaplLayout();
    void SetOptionFrame(qint32 left, qint32 width, qint32 noneLeft, qint32 simpleLeft, qint32 complexLeft);

    // checks
    bool ValidateBufferAddress();
    bool ValidateDataFile();
    bool ValidateLogFile();
    bool ValidateComplexSettings();
    bool ValidateIndexRange();
    QString AddDefaultExtension(const QString& path, const QString& extension);
    void ErrorBox(const QString& text, QWidget* focus, bool empty = false);
    bool QuantityAboveOne() const;

    static void Place(QWidget* control, qint32 left, qint32 top, qint32 width, qint32 height);
    static qint32 Top(const QWidget* control);
    static qint32 Left(const QWidget* control);
    static qint32 Height(const QWidget* control);
    void ResizeTwips(qint32 width, qint32 height);

    QButtonGroup* m_typeGroup = nullptr;
    QButtonGroup* m_radixGroup = nullptr;
    bool m_loaded = false;
    bool m_restoringRadix = false;

    qint16 iSerialNumSize = 1;
    qint32 lBytesToSkip = 0;
    qint16 iByteOrder = 0;
    qint16 iVerifySerNum = 0;
    qint16 iHexDisplay = 0;
    qint16 iAttemptRetry = 0;
    qint16 iResumeSn = 0;
    QString sFirstSerNum;
    QString sLastSerNum;
    QString sSerialProgram;
    bool bBrowsingDataFile = false;
    bool bBrowsingProgram = false;
    bool bBrowsingLogFile = false;
    bool bLoading = false;
    qint16 iSerializationMode = 0;
};
