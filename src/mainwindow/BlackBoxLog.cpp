#include "BlackBoxLog.h"

#include "VersionStrings.h"
#include "engine/H950HdlrControl.h"
#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"
#include "platform/UiService.h"
#include "settings/cRegistry.h"
#include "shell/ShellUtilities.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

const QString kLogFileName = QStringLiteral("BlackBox.log");
const QString kFallbackFileName = QStringLiteral("qx.dat");
const QString kDirectoryPathsKey = QStringLiteral("Software\\Corvane\\Tarvo\\Directory Paths");
constexpr qint64 kRotateAbove = 1048576;
constexpr int kArchiveCount = 160;

// The next line moves the log to an archive first.
bool g_rotationPending = true;
blackbox::JobHeaderSource g_jobHeader;
// The job header's own lines never start another header (a device or file
// name may contain the words), and a line that fails while the failure box is
// up (a silent engine turns the box into a status line that may come back
// here) does not open a second box.
bool g_inJobHeader = false;
bool g_inFailureBox = false;

void ToStderr(const QString& line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

void WriteJobHeader()
{
    static QXPgmrControl noEngine; // a detached control: every read fails and counts as 0
    QXPgmrControl* engine = HostEngine();
    const blackbox::JobHeaderSource& job = g_jobHeader;
    g_inJobHeader = true;
    WriteLogInfo(LogVersionLine(engine ? *engine : noEngine, false), false);
    WriteLogInfo(job.operatorMode && job.operatorMode() ? QStringLiteral("Operator Mode")
                                                        : QStringLiteral("Supervisor Mode"),
                 false);
    WriteLogInfo(QStringLiteral("Device: ") + (job.deviceInfo ? job.deviceInfo() : QString()), true);
    WriteLogInfo(QStringLiteral("Buffer: ") + (job.bufferInfo ? job.bufferInfo() : QString()), true);
    g_inJobHeader = false;
}

// The archive the log moves to: the first free number, else the one with the
// oldest date (the lower number on equal dates, number 0 when none is older
// than now).
int ChooseArchive(const QDir& folder)
{
    int chosen = 0;
    QDateTime oldest = QDateTime::currentDateTime();
    for (int n = 0; n < kArchiveCount; ++n) {
        const QFileInfo archive(folder.filePath(QStringLiteral("qx%1.log").arg(n)));
        if (!archive.exists())
            return n;
        const QDateTime date = archive.lastModified();
        if (date < oldest) {
            chosen = n;
            oldest = date;
        }
    }
    return chosen;
}

void Rotate(const QDir& folder)
{
    const QString log = folder.filePath(kLogFileName);
    if (!QFileInfo::exists(log))
        return;
    const QString archive = folder.filePath(QStringLiteral("qx%1.log").arg(ChooseArchive(folder)));
    // rename(2) replaces the old archive in the same step. When the move
    // fails, the log stays where it is with every line it holds, and the
    // lines go on being appended to it.
    std::rename(QFile::encodeName(log).constData(), QFile::encodeName(archive).constData());
}

enum class AppendResult { Written, NotOpened, WriteFailed };

// Appends to "BlackBox.log", or to "qx.dat" when the log does not open.
AppendResult Append(const QDir& folder, const QByteArray& bytes)
{
    for (const QString& name : {kLogFileName, kFallbackFileName}) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::Append))
            continue;
        const bool written = file.write(bytes) == bytes.size() && file.flush();
        file.close();
        return written ? AppendResult::Written : AppendResult::WriteFailed;
    }
    return AppendResult::NotOpened;
}

// Creates the engine's folder and the default log folder, but only when the
// log goes to the default folder: a folder named in the settings is never
// created by the program.
void EnsureLogFolder(const QString& folder, const QString& defaultFolder)
{
    if (folder != defaultFolder)
        return;
    QDir().mkpath(QFileInfo(defaultFolder).path());
    QDir().mkpath(defaultFolder);
}

struct LogFolders
{
    QString folder;
    QString defaultFolder;
};

LogFolders ReadLogFolders()
{
    LogFolders folders;
    folders.defaultFolder = blackbox::GetDefaultLogFolder();
    cRegistry reg;
    folders.folder = reg.ValueEx(cRegistry::HKEY_LOCAL_MACHINE, kDirectoryPathsKey, QStringLiteral("Log"),
                                 cRegistry::REG_SZ, folders.defaultFolder)
                         .toString();
    return folders;
}

} // namespace

namespace blackbox {

void SetJobHeaderSource(JobHeaderSource source) { g_jobHeader = std::move(source); }

void RequestRotation() { g_rotationPending = true; }

QString GetDefaultLogFolder()
{
    QXPgmrControl* engine = HostEngine();
    if (!engine)
        return {};
    try {
        const QString engineFolder = engine->EngineDirectory();
        return engineFolder.isEmpty() ? QString() : QDir(engineFolder).filePath(QStringLiteral("DATALOG"));
    } catch (const AutomationError&) {
        return {};
    }
}

QString GetLogFolder() { return ReadLogFolders().folder; }

} // namespace blackbox

void WriteLogInfo(const QString& text, bool bTimeStamp)
{
    if (!g_inJobHeader && text.contains(QLatin1String("Job Starts"), Qt::CaseInsensitive))
        WriteJobHeader();

    const QString line =
        bTimeStamp ? GeneralDateText(QDateTime::currentDateTime()) + QStringLiteral("  ") + text : text;

    const LogFolders folders = ReadLogFolders();
    // Without a main window's engine and without a configured folder there is
    // no log folder at all: there is nothing to retry.
    if (folders.folder.isEmpty()) {
        ToStderr(line);
        return;
    }
    if (!QFileInfo::exists(folders.folder))
        EnsureLogFolder(folders.folder, folders.defaultFolder);
    const QDir folder(folders.folder);

    if (g_rotationPending) {
        g_rotationPending = false;
        Rotate(folder);
    }

    const QByteArray bytes = (line + QStringLiteral("\r\n")).toUtf8();
    AppendResult result = Append(folder, bytes);
    while (result == AppendResult::NotOpened && !g_inFailureBox) {
        g_inFailureBox = true;
        // Cancel is the default button, so a scripted station that takes the
        // default answer is not held in a loop of retries.
        const int answer = AppMsgBox(QStringLiteral("Cannot create BlackBox log file."),
                                     vb::vbRetryCancel | vb::vbDefaultButton2,
                                     QStringLiteral("Hard Drive Access Error"));
        g_inFailureBox = false;
        if (answer != vb::vbRetry)
            break;
        result = Append(folder, bytes);
    }
    if (result != AppendResult::Written)
        ToStderr(line);

    if (QFileInfo(folder.filePath(kLogFileName)).size() > kRotateAbove)
        g_rotationPending = true;
}

void SetHandlerStateInfo(qint32 handlerType, const QString& serialNumber, H950HdlrControl& handler)
{
    try {
        if (handlerType == 0) {
            handler.HandlerCommand1001();
        } else if (handlerType == 1 || handlerType == 2) {
            handler.SerialNumber(serialNumber);
            handler.HandlerCommand1000();
        }
    } catch (const AutomationError&) {
    }
}
