// The buffer viewer's editor (DataPane.ocx, ShowEditor) over the engine's
// buffer, through its controls and the scripted UI: overwrite editing in hex
// and ASCII and in fuse mode, go-to, find both ways, OK and Cancel, and a
// byte the engine changes while the editor is open.

#include "CompanionFixture.h"

#include "engine/DataPaneControl.h"
#include "engine/QXPgmrControl.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QAbstractScrollArea* View(QDialog* dialog)
{
    return dialog->findChild<QAbstractScrollArea*>(QStringLiteral("BufferView"));
}

qint64 Cursor(QDialog* dialog)
{
    return View(dialog)->property("cursorAddress").toLongLong();
}

QString Row(QDialog* dialog, qint64 row)
{
    QString text;
    EXPECT_TRUE(QMetaObject::invokeMethod(View(dialog), "RowText", Q_RETURN_ARG(QString, text), Q_ARG(qint64, row)));
    return text;
}

void Click(QDialog* dialog, const char* button)
{
    auto* b = dialog->findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    b->click();
}

void GoTo(QDialog* dialog, const QString& address)
{
    dialog->findChild<QLineEdit*>(QStringLiteral("txtGoTo"))->setText(address);
    Click(dialog, "btnGoTo");
}

void Find(QDialog* dialog, const QString& what, bool text, bool forwards)
{
    dialog->findChild<QLineEdit*>(QStringLiteral("txtFind"))->setText(what);
    dialog->findChild<QCheckBox*>(QStringLiteral("chkFindText"))->setChecked(text);
    Click(dialog, forwards ? "btnFindNext" : "btnFindPrevious");
}

class DataPaneTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
        ASSERT_EQ(Register(QStringLiteral("DataPane.ocx")), companion::S_OK);
        engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
        pane.Attach(companion::CreateControl(QString::fromLatin1(DataPaneControl::ClassName)));
        engine.StartupValue108(BinDir());
        ASSERT_EQ(engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
    }

    // A 64 KiB device holding bytes that count up, "HELLO" at 8000h and
    // DE AD BE EF at FFF0h.
    void LoadPattern()
    {
        QString device = QStringLiteral("AM27C512");
        ASSERT_EQ(engine.SelectDeviceByName(device, false), 0);
        QByteArray bytes(0x10000, Qt::Uninitialized);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i & 0x7F);
        bytes.replace(0x8000, 5, "HELLO");
        bytes.replace(0xFFF0, 4, "\xDE\xAD\xBE\xEF");
        Put(0, bytes);
    }
    void Put(quint32 at, const QByteArray& bytes)
    {
        QString path = tempPath(QStringLiteral("pattern.bin"));
        WriteFile(path, bytes);
        ASSERT_EQ(engine.LoadDataFileRange(path, qint32(0), false, false, qint32(0), qint32(-1), qint32(at)), 0);
    }
    QByteArray Region(quint32 at, quint32 count)
    {
        QString path = tempPath(QStringLiteral("region.bin"));
        qint32 low = qint32(at), high = qint32(at + count - 1);
        EXPECT_EQ(engine.SaveDataFileRange(path, qint32(0), false, low, high), 0);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QXPgmrControl engine;
    DataPaneControl pane;
};

// Overwriting in the hex pane (two digits) and the ASCII pane reaches the
// buffer only when the editor is confirmed.
TEST_F(DataPaneTest, EditsReachTheBufferOnlyOnOk)
{
    LoadPattern();
    const QString checksum = engine.ChecksumText();
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        pane.HexDisplay(true);
        ui().OnModal([&](QDialog* dialog) {
            GoTo(dialog, QStringLiteral("10"));
            QTest::keyClicks(View(dialog), QStringLiteral("a5"));
            QTest::keyClick(View(dialog), Qt::Key_Tab);
            QTest::keyClicks(View(dialog), QStringLiteral("Z"));
            EXPECT_TRUE(Row(dialog, 1).startsWith(QStringLiteral("00000010  A5 5A 12 ")));
            EXPECT_EQ(Cursor(dialog), 0x12);
            // Nothing reaches the buffer while the editor is open.
            EXPECT_EQ(Region(0x10, 2), QByteArray("\x10\x11", 2));
            ok ? dialog->accept() : dialog->reject();
            return dialog->result();
        });
        pane.ShowEditor();
        EXPECT_EQ(Region(0x10, 3), ok ? QByteArray("\xA5Z\x12", 3) : QByteArray("\x10\x11\x12", 3));
        EXPECT_EQ(engine.ChecksumText() != checksum, ok);
        EXPECT_EQ(pane.DataSize(), 0x10000);
    }
    // The editor, cancelled and confirmed, and no box beside it.
    EXPECT_EQ(ui().Shown(),
              (QStringList{QStringLiteral("Buffer Editor\tBufferEditor\tModal\t0"),
                           QStringLiteral("Buffer Editor\tBufferEditor\tModal\t1")}));
}

