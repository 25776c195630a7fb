#include "frmJobSummary.h"

#include "engine/QXPgmrControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "platform/AppInfo.h"
#include "platform/EngineCall.h"
#include "platform/PrintTarget.h"
#include "platform/Twips.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"
#include "shell/ShellUtilities.h"
#include "shell/StartUp.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QSaveFile>
#include <QTextEdit>
#include <algorithm>
#include <cmath>

using appinfo::App;
using enginecall::Try;

namespace {

constexpr qint32 kMinimumSize = 1500;
constexpr qint32 kMargin = 120;
constexpr qint32 kButtonWidth = 1215;
constexpr qint32 kButtonHeight = 375;
constexpr qint32 kRightMargin = 17000;

void PlaceTwips(QWidget* control, qint32 left, qint32 top, qint32 width, qint32 height)
{
    control->setGeometry(twips::ToPixels(left), twips::ToPixels(top), twips::ToPixels(width), twips::ToPixels(height));
}

} // namespace

frmJobSummary::frmJobSummary(JobSummaryInputs inputs, QWidget* parent)
    : QDialog(parent),
      m_inputs(std::move(inputs))
{
    CreateControls();
    Form_Load();
}

void frmJobSummary::CreateControls()
{
    setObjectName(QStringLiteral("frmJobSummary"));
    setWindowTitle(QStringLiteral("Job Summary"));
    rtfReport = new QTextEdit(this);
    rtfReport->setObjectName(QStringLiteral("rtfReport"));
    rtfReport->setReadOnly(true);
    rtfReport->setAcceptRichText(true);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnPrint = new QPushButton(QStringLiteral("&Print"), this);
    btnPrint->setObjectName(QStringLiteral("btnPrint"));
    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    for (QPushButton* button : {btnOK, btnPrint, cmdSave})
        button->resize(twips::ToPixels(kButtonWidth), twips::ToPixels(kButtonHeight));
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOK_Click(); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrint_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    resize(twips::ToPixels(9600), twips::ToPixels(7200));
}

void frmJobSummary::Form_Load()
{
    QTextDocument* document = rtfReport->document();
    JobSummaryReport::PrepareDocument(document);
    rtfReport->setLineWrapMode(QTextEdit::FixedPixelWidth);
    rtfReport->setLineWrapColumnOrWidth(twips::ToPixels(kRightMargin));

    strLogDir = qEnvironmentVariable("QXELOG");
    strUser = qEnvironmentVariable("USER");
    m_inputs.logDir = strLogDir;
    m_inputs.user = strUser;

    m_report = std::make_unique<JobSummaryReport>(document, m_inputs);
    m_report->BuildReport();
    rtfReport->moveCursor(QTextCursor::Start);
    FitToReport();
    if (m_report->RecordAttempted() && !m_report->RecordWritten()) {
        const QString message =
            QStringLiteral("The job record could not be written to %1").arg(m_report->RecordError());
        WriteLogInfo(message, true);
        AppMsgBox(message, vb::vbOKOnly + vb::vbExclamation, QStringLiteral("Job Summary"));
    }
    WriteLogInfo(ReportText(), true);
}

void frmJobSummary::FitToReport()
{
    // The frame and scroll bar widths are the style's, known once polished.
    ensurePolished();
    rtfReport->ensurePolished();
    QTextDocument* document = rtfReport->document();
    // No line of the report reaches the right margin: the box is made as
    // wide as its widest line, so it scrolls sideways only when the window
    // cannot show that line.
    const int lines = int(std::ceil(document->idealWidth() + 2 * document->documentMargin()));
    rtfReport->setLineWrapColumnOrWidth(std::min(lines, twips::ToPixels(kRightMargin)));
    const int textWidth = rtfReport->lineWrapColumnOrWidth();
    const int textHeight = int(std::ceil(document->documentLayout()->documentSize().height()));

    // The screen the operator works on; its room less the window's frame
    // (not known before the window shows: a title bar and borders of the
    // usual sizes).
    const QWidget* anchor = QApplication::activeWindow();
    const QScreen* screen = anchor && anchor != this ? anchor->screen() : this->screen();
    QSize room(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (screen) {
        const int titleBar = std::max(32, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this));
        const int border = 2 * std::max(4, style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this));
        room = screen->availableGeometry().size() - QSize(border, titleBar + border);
    }

    // The box's frame, and room for its cursor past the text's end.
    const int frame = 2 * rtfReport->frameWidth() + 4;
    // Room for both scroll bars as well: a box whose bars once showed keeps
    // them while the text fits only without them.
    const int scrollBar = rtfReport->verticalScrollBar()->sizeHint().width();
    const int besideText = frame + twips::ToPixels(2 * kMargin) + scrollBar;
    const int belowText = frame + twips::ToPixels(3 * kMargin) + btnOK->height() + scrollBar;
    // The whole report when the screen has room for it; otherwise as much
    // as it has, and the box scrolls.
    const int width = std::min(std::max(this->width(), textWidth + besideText), room.width());
    const int height = std::min(textHeight + belowText, room.height());
    resize(width, std::max(height, twips::ToPixels(kMinimumSize)));
}

