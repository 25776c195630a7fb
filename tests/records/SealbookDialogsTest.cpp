// The Sealbook dialogs through their controls, over an engine of the test's
// own: the password change with its refusals in order and its busy state,
// the operator's password prompt, the options dialog (what reaches the
// engine and the job configuration, and when), and the note history.

#include "ReportFixture.h"

#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "records/frmOperatorPwd.h"
#include "records/frmSKPwd.h"
#include "records/frmSealbookConfigure.h"
#include "records/frmSealbookNote.h"
#include "settings/ProgrammerClass.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

// An engine that keeps one Sealbook password and records what it is asked.
class SealbookDialogsTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        auto control = std::make_unique<ScriptedEngine>();
        script = control.get();
        engine.Attach(std::move(control));
        script->On(QXPgmrId::HasSealbookPassword,
                   [this](InvokeKind, QVariantList&) { return VbBool(!password.isEmpty()); });
        script->On(QXPgmrId::CheckSealbookPassword, [this](InvokeKind, QVariantList& args) {
            calls << "Check(" + args.value(0).toString() + ")";
            return VbBool(args.value(0).toString() == password);
        });
        script->On(QXPgmrId::ChangeSealbookPassword, [this](InvokeKind, QVariantList& args) {
            calls << "Change(" + args.value(0).toString() + ", " + args.value(1).toString() + ")";
            if (duringChange)
                duringChange();
            if (failChange)
                throw AutomationError(5, "QXPgmr", "The engine lost the programmer.");
            if (!refuseChange)
                password = args.value(1).toString();
            return VbBool(!refuseChange);
        });
        script->On(QXPgmrId::SealbookConfigure210, [this](InvokeKind, QVariantList& args) {
            QStringList text;
            for (const QVariant& a : args)
                text << (a.typeId() == QMetaType::Bool ? QString::number(a.toBool() ? -1 : 0) : a.toString());
            calls << "Configure210(" + text.join(", ") + ")";
            if (failChange)
                throw AutomationError(5, "QXPgmr", "The engine lost the programmer.");
            return QVariant();
        });
        script->On(QXPgmrId::JobValue1004, [this](InvokeKind, QVariantList&) { return VbBool(linkable); });
    }

    QXPgmrControl engine;
    ScriptedEngine* script = nullptr;
    ProgrammerClass data;
    QString password;
    bool refuseChange = false;
    bool failChange = false;
    bool linkable = true;
    std::function<void()> duringChange;
    QStringList calls;
};

QString Box(const char* title, const char* text, int buttons, int answer)
{
    return QStringLiteral("%1\t%2\t%3\t%4")
        .arg(QString::fromLatin1(title), QString::fromLatin1(text))
        .arg(buttons)
        .arg(answer);
}

