#include "AppInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

bool gbChiseloEdition = false;
QString gUserName;

namespace appinfo {

namespace {

QString& TitleOverride()
{
    static QString title;
    return title;
}

// argv[0] as the program was invoked. A link named "chiselo" to the program
// must run as Chiselo, so the invoked name counts, not the resolved file.
QString InvokedName()
{
    if (QCoreApplication::instance()) {
        const QStringList arguments = QCoreApplication::arguments();
        if (!arguments.isEmpty() && !arguments.first().isEmpty())
            return arguments.first();
    }
    QFile cmdline(QStringLiteral("/proc/self/cmdline"));
    if (cmdline.open(QIODevice::ReadOnly)) {
        const QByteArray all = cmdline.readAll();
        const QByteArray argv0 = all.left(all.indexOf('\0'));
        if (!argv0.isEmpty())
            return QString::fromLocal8Bit(argv0);
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

bool NeedsQuotes(const QString& argument)
{
    return argument.isEmpty() || argument.contains(QLatin1Char(' ')) || argument.contains(QLatin1Char('"'));
}

} // namespace

QString UserName()
{
    const passwd* entry = getpwuid(geteuid());
    return entry && entry->pw_name ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

QString ExeName()
{
    return QFileInfo(InvokedName()).fileName();
}

QString ApplicationTitle()
{
    if (!TitleOverride().isEmpty())
        return TitleOverride();
    QString title = ExeName();
    if (!title.isEmpty())
        title[0] = title.at(0).toUpper();
    return title;
}

void SetApplicationTitleForTests(const QString& title)
{
    TitleOverride() = title;
}

QString ProgramFolder()
{
    // The real file's folder: the plug-ins lie beside it, also when the
    // program was started through a link.
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path();
}

QString RawCommandLine(const QStringList& arguments)
{
    QStringList parts;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!NeedsQuotes(argument)) {
            parts.append(argument);
            continue;
        }
        // Each double quote toggles the parser's quoting: a quote of the
        // argument is written twice, so that its blanks stay quoted and the
        // argument stays one token. (The parser drops every double quote.)
        QString quoted = argument;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        parts.append(QLatin1Char('"') + quoted + QLatin1Char('"'));
    }
    return parts.join(QLatin1Char(' '));
}

QString RawCommandLine()
{
    return RawCommandLine(QCoreApplication::arguments());
}

StartMode GetStartMode(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (arguments.at(i).compare(QLatin1String("-Embedding"), Qt::CaseInsensitive) == 0)
            return StartMode::Automation;
    return StartMode::Standalone;
}

StartMode GetStartMode()
{
    return GetStartMode(QCoreApplication::arguments());
}

SingleInstance::SingleInstance(const QString& name, const QString& lockFolder)
{
    QString folder = lockFolder.isEmpty() ? qEnvironmentVariable("XDG_RUNTIME_DIR") : lockFolder;
    if (lockFolder.isEmpty() && (folder.isEmpty() || !QFileInfo(folder).isDir()))
        folder = QDir::tempPath();
    m_path = QDir(folder).filePath(name + QStringLiteral(".lock"));
}

SingleInstance::~SingleInstance()
{
    if (m_fd < 0)
        return;
    // An empty file names no holder; the lock itself goes with the descriptor.
    [[maybe_unused]] const int emptied = ::ftruncate(m_fd, 0);
    ::close(m_fd);
}

bool SingleInstance::TryAcquire()
{
    if (m_fd >= 0)
        return true;
    // An flock lock goes with its holder: one whose process has died is free
    // again, however long the station ran, and taking it costs no disk sync.
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_heldElsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        return false;
    }
    // The file names its holder, for whoever looks.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    [[maybe_unused]] const bool named =
        ::ftruncate(fd, 0) == 0 && ::write(fd, pid.constData(), size_t(pid.size())) == pid.size();
    m_fd = fd;
    return true;
}

QString SingleInstance::LockFilePath() const
{
    return m_path;
}

} // namespace appinfo
