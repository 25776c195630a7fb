// The quantity box's rule and the help topics without a window, and the help
// pages as they are installed beside the program.
#include "TestEnv.h"

#include "mainwindow/HelpTopic.h"
#include "mainwindow/QuantityRule.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

TEST(QuantityRuleTest, TypedTextsBecomeAQuantity)
{
    struct Case
    {
        const char* text;
        bool automatic;
        qint32 last, handler;
        // outcome
        const char* shown;
        qint32 copies;
        bool outOfRange, illegal, put;
    };
    const Case cases[] = {
        {"0", false, 5, 0, "1", 1, true, false, false},
        {"-5", false, 5, 0, "1", 1, true, false, false},
        {"70000", false, 5, 0, "65535", 65535, true, false, false},
        {"65535", false, 5, 0, "65535", 65535, false, false, false},
        // An automatic handler takes more than 65535, and follows the box.
        {"70000", true, 5, 10, "70000", 70000, false, false, true},
        {"250", true, 5, 250, "250", 250, false, false, false},
        // Beyond 32 bits is out of range for either handler, never wrapped.
        {"4294967297", false, 5, 0, "65535", 65535, true, false, false},
        {"99999999999", true, 5, 10, "65535", 65535, true, false, true},
        {"12a", false, 3, 0, "12", 12, false, true, false},
        // A text with no number is ignored: the last accepted number stays.
        {"abc", false, 7, 0, "7", 7, false, true, false},
        // One stray character shows the count kept, as the automatic
        // handler's quantity is shown: the box never hides what runs.
        {"x", false, 3, 0, "3", 3, false, false, false},
        {"x", true, 3, 40, "40", 40, false, false, false},
        {"", false, 3, 0, "", 3, false, false, false},
        {"2.5", false, 1, 0, "2", 2, false, false, false},
        {"3.5", false, 1, 0, "4", 4, false, false, false},
        {"0.4", false, 9, 0, "1", 1, true, false, false},
        {" 12 ", false, 1, 0, "12", 12, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.automatic ? " automatic" : " manual"));
        const QuantityOutcome out = QuantityRule::Check(QString::fromLatin1(c.text), c.automatic, c.last, c.handler);
        EXPECT_EQ(out.text, QString::fromLatin1(c.shown));
        EXPECT_EQ(out.numCopies, c.copies);
        EXPECT_EQ(out.outOfRange, c.outOfRange);
        EXPECT_EQ(out.illegalInput, c.illegal);
        EXPECT_EQ(out.putHandlerQuantity, c.put);
        // What the rule shows is a fixed point: checked again, nothing moves.
        const QuantityOutcome again =
            QuantityRule::Check(out.text, c.automatic, out.numCopies, c.put ? out.numCopies : c.handler);
        EXPECT_EQ(again.text, out.text);
        EXPECT_FALSE(again.outOfRange || again.illegalInput || again.putHandlerQuantity);
    }
}

class HelpTopicTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        root = QDir::cleanPath(tempPath());
        folder = root + "/TarvoHelp";
        ASSERT_TRUE(QDir().mkpath(folder + "/Tarvo"));
        for (const QString& page :
             {folder + "/Tarvo/First_Topic.htm", folder + "/Tarvo/Menus.htm", root + "/secret.htm"}) {
            QFile file(page);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        ASSERT_TRUE(QFile::link(root + "/secret.htm", folder + "/link.htm"));
    }
    QString root, folder;
};

TEST_F(HelpTopicTest, ATopicOpensItsPageOrTheFirstTopicWithTheReason)
{
    struct Case
    {
        QString topic;
        QString opened;
        const char* reason; // "" : the asked topic (or the first) opens without a remark
    };
    const QString first = "Tarvo/First_Topic.htm";
    const Case cases[] = {
        {"", first, ""},
        {"Tarvo/Menus.htm", "Tarvo/Menus.htm", ""},
        {"Tarvo\\Menus.htm", "Tarvo/Menus.htm", ""},
        {"Tarvo/Menus.htm#tools", "Tarvo/Menus.htm", ""},
        {"Tarvo/None.htm#tools", first, "the help folder has no such page"},
        {"../secret.htm", first, "it leaves the help folder"},
        {"Tarvo/../Tarvo/Menus.htm", first, "it leaves the help folder"},
        {"link.htm", first, "it leaves the help folder"},
        {folder + "/Tarvo/Menus.htm", first, "it is an absolute path"},
        {"file:///etc/passwd", first, "it names a URL scheme"},
        {"https://example.com/x.htm", first, "it names a URL scheme"},
        {"Tarvo/None.htm", first, "the help folder has no such page"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.topic.toStdString());
        const HelpPage page = HelpTopic::Resolve(folder, c.topic, first);
        EXPECT_EQ(page.topic, c.opened);
        EXPECT_EQ(page.path, folder + "/" + c.opened);
        EXPECT_EQ(page.anchor, c.topic.contains("Menus.htm#") ? "tools" : "");
        if (*c.reason)
            EXPECT_TRUE(page.fallbackReason.contains(QString::fromLatin1(c.reason)))
                << page.fallbackReason.toStdString();
        else
            EXPECT_TRUE(page.fallbackReason.isEmpty()) << page.fallbackReason.toStdString();
    }
}

// Every link of the installed pages reaches a page (and its anchor) inside
// the same help folder; both editions' first topics are there.
TEST(HelpPagesTest, EveryLinkOfTheInstalledPagesResolves)
{
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
    int links = 0;
    for (const bool oem : {false, true}) {
        const HelpEdition edition = HelpTopic::Edition(oem);
        const QDir folder(BinDir() + "/" + edition.folder);
        SCOPED_TRACE(edition.folder.toStdString());
        ASSERT_TRUE(QFileInfo(folder.filePath(edition.defaultTopic)).isFile());
        QDirIterator pages(folder.path(), {"*.htm"}, QDir::Files, QDirIterator::Subdirectories);
        while (pages.hasNext()) {
            const QString pagePath = pages.next();
            QFile page(pagePath);
            ASSERT_TRUE(page.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(page.readAll());
            for (auto m = href.globalMatch(html); m.hasNext();) {
                const QString link = m.next().captured(1);
                SCOPED_TRACE((pagePath + " -> " + link).toStdString());
                ++links;
                const QString file = link.section('#', 0, 0);
                const QString anchor = link.section('#', 1);
                const QString target =
                    file.isEmpty() ? pagePath : QDir::cleanPath(QFileInfo(pagePath).dir().filePath(file));
                const QString topic = folder.relativeFilePath(target);
                EXPECT_EQ(HelpTopic::Resolve(folder.path(), topic, edition.defaultTopic).topic, topic);
                if (!anchor.isEmpty()) {
                    QFile targetFile(target);
                    ASSERT_TRUE(targetFile.open(QIODevice::ReadOnly));
                    EXPECT_TRUE(QString::fromUtf8(targetFile.readAll()).contains("id=\"" + anchor + "\""));
                }
            }
        }
    }
    EXPECT_GT(links, 0);
}

} // namespace