TEST_F(SealbookDialogsTest, PasswordChangeRefusesInOrderAndEmptiesOnlyTheNamedBoxes)
{
    const QString fifteen = QStringLiteral("abcdefghijklmno");
    struct Case
    {
        const char* name;
        const char* setPassword; // the engine's password before, "" none
        QString oldText, newText, verifyText;
        int questionAnswer; // the "will be disabled" question, 0 not asked
        QString box;        // the refusal or error box, "" none
        QStringList engineCalls;
        bool closed;            // the dialog ended (changed)
        const char* boxesAfter; // old|new|verify
        const char* passwordAfter;
        bool engineRefuses = false;
    };
    const Case cases[] = {
        {"15 characters are taken",
         "old",
         "old",
         fifteen,
         fifteen,
         0,
         {},
         {"Check(old)", "Change(old, " + fifteen + ")"},
         true,
         nullptr,
         "abcdefghijklmno"},
        {"16 are refused before the old password is looked at",
         "old",
         "wrong",
         fifteen + "p",
         fifteen + "p",
         0,
         Box("Bad Password", "The new password exceeded 15 characters. Please try again.", 48, 1),
         {},
         false,
         "wrong||abcdefghijklmnop",
         "old"},
        {"a wrong old password empties only its box",
         "old",
         "OLD",
         "new",
         "new",
         0,
         Box("Incorrect Password", "The old password is incorrect. Please enter the password again.", 48, 1),
         {"Check(OLD)"},
         false,
         "|new|new",
         "old"},
        {"new and verify differ in case",
         "old",
         "old",
         "New",
         "new",
         0,
         Box("Bad Password", "The new passwords do not match. Please try again.", 48, 1),
         {"Check(old)"},
         false,
         "old||",
         "old"},
        {"no password set: the old box is ignored",
         "",
         "typed anyway",
         "",
         "",
         vb::vbOK,
         {},
         {"Change(, )"},
         true,
         nullptr,
         ""},
        {"turning it off can be cancelled",
         "old",
         "old",
         "",
         "",
         vb::vbCancel,
         {},
         {"Check(old)"},
         false,
         "old||",
         "old"},
        {"the engine refuses",
         "old",
         "old",
         "new",
         "new",
         0,
         Box("Error", "Can't change the Sealbook's password. Please contact technical support!", 16, 1),
         {"Check(old)", "Change(old, new)"},
         false,
         "old|new|new",
         "old",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        password = QString::fromLatin1(c.setPassword);
        refuseChange = c.engineRefuses;
        calls.clear();
        data.strOperatorPwd = QStringLiteral("before");
        frmSKPwd dialog(engine, data);
        EXPECT_EQ(dialog.txtSKPwd->isEnabled(), !password.isEmpty());
        EXPECT_EQ(dialog.OldPasswordLabel->isEnabled(), !password.isEmpty());
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.txtSKPwd->setText(c.oldText);
        dialog.txtNewSKPwd->setText(c.newText);
        dialog.txtVerifySKPwd->setText(c.verifyText);
        if (c.questionAnswer)
            ui().Answer(c.questionAnswer);
        if (!c.box.isEmpty())
            ui().Answer(vb::vbOK);
        const qsizetype shown = ui().Shown().size();
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);

        QStringList boxes = ui().Shown().mid(shown);
        if (c.questionAnswer) {
            EXPECT_EQ(boxes.takeFirst(),
                      Box("Password Info", "Sealbook password will be disabled.", 65, c.questionAnswer));
        }
        EXPECT_EQ(boxes, c.box.isEmpty() ? QStringList() : QStringList{c.box});
        EXPECT_EQ(calls, c.engineCalls);
        EXPECT_EQ(password, QString::fromLatin1(c.passwordAfter));
        EXPECT_EQ(finished.size(), c.closed ? 1 : 0);
        if (c.closed) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(data.strOperatorPwd, c.newText);
        } else {
            EXPECT_EQ(data.strOperatorPwd, "before");
            EXPECT_EQ(QStringList({dialog.txtSKPwd->text(), dialog.txtNewSKPwd->text(), dialog.txtVerifySKPwd->text()})
                          .join('|'),
                      QString::fromLatin1(c.boxesAfter));
            EXPECT_TRUE(dialog.cmdOK->isEnabled());
            EXPECT_TRUE(dialog.cmdCancel->isEnabled());
        }
    }
}

TEST_F(SealbookDialogsTest, PasswordChangeIsBusyWhileTheEngineWorksAndNeverAfterAnError)
{
    password = QStringLiteral("old");
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "engine fails" : "engine changes it");
        failChange = fails;
        calls.clear();
        frmSKPwd dialog(engine, data);
        dialog.show();
        dialog.txtSKPwd->setText(password);
        dialog.txtNewSKPwd->setText(QStringLiteral("next"));
        dialog.txtVerifySKPwd->setText(QStringLiteral("next"));
        bool sawBusy = false;
        duringChange = [&] {
            sawBusy = dialog.IsBusy() && !dialog.cmdOK->isEnabled() && !dialog.cmdCancel->isEnabled()
                && QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            // Neither closing nor Escape ends it now.
            EXPECT_FALSE(dialog.close());
            QTest::keyClick(&dialog, Qt::Key_Escape);
            EXPECT_TRUE(dialog.isVisible());
        };
        if (fails)
            ui().Answer(vb::vbOK);
        const qsizetype shown = ui().Shown().size();
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        duringChange = nullptr;

        EXPECT_TRUE(sawBusy);
        EXPECT_FALSE(dialog.IsBusy());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(dialog.cmdOK->isEnabled());
        EXPECT_FALSE(dialog.isVisible());
        if (fails) {
            EXPECT_EQ(ui().Shown().mid(shown), QStringList{Box("Error", "The engine lost the programmer.", 16, 1)});
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
            EXPECT_EQ(password, "old");
        } else {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(password, "next");
            password = QStringLiteral("old");
        }
    }
}

