#pragma once

// The Sealbook note dialog: shows a job's (or an auto file's) note history
// and takes the new note that a save adds in front of it. Created for one
// use: set skType, call ShowNote, ShowSave or ShowSaveAs, read bCancel.

#include <QDialog>

class ProgrammerClass;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class frmSealbookNote : public QDialog
{
    Q_OBJECT
public:
    // data: the job configuration that holds the histories; version: the
    // program's version text for the entry.
    frmSealbookNote(ProgrammerClass& data, QString version, QWidget* parent = nullptr);

    bool bRemoveNoteHistory = false;
    qint32 skType = 0;
    bool bCancel = true;

    void ShowNote(qint16 modal);
    void ShowSave(qint16 modal);
    void ShowSaveAs(qint16 modal);

    QPlainTextEdit* txtNote = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QCheckBox* chkRemoveHistory = nullptr;
    QPlainTextEdit* txtHistory = nullptr;
    QLabel* lblHistory = nullptr;
    QLabel* lblNote = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();

    // One history entry: date and time, revision, author, then the note as
    // typed; lines end in CR LF.
    static QString NoteEntry(const QString& date, const QString& time, const QString& version, const QString& author,
                             const QString& note);

private:
    void Form_Load();
    void show(qint16 modal);

    ProgrammerClass& m_data;
    QString m_version;
    QString m_history; // the history shown, CR LF line ends kept
    qint32 m_mode = 3; // 1 view, 2 save, 3 save as
    bool m_loaded = false;
};
