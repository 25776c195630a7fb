// The operation window's option commit, the engine's set-up requests, the
// tab refresh and the window caption.

#include "operation/frmProgram.h"

#include "ActionTabs.h"
#include "CRefresh.h"
#include "TabStrip.h"
#include "engine/EngineCodes.h"
#include "mainwindow/frmMain.h"
#include "platform/AutomationError.h"
#include "platform/EngineCall.h"
#include "settings/ProgrammerClass.h"
#include "shell/StartUp.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

constexpr qint32 kFlagMask = qint32(0xFFFFF000u);
constexpr qint16 kEncryptIndex = 1;
constexpr qint16 kDecryptIndex = 2;
// The option row that lists the execute variants, and the rows the
// encrypt and decrypt corrections look at.
constexpr int kVariantRow = 2;
constexpr int kProgramVerifyRow = 3;
constexpr int kReadRow = 2;
constexpr int kVerifyRow = 3;

// The operation code of a row's selected entry (0 when none is selected).
qint32 SelectedCode(const QComboBox* combo)
{
    return combo->itemData(combo->currentIndex()).toInt();
}

bool HasSelection(const QComboBox* combo)
{
    return combo->count() > 0 && combo->currentIndex() >= 0;
}

// Models whose title is the model and the port only, and the one that shows
// its caption part between them; any other shows both caption parts.
const QStringList kPlainTitleModels = {QStringLiteral("RB-310"), QStringLiteral("RA-210"), QStringLiteral("RB-320"),
                                       QStringLiteral("RC-410"), QStringLiteral("RC-420")};
const QString kCaptionPartModel = QStringLiteral("RD-510");

const QString kGap = QStringLiteral("  ");

// The title's programmer part, read from the engine.
QString ProgrammerTitle(QXPgmrControl& engine)
{
    QString model = engine.ProgrammerModelName();
    const qint32 port = engine.PortIndex();
    if (port == 0)
        return model + kGap + QStringLiteral("Demo Mode");

    const QString portText = engine.IsUsbProgrammer() ? QStringLiteral("USB") : QStringLiteral("LPT%1").arg(port);
    const qsizetype slash = model.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        model = model.left(slash);
    if (kPlainTitleModels.contains(model))
        return model + kGap + portText;
    const QString captionPart = engine.ProgrammerCaptionPart();
    if (model == kCaptionPartModel)
        return model + kGap + captionPart + kGap + portText;
    // The model number is a 32-bit value on the wire: read it whole rather
    // than through the 16-bit accessor, which would cut larger numbers.
    const qint32 captionNumber = qint32(engine.GetByName(QStringLiteral("CaptionPart269")).toLongLong());
    return model + QLatin1Char('/') + QString::number(captionNumber) + QLatin1Char('/') + captionPart + kGap + portText;
}

// The operation window's tabs and option rows, as the tab refresh walks them.
class RefreshHost : public CRefresh::Host
{
public:
    explicit RefreshHost(frmProgram& window)
        : m_window(window)
    {
    }

    int TabCount() const override { return m_window.tabOperation->Count(); }
    int SelectedTab() const override { return m_window.tabOperation->SelectedIndex(); }
    void SelectTab(int index) override { m_window.tabOperation->Select(index); }
    void TabBeforeClick() override
    {
        qint16 cancel = 1;
        m_window.tabOperation_BeforeClick(cancel);
    }
    void TabClick() override { m_window.tabOperation_Click(); }
    void SaveCheckBoxValues() override { m_window.SaveCheckBoxValues(); }
    int RowCount() override
    {
        return std::min<int>(m_window.pgmrData().GetMaximumNumberOfOptions(), m_window.cboOperation.size());
    }
    int EntryCount(int row) const override { return m_window.cboOperation[row]->count(); }
    QString EntryText(int row, int entry) const override { return m_window.cboOperation[row]->itemText(entry); }
    qint32 EntryCode(int row, int entry) const override { return m_window.cboOperation[row]->itemData(entry).toInt(); }
    void SetListIndex(int row, int entry) override { m_window.cboOperation[row]->setCurrentIndex(entry); }
    qint16 CheckValue(int row) const override { return frmProgram::CheckValue(m_window.Check1[row]); }
    void SetCheckValue(int row, qint16 value) override { frmProgram::SetCheckValue(m_window.Check1[row], value); }
    bool ItemDataSupported(qint32 code) override { return m_window.ItemDataSupported(code); }
    void CommitComboBoxItemData(qint32 code) override { m_window.CommitComboBoxItemData(code); }

private:
    frmProgram& m_window;
};

} // namespace