QString frmJobSummary::ReportText() const
{
    QString text = rtfReport->toPlainText();
    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return text;
}

void frmJobSummary::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmJobSummary::Form_Resize()
{
    if (m_resizing)
        return;
    m_resizing = true;
    const qint32 minimum = twips::ToPixels(kMinimumSize);
    if (height() < minimum || width() < minimum)
        resize(std::max(width(), minimum), std::max(height(), minimum));
    const qint32 innerWidth = twips::FromPixels(width());
    const qint32 innerHeight = twips::FromPixels(height());
    const qint32 buttonWidth = twips::FromPixels(btnOK->width());
    const qint32 buttonHeight = twips::FromPixels(btnOK->height());
    PlaceTwips(rtfReport, kMargin, kMargin, innerWidth - 2 * kMargin, innerHeight - 3 * kMargin - buttonHeight);
    const qint32 top = innerHeight - buttonHeight - kMargin;
    const qint32 okLeft = innerWidth - buttonWidth - kMargin;
    const qint32 printLeft = okLeft - buttonWidth - kMargin;
    const qint32 saveLeft = printLeft - buttonWidth - kMargin;
    PlaceTwips(btnOK, okLeft, top, buttonWidth, buttonHeight);
    PlaceTwips(btnPrint, printLeft, top, buttonWidth, buttonHeight);
    PlaceTwips(cmdSave, saveLeft, top, buttonWidth, buttonHeight);
    m_resizing = false;
}

void frmJobSummary::btnOK_Click()
{
    HandOn();
    // Only OK hands the report on; the title bar's close just ends the showing.
    accept();
}

void frmJobSummary::HandOn()
{
    // The setting is read as a number: "1", "1.0" and " 1 " all switch it on.
    // A station never configured saves, as Configure shows it.
    bool numeric = false;
    const double enabled = GetSettingValue(App(), QStringLiteral("Application"), QStringLiteral("AutoSaveSK_Enable"),
                                           QString::fromLatin1(ProgrammerClass::kAutoSaveSKEnableDefault))
                               .toString()
                               .trimmed()
                               .toDouble(&numeric);
    if (numeric && enabled == 1 && m_inputs.engine) {
        const QString text = JobSummaryReport::LaidOutText(ReportText());
        Try([&] { m_inputs.engine->AutoSaveJobSummary(text); });
    }
}

void frmJobSummary::btnPrint_Click()
{
    QString error;
    const std::unique_ptr<PrintTarget> target = CreatePrintTarget(&error);
    if (!target) {
        Ui().MsgBox(QStringLiteral("Printing is not available: ") + error, vb::vbExclamation, QStringLiteral("Print"));
        return;
    }
    const bool hasSelection = rtfReport->textCursor().hasSelection();
    if (!Ui().ShowPrinter(*target, PrintDialogRequest{QStringLiteral("Print"), hasSelection}))
        return;
    // With the selection as the print range only the selected text prints.
    const bool selectionOnly = target->GetRange() == PrintTarget::Range::Selection;
    JobSummaryReport::Print(*rtfReport->document(), selectionOnly ? rtfReport->textCursor() : QTextCursor(),
                            target->Device());
}

void frmJobSummary::cmdSave_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save Job Summary");
    request.filter = QtFileFilter(QStringLiteral("QX Job Summary File (*.txt)|*.txt|All Files (*.*)|*.*"));
    request.defaultExtension = QStringLiteral("txt");
    const QString path = Ui().GetSaveFileName(request);
    if (path.isEmpty())
        return;
    // Written whole or not at all: a failed save leaves an earlier file as it was.
    QSaveFile file(path);
    const QByteArray bytes =
        (QStringLiteral("\"") + JobSummaryReport::LaidOutText(ReportText()) + QStringLiteral("\"\r\n")).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        AppMsgBox(QStringLiteral("The job summary could not be saved to %1: %2").arg(path, file.errorString()),
                  vb::vbOKOnly + vb::vbExclamation, QStringLiteral("Job Summary"));
    }
}
