#include "mainwindow/LocalLabelEditorLink.h"

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Long enough for an editor busy printing; a dead editor fails at connect.
constexpr int kAnswerWaitMs = 10000;
constexpr int kConnectWaitMs = 2000;

// Waits for the socket to be ready for events; false on time-out or error.
bool WaitFor(int fd, short events, int timeoutMs)
{
    pollfd p{fd, events, 0};
    int n;
    do
        n = ::poll(&p, 1, timeoutMs);
    while (n < 0 && errno == EINTR);
    return n > 0 && (p.revents & events);
}

} // namespace

LocalLabelEditorLink::LocalLabelEditorLink() = default;
LocalLabelEditorLink::~LocalLabelEditorLink() { Disconnect(); }

void LocalLabelEditorLink::Disconnect()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_pending.clear();
}

QString LocalLabelEditorLink::SocketPath(const QString& title)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    return QDir(folder).filePath(title);
}

bool LocalLabelEditorLink::Start(const QString& program, const QString& workingFolder, QString& reason)
{
    const QFileInfo file(program);
    if (!file.exists()) {
        reason = QStringLiteral("no such file");
        return false;
    }
    if (!file.isFile() || !file.isExecutable()) {
        reason = QStringLiteral("not an executable file");
        return false;
    }
    // The working folder is the child's alone: QProcess sets it after the
    // fork, so the station's current folder stays as it is.
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(workingFolder);
    m_pid = 0;
    if (!process.startDetached(&m_pid)) {
        reason = process.errorString();
        return false;
    }
    return true;
}

bool LocalLabelEditorLink::Activate(const QString& title, QString& reason)
{
    Disconnect();
    const QByteArray path = QFile::encodeName(SocketPath(title));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof(address.sun_path))) {
        reason = QStringLiteral("the socket path is too long");
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0) {
        reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // A local connect is made at once, or refused with EAGAIN while the
    // editor's queue is full: that is tried again until the wait is over.
    QElapsedTimer waited;
    waited.start();
    int rc;
    while ((rc = ::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address))) < 0
           && (errno == EAGAIN || errno == EINTR) && waited.elapsed() < kConnectWaitMs)
        ::usleep(10000);
    if (rc < 0 && errno == EINPROGRESS) {
        int error = ETIMEDOUT;
        socklen_t length = sizeof(error);
        if (WaitFor(m_fd, POLLOUT, kConnectWaitMs))
            ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length);
        errno = error;
        rc = error == 0 ? 0 : -1;
    }
    if (rc < 0) {
        reason = QString::fromLocal8Bit(std::strerror(errno));
        Disconnect();
        return false;
    }
    return true;
}

bool LocalLabelEditorLink::ReadLine(QByteArray& line)
{
    for (;;) {
        const qsizetype end = m_pending.indexOf('\n');
        if (end >= 0) {
            line = m_pending.left(end);
            m_pending.remove(0, end + 1);
            return true;
        }
        if (!WaitFor(m_fd, POLLIN, kAnswerWaitMs))
            return false;
        char buffer[4096];
        const ssize_t n = ::read(m_fd, buffer, sizeof(buffer));
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return false;
        m_pending.append(buffer, n);
    }
}

bool LocalLabelEditorLink::SendKeys(const QString& keys)
{
    if (m_fd < 0)
        return false;
    const QByteArray line = keys.toUtf8() + '\t' + QUrl::toPercentEncoding(m_clipboard) + '\n';
    for (qsizetype sent = 0; sent < line.size();) {
        const ssize_t n = ::send(m_fd, line.constData() + sent, size_t(line.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            if (errno == EAGAIN && !WaitFor(m_fd, POLLOUT, kConnectWaitMs))
                return false;
            continue;
        }
        if (n <= 0)
            return false;
        sent += n;
    }
    QByteArray answer;
    if (!ReadLine(answer))
        return false;
    SetClipboard(QUrl::fromPercentEncoding(answer.trimmed()));
    return true;
}

void LocalLabelEditorLink::SetClipboard(const QString& text)
{
    m_clipboard = text;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::clipboard()->setText(text);
}