TEST_F(SealbookDialogsTest, OperatorPromptHandsBackTheTextOnlyOnOk)
{
    for (const bool ok : {true, false}) {
        frmOperatorPwd prompt;
        EXPECT_EQ(prompt.windowTitle(), "Sealbook Password");
        EXPECT_EQ(prompt.txtPwd->echoMode(), QLineEdit::Password);
        prompt.txtPwd->setText(QStringLiteral("s3cret"));
        QTest::mouseClick(ok ? prompt.cmdOK : prompt.cmdCancel, Qt::LeftButton);
        EXPECT_EQ(prompt.bCancel, !ok);
        EXPECT_EQ(prompt.strPwd, ok ? "s3cret" : "");
    }
}

TEST_F(SealbookDialogsTest, OptionsReachTheEngineAndTheJobOnlyOnOk)
{
    struct Case
    {
        const char* name;
        bool linkable;
        bool linkedBefore;
        bool options;              // the four options handed in (all the same)
        Qt::CheckState storeShown; // the storage box as loaded
        Qt::CheckState storeSet;   // the operator leaves it so
        bool ok;                   // OK, else Cancel
        bool linkedAfter;
    };
    const Case cases[] = {
        {"unchecking storage links the data", true, false, true, Qt::Checked, Qt::Unchecked, true, true},
        {"checking storage stores it", true, true, false, Qt::Unchecked, Qt::Checked, true, false},
        {"a file type that cannot link is stored", false, true, true, Qt::PartiallyChecked, Qt::PartiallyChecked, true,
         false},
        {"cancel changes nothing", true, false, true, Qt::Checked, Qt::Unchecked, false, false},
        // A file type that cannot link stops the linking as the dialog
        // opens, whatever button closes it.
        {"cancel with a file type that cannot link still stores", false, true, false, Qt::PartiallyChecked,
         Qt::PartiallyChecked, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        linkable = c.linkable;
        data.bDataPatternLinkedToSKFile = c.linkedBefore;
        calls.clear();
        frmSealbookConfigure dialog(engine, data);
        dialog.bStartInOperatorMode = dialog.bEnableMarkInputFields = dialog.bVerifyChecksum = dialog.bRemind =
            c.options;
        ui().OnModal([&](QDialog*) {
            EXPECT_EQ(dialog.windowTitle(), "Sealbook Configure");
            for (QCheckBox* box :
                 {dialog.oStartInOperatorMode, dialog.chkEnableMarkInput, dialog.chkVerifyChecksum, dialog.chkRemind})
                EXPECT_EQ(box->isChecked(), c.options) << box->objectName().toStdString();
            EXPECT_EQ(dialog.oStoreDataPatternInSkFile->checkState(), c.storeShown);
            EXPECT_EQ(dialog.oStoreDataPatternInSkFile->isEnabled(), c.linkable);
            // The operator turns every option over and sets the storage.
            for (QCheckBox* box :
                 {dialog.oStartInOperatorMode, dialog.chkEnableMarkInput, dialog.chkVerifyChecksum, dialog.chkRemind})
                QTest::mouseClick(box, Qt::LeftButton);
            dialog.oStoreDataPatternInSkFile->setCheckState(c.storeSet);
            QTest::mouseClick(c.ok ? dialog.cmdOK : dialog.cmdCancel, Qt::LeftButton);
            return dialog.result();
        });
        dialog.ShowDialog();

        const bool after = c.ok ? !c.options : c.options;
        EXPECT_EQ(dialog.bCancel, !c.ok);
        EXPECT_EQ(dialog.bStartInOperatorMode, after);
        EXPECT_EQ(dialog.bEnableMarkInputFields, after);
        EXPECT_EQ(dialog.bVerifyChecksum, after);
        EXPECT_EQ(dialog.bRemind, after);
        EXPECT_EQ(data.bDataPatternLinkedToSKFile, c.linkedAfter);
        // Both operator-mode options in one call, the empty text between.
        const QString flag = after ? "-1" : "0";
        EXPECT_EQ(calls, c.ok ? QStringList{"Configure210(" + flag + ", , " + flag + ")"} : QStringList());
    }
}

TEST_F(SealbookDialogsTest, OptionsTheEngineFailsToTakeAreNotTaken)
{
    failChange = true;
    data.bDataPatternLinkedToSKFile = true;
    frmSealbookConfigure dialog(engine, data);
    dialog.bStartInOperatorMode = true;
    ui().OnModal([&](QDialog*) {
        QTest::mouseClick(dialog.oStartInOperatorMode, Qt::LeftButton);
        QTest::mouseClick(dialog.chkVerifyChecksum, Qt::LeftButton);
        dialog.oStoreDataPatternInSkFile->setCheckState(Qt::Checked);
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        return dialog.result();
    });
    ui().Answer(vb::vbOK);
    dialog.ShowDialog();

    EXPECT_EQ(ui().Shown().at(ui().Shown().size() - 2), Box("Error", "The engine lost the programmer.", 16, 1));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.bCancel);
    EXPECT_TRUE(dialog.bStartInOperatorMode);
    EXPECT_FALSE(dialog.bVerifyChecksum);
    EXPECT_TRUE(data.bDataPatternLinkedToSKFile);
}

