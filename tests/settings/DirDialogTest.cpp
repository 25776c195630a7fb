// The directory picker through its controls: Cancel keeps the folder given,
// OK returns what was typed, a folder that is not there opens quietly, and a
// single click enters a folder.
#include "TestEnv.h"

#include "settings/DirDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace {

using DirDialogTest = TarvoTest;

// Chooses a drive as the operator does: opens the list and clicks the entry.
void ChooseDrive(QComboBox* drives, int index)
{
    drives->showPopup();
    QAbstractItemView* view = drives->view();
    const QModelIndex entry = view->model()->index(index, 0);
    view->scrollTo(entry);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
}

QStringList Entries(const QListWidget* list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    return entries;
}

QListWidgetItem* Entry(QListWidget* list, const QString& text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

TEST_F(DirDialogTest, CancelKeepsTheFolderGivenAndOkReturnsTheTextAsTyped)
{
    const QString given = tempPath("given");
    QDir().mkpath(given);
    struct Case
    {
        bool ok;
        QString typed;
        QString expected;
    };
    const QString missing = tempPath("not/there/yet");
    const Case cases[] = {{false, "/somewhere/else", given}, {true, missing, missing}, {true, given, given}};
    for (const Case& c : cases) {
        DirDialog dialog;
        dialog.SelectedDir(given);
        dialog.Form_Load();
        dialog.Form_Activate();
        EXPECT_EQ(dialog.SelectedDirEdit->text(), given);
        dialog.SelectedDirEdit->setText(c.typed);
        c.ok ? dialog.OKButton_Click() : dialog.CancelButton_Click();
        EXPECT_EQ(dialog.SelectedDir(), c.expected) << c.typed.toStdString();
        EXPECT_EQ(dialog.Cancelled(), !c.ok);
    }
}

TEST_F(DirDialogTest, AFolderOnAVolumeThatIsNotThereOpensWithoutAMessage)
{
    DirDialog dialog;
    dialog.SelectedDir("/media/no-such-volume/jobs");
    dialog.Form_Load();
    dialog.Form_Activate(); // the scripted UI fails the test on any box
    EXPECT_EQ(dialog.SelectedDirEdit->text(), "/media/no-such-volume/jobs");
    EXPECT_EQ(dialog.Drive1->itemText(0), "/"); // the volumes are listed all the same
    dialog.OKButton_Click();
    EXPECT_EQ(dialog.SelectedDir(), "/media/no-such-volume/jobs");
}

TEST_F(DirDialogTest, ASingleClickEntersAFolderAndTheDrivesAreTheMountedVolumes)
{
    const QString root = tempPath("tree");
    QDir().mkpath(root + "/reports/2024");
    QDir().mkpath(root + "/logs");

    DirDialog dialog;
    dialog.SelectedDir(root);
    ui().OnModal([&](QDialog*) {
        EXPECT_EQ(dialog.SelectedDirEdit->text(), root);
        EXPECT_EQ(dialog.Dir1->count(), 3); // "..", logs, reports
        dialog.Dir1_Click(Entry(dialog.Dir1, "reports"));
        EXPECT_EQ(dialog.SelectedDirEdit->text(), root + "/reports");
        EXPECT_NE(Entry(dialog.Dir1, "2024"), nullptr);
        dialog.Dir1_Click(Entry(dialog.Dir1, ".."));
        EXPECT_EQ(dialog.SelectedDirEdit->text(), root);
        dialog.Dir1_Click(Entry(dialog.Dir1, "logs"));
        dialog.OKButton_Click();
        return 1;
    });
    dialog.ShowDialog();
    EXPECT_EQ(dialog.SelectedDir(), root + "/logs");
    EXPECT_FALSE(dialog.Cancelled());

    // The drive list holds the mounted volumes and shows the one the folder
    // is on; choosing a drive moves the folder list there.
    const QString drive = FolderBrowser::DriveOf(root, FolderBrowser::Drives());
    EXPECT_EQ(dialog.Drive1->currentText(), drive);
    ChooseDrive(dialog.Drive1, 0);
    EXPECT_EQ(dialog.SelectedDirEdit->text(), "/");
    EXPECT_EQ(Entries(dialog.Dir1), QDir("/").entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name));
    EXPECT_EQ(FolderBrowser::DriveOf("/media/usb/jobs", {"/", "/media/usb", "/media/us"}), "/media/usb");
    EXPECT_EQ(FolderBrowser::DriveOf("/media/usbstick", {"/", "/media/usb"}), "/");
}

TEST_F(DirDialogTest, AnEmptyOrMissingFolderOpensTheNearestFolderThereAndEveryDriveChoiceFillsTheList)
{
    const QString home = QDir::homePath();
    QDir().mkpath(home + "/reports");
    const QString tree = tempPath("tree");
    QDir().mkpath(tree + "/jobs/2024");
    QDir().mkpath(tree + "/logs");
    struct Case
    {
        QString given;
        QString shown; // the folder the list opens
    };
    // An empty folder is the default of both folder settings.
    const Case cases[] = {{"", home},
                          {tree + "/jobs/gone/deeper", tree + "/jobs"},
                          {tree + "/logs", tree + "/logs"},
                          {"/no-such-top/jobs", "/"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given.toStdString());
        DirDialog dialog;
        dialog.SelectedDir(c.given);
        ui().OnModal([&](QDialog*) {
            // The text box keeps the folder as given; the list has the
            // nearest folder that is there, to walk from.
            EXPECT_EQ(dialog.SelectedDirEdit->text(), c.given);
            QDir shown(c.shown);
            QStringList expected = shown.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
            if (!shown.isRoot())
                expected.prepend("..");
            EXPECT_EQ(Entries(dialog.Dir1), expected);
            EXPECT_EQ(dialog.Drive1->currentText(), FolderBrowser::DriveOf(c.shown, FolderBrowser::Drives()));
            // Choosing the drive already shown shows its top.
            ChooseDrive(dialog.Drive1, dialog.Drive1->currentIndex());
            EXPECT_EQ(dialog.SelectedDirEdit->text(), dialog.Drive1->currentText());
            EXPECT_FALSE(Entries(dialog.Dir1).isEmpty());
            dialog.CancelButton_Click();
            return 0;
        });
        dialog.ShowDialog();
        EXPECT_EQ(dialog.SelectedDir(), c.given);
    }
}

} // namespace