CComboBoxData& frmProgram::ComboBoxData()
{
    if (!m_oComboBoxData)
        m_oComboBoxData = std::make_unique<CComboBoxData>(Engine());
    return *m_oComboBoxData;
}

bool frmProgram::ItemDataSupported(qint32 code)
{
    return ComboBoxData().Supported(code);
}

void frmProgram::CommitComboBoxItemData(qint32 code)
{
    ComboBoxData().Commit(code, true);
}

void frmProgram::TabsContents(const QString& optionName, bool enable, bool& found)
{
    RefreshHost host(*this);
    CRefresh(host, ComboBoxData()).TabsContents(optionName, enable, found);
}

void frmProgram::SetOperationOptions()
{
    CComboBoxData& options = ComboBoxData();
    const int rows = pgmrData().GetMaximumNumberOfOptions();
    if (m_asOptionText.size() < rows + 1)
        m_asOptionText.resize(rows + 1);

    // The texts of the checked rows are packed from 0: k never passes i, so
    // clearing element i never loses a text already placed.
    int k = 0;
    for (int i = 0; i < rows; ++i) {
        m_asOptionText[i].clear();
        if (i >= cboOperation.size() || !HasSelection(cboOperation[i]))
            continue;
        const qint32 code = SelectedCode(cboOperation[i]);
        // A greyed step runs too.
        const bool on = CheckValue(Check1[i]) != CheckBoxValue::Cleared;
        if (on)
            m_asOptionText[k++] = cboOperation[i]->currentText();

        options.Commit(code, on);
        if ((code & kFlagMask) == OperationCode::EncryptFlag)
            options.SetCombinedEncrypt(on);
        // Encryption alone: no verify and no test with it.
        if (code == OperationCode::EncryptFlag) {
            Engine().VerifyMode(0);
            Engine().TestMode(0);
        }
        if ((code & kFlagMask) == OperationCode::DecryptFlag)
            options.SetDecrypt(on);
        if ((code & 0xF00) == OperationCode::SecureVariantBase)
            options.SetSecureSpecial(on, code);
        if ((code & 0xF00) == OperationCode::SecureVariantTestOnceBase)
            options.SetSecureSpecialTestOnce(on, code);
        if ((code & qint32(0xFFFFFF00u)) == OperationCode::SecureVariantTestTwiceBase)
            options.SetSecureSpecialTestTwice(on, code);
    }

    // A tab whose chosen entry has no encrypt (decrypt) flag runs without
    // it, whatever an earlier commit left in the engine.
    const qint16 action = WhichAction(qint16(tabOperation->SelectedIndex()));
    const auto flagOf = [this](int row) { return SelectedCode(cboOperation[row]) & kFlagMask; };
    if (action == ActionTabs::kProgram && cboOperation.size() > kProgramVerifyRow
        && CheckValue(Check1[kProgramVerifyRow]) != CheckBoxValue::Cleared
        && HasSelection(cboOperation[kProgramVerifyRow]) && flagOf(kProgramVerifyRow) != OperationCode::EncryptFlag)
        Engine().CombinedEncryptDecrypt(kEncryptIndex, qint16(0));
    if (action == ActionTabs::kRead && cboOperation.size() > kReadRow && HasSelection(cboOperation[kReadRow])
        && flagOf(kReadRow) != OperationCode::DecryptFlag)
        Engine().CombinedEncryptDecrypt(kDecryptIndex, qint16(0));
    if (action == ActionTabs::kVerify && cboOperation.size() > kVerifyRow && HasSelection(cboOperation[kVerifyRow])
        && flagOf(kVerifyRow) != OperationCode::DecryptFlag)
        Engine().CombinedEncryptDecrypt(kDecryptIndex, qint16(0));
}

