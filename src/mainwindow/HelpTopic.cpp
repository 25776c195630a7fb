#include "mainwindow/HelpTopic.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

HelpEdition HelpTopic::Edition(bool oemEdition)
{
    if (oemEdition)
        return {QStringLiteral("marbrixII_win"), QStringLiteral("About_Marbrix_II.htm")};
    return {QStringLiteral("TarvoHelp"), QStringLiteral("Tarvo/First_Topic.htm")};
}

namespace {
// Why a topic cannot be opened as a page of the folder; empty when it can.
QString Refusal(const QDir& folder, const QString& topic)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (scheme.match(topic).hasMatch())
        return QStringLiteral("it names a URL scheme");
    if (QDir::isAbsolutePath(topic))
        return QStringLiteral("it is an absolute path");
    if (topic.split(QLatin1Char('/')).contains(QStringLiteral("..")))
        return QStringLiteral("it leaves the help folder");
    const QFileInfo page(folder.filePath(topic));
    if (!page.isFile())
        return QStringLiteral("the help folder has no such page");
    const QString root = folder.canonicalPath() + QLatin1Char('/');
    if (!page.canonicalFilePath().startsWith(root))
        return QStringLiteral("it leaves the help folder");
    return {};
}
} // namespace

HelpPage HelpTopic::Resolve(const QString& folder, const QString& topic, const QString& defaultTopic)
{
    const QDir dir(folder);
    // A topic written with Windows separators names the same page.
    QString asked = topic.trimmed();
    asked.replace(QLatin1Char('\\'), QLatin1Char('/'));
    HelpPage page;
    page.topic = defaultTopic;
    if (!asked.isEmpty()) {
        // A place inside the page ("page.htm#part") goes with the page.
        const QString file = asked.section(QLatin1Char('#'), 0, 0);
        const QString refusal = Refusal(dir, file);
        if (refusal.isEmpty()) {
            page.topic = file;
            page.anchor = asked.section(QLatin1Char('#'), 1);
        } else
            page.fallbackReason = QStringLiteral("Help topic \"") + topic + QStringLiteral("\" not opened (") + refusal
                + QStringLiteral("); the first topic is shown instead.");
    }
    page.path = QDir::cleanPath(dir.filePath(page.topic));
    return page;
}
