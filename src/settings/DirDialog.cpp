#include "settings/DirDialog.h"

#include "platform/UiService.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

DirDialog::DirDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DirDialog"));
    setWindowTitle(QStringLiteral("Path"));

    auto* selectedLabel = new QLabel(QStringLiteral("Selected Directory:"), this);
    SelectedDirEdit = new QLineEdit(this);
    SelectedDirEdit->setObjectName(QStringLiteral("SelectedDirEdit"));
    auto* browseLabel = new QLabel(QStringLiteral("Browse:"), this);
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1 = new QListWidget(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(selectedLabel, 0, 0, 1, 2);
    grid->addWidget(SelectedDirEdit, 1, 0, 1, 2);
    grid->addWidget(browseLabel, 2, 0, 1, 2);
    grid->addWidget(Drive1, 3, 0);
    grid->addWidget(OKButton, 3, 1);
    grid->addWidget(Dir1, 4, 0, 2, 1);
    grid->addWidget(CancelButton, 4, 1, Qt::AlignTop);

    // Every choice of a drive fills the folder list, the drive already shown
    // too (it shows that drive's top again).
    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
    connect(Dir1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { Dir1_Click(item); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
}

int DirDialog::ShowDialog()
{
    Form_Load();
    Form_Activate();
    return Ui().ShowModal(this);
}

void DirDialog::Form_Load()
{
    SelectedDirEdit->setText(m_selectedDir);
    m_cancelled = false;
    const QSignalBlocker block(Drive1);
    Drive1->clear();
    Drive1->addItems(FolderBrowser::Drives());
}

void DirDialog::Form_Activate()
{
    SelectedDirEdit->setText(m_selectedDir);
    // There is always something to browse: a folder that is not set, or not
    // there (any more), opens the nearest folder that is, else the user's
    // home. The text box keeps the folder as given.
    m_browser.SetNearestFolder(m_selectedDir);
    const int drive = Drive1->findText(FolderBrowser::DriveOf(m_browser.Folder(), FolderBrowser::Drives()));
    if (drive >= 0) {
        const QSignalBlocker block(Drive1);
        Drive1->setCurrentIndex(drive);
    }
    fillFolderList();
}

void DirDialog::Drive1_Change()
{
    if (m_browser.SetFolder(Drive1->currentText()))
        Dir1_Change();
}

void DirDialog::Dir1_Change()
{
    fillFolderList();
    SelectedDirEdit->setText(m_browser.Folder());
}

void DirDialog::Dir1_Click(QListWidgetItem* item)
{
    // A single click enters the folder.
    if (!item || m_filling)
        return;
    if (m_browser.Enter(item->text()))
        Dir1_Change();
}

void DirDialog::OKButton_Click()
{
    m_cancelled = false;
    m_selectedDir = SelectedDirEdit->text();
    hide();
    accept();
}

void DirDialog::CancelButton_Click()
{
    m_cancelled = true;
    hide();
    reject();
}

void DirDialog::fillFolderList()
{
    m_filling = true;
    Dir1->clear();
    Dir1->addItems(m_browser.Entries());
    m_filling = false;
}
