#include "TestEnv.h"

#include "shell/ShellUtilities.h"

#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <climits>

namespace {

class ShellUtilitiesTest : public TarvoTest
{
protected:
    // Every file and folder below a folder, for "nothing was created" checks.
    static QStringList Tree(const QString& root)
    {
        QStringList entries;
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            entries.append(it.next());
        entries.sort();
        return entries;
    }
};

struct HexCase
{
    const char* text;
    qint32 value;
    const char* quoted; // the text the "Input Error" box quotes; nullptr: no box
};

} // namespace

TEST_F(ShellUtilitiesTest, HexTextToLong)
{
    const HexCase cases[] = {
        {"", 0, nullptr},
        {"ffff", 65535, nullptr},
        {"&H8000", 32768, nullptr},
        {"&H10000", 65536, nullptr},
        {"&HFFFFFFFF", -1, nullptr},
        {"&H80000000", INT_MIN, nullptr},
        {"&H1F", 31, nullptr},
        {"&h1f", 31, nullptr},
        {"&H0FFFF", 65535, nullptr},
        {"&H000000001", 1, nullptr}, // leading zeros are no significant digits
        {"7", 7, nullptr},
        {"&O17", 15, nullptr},
        {"&HXYZ", 0, "XYZ"},
        {"&hxyz", 0, "XYZ"},
        {"&H1G", 0, "1G"},
        {"&H123456789", 0, "123456789"}, // nine significant digits
        {"&H", 0, ""},
        {"&O8", 0, "8"},
        {"G", 0, nullptr}, // too short to quote anything: no box
        {"&", 0, nullptr},
    };
    for (const HexCase& c : cases) {
        const qsizetype boxesBefore = ui().Shown().size();
        if (c.quoted)
            ui().Answer(vb::vbOK);
        EXPECT_EQ(HexTextToLong(c.text), c.value) << c.text;
        if (c.quoted) {
            ASSERT_EQ(ui().Shown().size(), boxesBefore + 1) << c.text;
            EXPECT_EQ(ui().Shown().last(),
                      ScriptedUiService::LogLine("Input Error",
                                                 QStringLiteral("The data '%1' is not valid! Please check your input")
                                                     .arg(c.quoted),
                                                 QString::number(vb::vbCritical), "1"))
                << c.text;
        } else {
            EXPECT_EQ(ui().Shown().size(), boxesBefore) << c.text;
        }
    }
}

TEST_F(ShellUtilitiesTest, UnsignedToDouble)
{
    const std::pair<qint32, double> cases[] = {
        {-1, 4294967295.0}, {0, 0.0}, {5, 5.0}, {INT_MIN, 2147483648.0}, {INT_MAX, 2147483647.0}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(UnsignedToDouble(value), expected) << value;
}

TEST_F(ShellUtilitiesTest, CreateDirectoryPathOfExistingPathCreatesNothing)
{
    const QString root = tempPath("existing");
    ASSERT_TRUE(QDir().mkpath(root + "/a/b"));
    const QStringList before = Tree(root);
    EXPECT_TRUE(CreateDirectoryPath(root + "/a/b"));
    EXPECT_TRUE(CreateDirectoryPath(root + "/a/b/"));
    EXPECT_TRUE(CreateDirectoryPath(""));
    EXPECT_EQ(Tree(root), before);
}

TEST_F(ShellUtilitiesTest, CreateDirectoryPathCreatesEveryMissingFolder)
{
    const QString root = tempPath("new");
    EXPECT_TRUE(CreateDirectoryPath(root + "/one/two/three"));
    EXPECT_TRUE(QFileInfo(root + "/one/two/three").isDir());
    // Folders written with backslashes are folders here too.
    EXPECT_TRUE(CreateDirectoryPath(root + "\\DATALOG\\2024\\"));
    EXPECT_TRUE(QFileInfo(root + "/DATALOG/2024").isDir());
}

TEST_F(ShellUtilitiesTest, CreateDirectoryPathThatCannotExistFailsQuietly)
{
    const QString root = tempPath("blocked");
    QDir().mkpath(root);
    QFile file(root + "/plain.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QStringList before = Tree(root);

    EXPECT_FALSE(CreateDirectoryPath(root + "/plain.txt/sub/deeper")); // no folder below a file
    EXPECT_TRUE(CreateDirectoryPath(root + "/plain.txt"));             // the path exists, as a file
    // A drive letter names a drive that does not exist here; no folder "Z:"
    // may appear in the working folder instead.
    const QString savedCurrent = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root));
    EXPECT_FALSE(CreateDirectoryPath("Z:\\Data\\Logs"));
    EXPECT_FALSE(CreateDirectoryPath("Z:"));
    QDir::setCurrent(savedCurrent);
    EXPECT_EQ(Tree(root), before);
    EXPECT_TRUE(ui().Shown().isEmpty());
}