TEST_F(SealbookDialogsTest, NoteHistoryTakesOneEntryInFrontOnlyWhenSaved)
{
    gUserName = QStringLiteral("op7");
    const QString crlf = QStringLiteral("\r\n");
    const QString old = QStringLiteral("earlier entry") + crlf + QStringLiteral("second line");
    struct Case
    {
        const char* name;
        int show;      // 1 view, 2 save, 3 save as
        qint32 skType; // the history shown and written
        bool removeHistory;
        bool ok;
        QString typed;
        QString jobNoteAfter; // "" with expectEntry: entry + tail
        QString autoNoteAfter;
        bool expectEntry; // an entry was put in front (of jobNote for 1, autoNote for 2)
        QString tail;     // what follows the entry
    };
    const Case cases[] = {
        {"viewing changes nothing", 1, 1, false, true, {}, old, QStringLiteral("auto"), false, {}},
        {"save adds in front",
         2,
         1,
         false,
         true,
         QStringLiteral("line A\nline B"),
         {},
         QStringLiteral("auto"),
         true,
         QStringLiteral("line A\r\nline B") + crlf + old},
        {"an empty note still adds an entry", 2, 1, false, true, {}, {}, QStringLiteral("auto"), true, crlf + old},
        {"save as may remove the history",
         3,
         1,
         true,
         true,
         QStringLiteral("fresh"),
         {},
         QStringLiteral("auto"),
         true,
         QStringLiteral("fresh")},
        {"cancel stores nothing", 3, 1, false, false, QStringLiteral("x"), old, QStringLiteral("auto"), false, {}},
        {"an auto file's history",
         2,
         2,
         false,
         true,
         QStringLiteral("n"),
         old,
         {},
         true,
         QStringLiteral("n") + crlf + QStringLiteral("auto")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        data.strJobNote = old;
        data.strSKAutoNote = QStringLiteral("auto");
        frmSealbookNote note(data, QStringLiteral("V9.1"));
        note.skType = c.skType;
        ui().OnModal([&](QDialog*) {
            EXPECT_EQ(note.windowTitle(), c.skType == 2 ? "Sealbook Auto File Note" : "Sealbook File Note");
            EXPECT_EQ(note.cmdOK->text(), c.show == 1 ? "&Close" : "&OK");
            EXPECT_EQ(note.cmdCancel->isVisibleTo(&note), c.show != 1);
            EXPECT_EQ(note.chkRemoveHistory->isVisibleTo(&note), c.show == 3);
            EXPECT_EQ(note.txtNote->isEnabled(), c.show != 1);
            note.txtNote->setPlainText(c.typed);
            note.chkRemoveHistory->setChecked(c.removeHistory);
            QTest::mouseClick(c.ok ? note.cmdOK : note.cmdCancel, Qt::LeftButton);
            return note.result();
        });
        if (c.show == 1)
            note.ShowNote(1);
        else if (c.show == 2)
            note.ShowSave(1);
        else
            note.ShowSaveAs(1);

        EXPECT_EQ(note.bCancel, !c.ok);
        EXPECT_EQ(note.bRemoveNoteHistory, c.ok && c.removeHistory);
        QString& written = c.skType == 2 ? data.strSKAutoNote : data.strJobNote;
        const QString& untouched = c.skType == 2 ? data.strJobNote : data.strSKAutoNote;
        EXPECT_EQ(untouched, c.skType == 2 ? c.jobNoteAfter : c.autoNoteAfter);
        if (!c.expectEntry) {
            EXPECT_EQ(written, c.skType == 2 ? c.autoNoteAfter : c.jobNoteAfter);
            continue;
        }
        // Date and time four blanks apart, then revision and author, each
        // line ending CR LF, then the note as typed.
        const QString head = QStringLiteral("Software Revision: V9.1\r\nAuthor: op7\r\n");
        const QRegularExpression entry(QStringLiteral("^\\S.*    \\S.*\r\n") + QRegularExpression::escape(head));
        const QRegularExpressionMatch match = entry.match(written);
        ASSERT_TRUE(match.hasMatch()) << written.toStdString();
        EXPECT_EQ(written.mid(match.capturedLength()), c.tail);
    }
}

} // namespace