void frmProgram::SetupOperation()
{
    QXPgmrControl& engine = Engine();
    const qint32 banks = engine.BankCount();
    const qint32 width = engine.SetWidth();
    const qint32 setMode = engine.SetMode();
    const bool setsAndBanks = engine.DeviceSupportsSetsAndBanks();

    // The window's position and bank count only for a sets-and-banks device
    // run in single mode; in sets mode the engine walks them itself.
    qint32 position = 0;
    qint32 bank = 0;
    if ((banks >= 2 || width >= 2) && setMode == 0 && setsAndBanks) {
        position = std::max(cboDatPos->currentIndex(), 0);
        bank = std::max(cboBankNum->currentIndex(), 0);
    }
    SetOperationOptions();
    engine.CurrentDataPosition(position);
    engine.CurrentBank(bank);
}

void frmProgram::SetupSpecialCmd(qint32& command, bool& isSpecial, bool& outOfRange)
{
    isSpecial = false;
    if (cboOperation.size() <= kVariantRow)
        return;
    QComboBox* variants = cboOperation[kVariantRow];
    const auto selectedVariant = [&] { return SelectedCode(variants) & OperationCode::kStepMask; };

    if (pgmrData().udtHandlerType != 0) {
        // With a handler the checksum variant is run here, its messages
        // kept off the screen, and the engine is told which variant it was.
        if (variants->isHidden() || variants->currentText().toUpper() != QStringLiteral("VEXAL_CHKSUM"))
            return;
        QXPgmrControl& engine = Engine();
        const qint32 count = engine.ExecuteVariantCount();
        const qint32 variant = selectedVariant();
        if (variant >= count) {
            outOfRange = true;
            return;
        }
        const bool showErrors = engine.ShowErrorMessages();
        engine.ShowErrorMessages(false);
        try {
            engine.ExecuteDeviceCommand(qint32(-1), true, true);
        } catch (const AutomationError&) {
            // The operator's message setting survives a failed command.
            engine.ShowErrorMessages(showErrors);
            throw;
        }
        engine.ShowErrorMessages(showErrors);
        isSpecial = true;
        command = variant;
        return;
    }

    if (!bSpecialConcurrent)
        return;
    // The list's own enabled state, not the window's (which a run disables).
    if (variants->currentText() == QStringLiteral("P_Check") && variants->isEnabledTo(variants->parentWidget())) {
        command = 0;
        isSpecial = true;
        return;
    }
    if (!HasSelection(variants)) {
        outOfRange = true;
        return;
    }
    const qint32 count = Engine().ExecuteVariantCount();
    const qint32 variant = selectedVariant();
    if (variant < count) {
        command = variant;
        isSpecial = true;
    } else {
        outOfRange = true;
    }
}

void frmProgram::UpdateFormCaption(bool bShowVersion)
{
    Q_UNUSED(bShowVersion);
    QString caption;
    try {
        caption = ProgrammerTitle(Engine());
    } catch (const AutomationError&) {
        // A title is not worth failing a reload or an engine event over.
        return;
    }

    const ProgrammerClass& data = pgmrData();
    if (data.udtHandlerType == 1)
        caption += kGap + QStringLiteral("RH-600 Handler");
    else if (data.udtHandlerType == 2)
        caption += kGap + QStringLiteral("RH-800 Handler");
    setWindowTitle(caption);

    if (!data.strJobName.isEmpty()) {
        setWindowTitle(windowTitle() + QStringLiteral("   [Job - ") + data.strJobName + QLatin1Char(']'));
        // The handler keeps the job's name whether or not it is the one in use.
        enginecall::Try([&] { m_station.QXH950AutoHandler.HandlerJobName(data.strJobName); });
    }
    if (data.bStartInOperatorMode)
        setWindowTitle(windowTitle() + kGap + QStringLiteral("<Operator Mode>"));
    AddSuffix(m_sCaptionSuffix, false);
}

void frmProgram::AddSuffix(const QString& text, bool append)
{
    m_sCaptionSuffix = append ? m_sCaptionSuffix + text : text;
    setWindowTitle(windowTitle() + m_sCaptionSuffix);
}