TEST_F(ShellUtilitiesTest, CompactPathKeepsTheFileNameAndFits)
{
    QWidget form;
    QLineEdit box(&form);
    const QFontMetrics metrics(box.font());
    const QString path = "/home/operator/projects/customer/very/long/folder/names/pattern.hex";

    EXPECT_EQ(CompactPathToFit(path, &form, &box, false, metrics.horizontalAdvance(path)), path); // fits already
    for (int width : {120, 200, 300}) {
        const QString shortened = CompactPathToFit(path, &form, &box, false, width);
        EXPECT_LE(metrics.horizontalAdvance(shortened), width) << shortened.toStdString();
        EXPECT_TRUE(shortened.endsWith("/pattern.hex")) << shortened.toStdString();
        // The front of the path is kept up to the ellipsis.
        const qsizetype ellipsis = shortened.indexOf("...");
        EXPECT_GT(ellipsis, 0) << shortened.toStdString();
        EXPECT_TRUE(path.startsWith(shortened.left(ellipsis))) << shortened.toStdString();
    }
    // Windows-style separators keep their file name too.
    const QString windowsPath = "C:\\Program Files\\Corvane\\Tarvo\\Patterns\\Customer\\image.bin";
    const QString shortened = CompactPathToFit(windowsPath, &form, &box, false, 150);
    EXPECT_TRUE(shortened.endsWith("\\image.bin")) << shortened.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(shortened), 150);
    // Too narrow even for the file name: the name itself is shortened.
    EXPECT_LE(metrics.horizontalAdvance(CompactPathToFit(path, &form, &box, false, 40)), 40);
    // Width -1 without a text box: the control's width.
    box.resize(180, box.sizeHint().height());
    EXPECT_EQ(CompactPathToFit(path, &form, &box, false, -1), CompactPathToFit(path, &form, &box, false, 180));
}

TEST_F(ShellUtilitiesTest, SetCompactPathTextFitsTheTextBox)
{
    QWidget form;
    QLineEdit box(&form);
    const QFontMetrics metrics(box.font());
    const QString path = "/home/operator/projects/customer/very/long/folder/names/pattern.hex";

    box.resize(200, box.sizeHint().height());
    SetCompactPathText(&box, &form, path);
    const QString narrow = box.text();
    EXPECT_TRUE(narrow.endsWith("/pattern.hex")) << narrow.toStdString();
    EXPECT_LT(metrics.horizontalAdvance(narrow), 200 - 4); // inside the frame and margins

    box.resize(350, box.sizeHint().height());
    SetCompactPathText(&box, &form, path);
    EXPECT_GT(box.text().size(), narrow.size()); // a wider box shows more of the path
    EXPECT_TRUE(box.text().endsWith("/pattern.hex"));
}

TEST_F(ShellUtilitiesTest, LoadedFormsAreFoundWithoutRegardToCase)
{
    auto program = std::make_unique<QWidget>();
    program->setObjectName("frmUtilProgram");
    EXPECT_TRUE(IsFormLoaded("frmUtilProgram"));
    EXPECT_TRUE(IsFormLoaded("FRMUTILPROGRAM")); // loaded though never shown
    EXPECT_FALSE(IsFormLoaded("frmUtilNone"));

    // A dialog owned by a window, and a form inside the main frame.
    QMainWindow main;
    auto* area = new QMdiArea;
    main.setCentralWidget(area);
    auto* dialog = new QDialog(&main);
    dialog->setObjectName("frmUtilOptions");
    auto* buffer = new QWidget;
    buffer->setObjectName("frmUtilBuffer");
    QMdiSubWindow* frame = area->addSubWindow(buffer);
    EXPECT_TRUE(IsFormLoaded("frmutiloptions"));
    EXPECT_TRUE(IsFormLoaded("FrmUtilBuffer"));
    frame->setObjectName("frmUtilBuffer"); // the frame named like its form still counts once
    EXPECT_EQ(CountLoadedForms("frmUtilBuffer"), 1);

    auto secondProgram = std::make_unique<QWidget>();
    secondProgram->setObjectName("FrmUtilProgram");
    EXPECT_EQ(CountLoadedForms("frmutilprogram"), 2);
    program.reset();
    secondProgram.reset();
    delete frame;
    EXPECT_FALSE(IsFormLoaded("frmUtilProgram"));
    EXPECT_FALSE(IsFormLoaded("frmUtilBuffer"));
}
