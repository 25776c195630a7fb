#pragma once

// The directory picker: the caller puts the current folder into SelectedDir,
// names the purpose in the caption, shows it modally and takes SelectedDir
// back. The operator picks a volume, walks the folder list (a single click
// enters a folder) or types a folder; OK returns the text as typed, Cancel
// leaves SelectedDir as it was.

#include "settings/FolderBrowser.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class DirDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DirDialog(QWidget* parent = nullptr);

    QString SelectedDir() const { return m_selectedDir; }
    void SelectedDir(const QString& folder) { m_selectedDir = folder; }
    bool Cancelled() const { return m_cancelled; }

    // Shows the dialog modally through the UI service, loading and
    // activating it first as opening it does.
    int ShowDialog();

    QComboBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QLineEdit* SelectedDirEdit = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void Form_Load();
    void Form_Activate();
    void Drive1_Change();
    void Dir1_Change();
    void Dir1_Click(QListWidgetItem* item);
    void OKButton_Click();
    void CancelButton_Click();

private:
    void fillFolderList();

    FolderBrowser m_browser;
    QString m_selectedDir;
    bool m_cancelled = false;
    bool m_filling = false;
};