// Go-to in either radix, find of bytes or text both ways, and the clear
// messages for an address past the end, a pattern that is no pattern and
// one that is not there.
TEST_F(DataPaneTest, GoToAndFindBothWays)
{
    LoadPattern();
    pane.HexDisplay(false);
    ui().OnModal([&](QDialog* dialog) {
        GoTo(dialog, QStringLiteral("100"));
        EXPECT_EQ(Cursor(dialog), 100);
        EXPECT_TRUE(Row(dialog, 6).startsWith(QStringLiteral("        96  60 61 62 ")));
        dialog->reject();
        return dialog->result();
    });
    pane.ShowEditor();

    pane.HexDisplay(true);
    ui().OnModal([&](QDialog* dialog) {
        const struct
        {
            const char* what;
            std::function<void()> act;
            qint64 cursor;
        } steps[] = {
            {"go to FFF0h", [&] { GoTo(dialog, QStringLiteral("FFF0h")); }, 0xFFF0},
            {"go to past the end", [&] { GoTo(dialog, QStringLiteral("10000")); }, 0xFFF0},
            {"go to no address", [&] { GoTo(dialog, QStringLiteral("12G")); }, 0xFFF0},
            {"find text backwards", [&] { Find(dialog, QStringLiteral("HELLO"), true, false); }, 0x8000},
            {"find bytes forwards", [&] { Find(dialog, QStringLiteral("de ad BE EF"), false, true); }, 0xFFF0},
            {"find a pattern that is not there", [&] { Find(dialog, QStringLiteral("HELLO"), true, true); }, 0xFFF0},
            {"find no pattern", [&] { Find(dialog, QStringLiteral("DEA"), false, true); }, 0xFFF0},
            {"find an edited byte",
             [&] {
                 GoTo(dialog, QStringLiteral("20"));
                 QTest::keyClicks(View(dialog), QStringLiteral("FE"));
                 GoTo(dialog, QStringLiteral("FFFF"));
                 Find(dialog, QStringLiteral("FE 21"), false, false);
             },
             0x20},
        };
        for (const auto& s : steps) {
            SCOPED_TRACE(s.what);
            s.act();
            EXPECT_EQ(Cursor(dialog), s.cursor);
        }
        dialog->reject();
        return dialog->result();
    });
    for (int i = 0; i < 4; ++i)
        ui().Answer(vb::vbOK);
    pane.ShowEditor();

    // The boxes of the second editor, after the first editor's line.
    const QStringList shown = ui().Shown().mid(1, 4);
    ASSERT_EQ(shown.size(), 4) << ui().Shown().join('\n').toStdString();
    EXPECT_TRUE(shown[0].startsWith(
        QStringLiteral("Go To\tThe address 10000h lies past the end of the buffer; the last address is FFFFh.")));
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Go To\t\"12G\" is not an address.")));
    EXPECT_TRUE(shown[2].startsWith(QStringLiteral("Find\t\"HELLO\" was not found after the address FFF0h.")));
    EXPECT_TRUE(shown[3].startsWith(QStringLiteral("Find\tEnter the bytes to find as pairs of hexadecimal digits")));
}

// Enter in the address or find field goes there or finds, as its button
// does: it never closes the editor, which keeps its edits uncommitted until
// OK.
TEST_F(DataPaneTest, EnterInTheAddressOrFindFieldKeepsTheEditorOpen)
{
    LoadPattern();
    pane.HexDisplay(true);
    ui().OnModal([&](QDialog* dialog) {
        dialog->show();
        QTest::keyClicks(View(dialog), QStringLiteral("a5"));
        const struct
        {
            const char* field;
            const char* text;
            qint64 cursor;
        } steps[] = {{"txtGoTo", "8000", 0x8000}, {"txtFind", "DE AD", 0xFFF0}};
        for (const auto& s : steps) {
            SCOPED_TRACE(s.field);
            auto* field = dialog->findChild<QLineEdit*>(QString::fromLatin1(s.field));
            field->setFocus();
            field->setText(QString::fromLatin1(s.text));
            QTest::keyClick(field, Qt::Key_Return);
            EXPECT_EQ(Cursor(dialog), s.cursor);
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->result(), QDialog::Rejected);
        }
        dialog->reject();
        return dialog->result();
    });
    pane.ShowEditor();
    EXPECT_EQ(Region(0, 1), QByteArray(1, '\0'));
}

// The editor paints from the buffer: a byte the engine changes while it is
// open shows at the next paint, in the row text and on screen.
TEST_F(DataPaneTest, AByteTheEngineChangesShowsAtTheNextPaint)
{
    LoadPattern();
    pane.HexDisplay(true);
    ui().OnModal([&](QDialog* dialog) {
        dialog->show();
        QAbstractScrollArea* view = View(dialog);
        const QImage before = view->viewport()->grab().toImage();
        EXPECT_TRUE(Row(dialog, 0).startsWith(QStringLiteral("00000000  00 01 02 03 ")));

        Put(2, QByteArray("\xC3", 1));
        const QImage after = view->viewport()->grab().toImage();
        EXPECT_TRUE(Row(dialog, 0).startsWith(QStringLiteral("00000000  00 01 C3 03 ")));
        EXPECT_NE(before, after);

        Put(2, QByteArray("\x02", 1));
        EXPECT_EQ(view->viewport()->grab().toImage(), before);
        dialog->reject();
        return dialog->result();
    });
    pane.ShowEditor();
}

// A device counted in fuses shows a 0 or 1 per fuse and takes 0 and 1.
TEST_F(DataPaneTest, FuseModeShowsAndTakesFuses)
{
    QString device = QStringLiteral("GAL22V10");
    ASSERT_EQ(engine.SelectDeviceByName(device, false), 0);
    engine.DefaultBufferByte(qint32(0));
    ASSERT_FALSE(engine.DataFileValue313());
    pane.HexDisplay(false);
    pane.FuseMode(true);
    ui().OnModal([&](QDialog* dialog) {
        GoTo(dialog, QStringLiteral("33"));
        QTest::keyClicks(View(dialog), QStringLiteral("1x1"));
        EXPECT_EQ(Row(dialog, 1), QStringLiteral("        32  01100000 00000000 00000000 00000000"));
        dialog->accept();
        return dialog->result();
    });
    pane.ShowEditor();
    EXPECT_EQ(Region(32, 4), QByteArray("\x00\x01\x01\x00", 4));
}

} // namespace
