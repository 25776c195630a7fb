// The directory picker through its controls: Cancel keeps the folder given,
// OK returns what was typed, a folder that is not there opens quietly, and a
// single click enters a folder.
#include "TestEnv.h"

#include "settings/DirDialog.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>

namespace {

using DirDialogTest = TarvoTest;

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
    dialog.Drive1->setCurrentIndex(0);
    if (drive != "/") {
        EXPECT_EQ(dialog.SelectedDirEdit->text(), "/");
    }
    EXPECT_EQ(FolderBrowser::DriveOf("/media/usb/jobs", {"/", "/media/usb", "/media/us"}), "/media/usb");
    EXPECT_EQ(FolderBrowser::DriveOf("/media/usbstick", {"/", "/media/usb"}), "/");
}

} // namespace
