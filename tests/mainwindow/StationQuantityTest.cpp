// One quantity for the whole station: what the operator pastes into the
// quantity box, what an automation client asks for, what the automatic
// handler and the engine report all go through the station's one rule, and
// the box, the count the next run does and the engine's request agree.

#include "MainWindowFixture.h"

#include "automation/frmAutomationHost.h"
#include "automation/frmH950HdlrContainer.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/Station.h"
#include "operation/TabStrip.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QPushButton>
#include <QTest>

namespace {

class StationQuantityTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(start());
        automation.SetStation(&gMainForm->station());
    }

    // What the station holds after a source set a quantity: the box, the
    // count, and the number the engine is given when it asks.
    struct Seen
    {
        QString box;
        qint32 count = 0;
        qint32 engineRequest = 0;
        qsizetype boxes = 0;
        bool operator==(const Seen& o) const
        {
            return box == o.box && count == o.count && engineRequest == o.engineRequest && boxes == o.boxes;
        }
    };
    // rangeBox: the text is out of range, and its box is answered.
    template <typename SetIt>
    Seen Through(bool rangeBox, SetIt set)
    {
        // Every source starts from the same quantity.
        gMainForm->station().LoadQuantity(4);
        const qsizetype before = ui().Shown().size();
        if (rangeBox)
            ui().Answer(vb::vbOK);
        set();
        EXPECT_EQ(ui().Remaining(), 0);
        Seen seen;
        seen.boxes = ui().Shown().size() - before;
        seen.box = gMainForm->txtNumCopies->text();
        seen.count = gMainForm->lngNumCopies;
        QVariantList args{qint32(-99)};
        gMainForm->Fire(QStringLiteral("RequestQuantity"), args);
        seen.engineRequest = args.value(0).toInt();
        return seen;
    }
    void Paste(const QString& text)
    {
        QLineEdit* box = gMainForm->txtNumCopies;
        gMainForm->activateWindow();
        box->setFocus();
        box->selectAll();
        QApplication::clipboard()->setText(text);
        QTest::keySequence(box, QKeySequence::Paste);
    }
    frmAutomationHost automation;
};

TEST_F(StationQuantityTest, TheBoxAutomationTheHandlerAndTheEngineGetTheSameQuantityFromTheSameText)
{
    const struct
    {
        const char* text;
        bool rangeBox;
    } cases[] = {{"12", false}, {"12abc", false}, {"", false}, {"70000", true}, {"0", true}, {"-3", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString t = QString::fromLatin1(c.text);
        const Seen typed = Through(c.rangeBox, [&] { Paste(t); });
        const Seen client = Through(c.rangeBox, [&] { automation.SetQuantityText(t); });
        EXPECT_EQ(typed.box, client.box);
        EXPECT_EQ(typed.count, client.count);
        EXPECT_TRUE(typed == client);

        // The handler and the engine report numbers only.
        bool isNumber = false;
        const qint32 number = t.toInt(&isNumber);
        if (!isNumber)
            continue;
        const Seen handler = Through(c.rangeBox, [&] {
            QVariantList args{number};
            gMainForm->frmH950->Fire(QStringLiteral("HandlerQuantityChanged"), args);
        });
        const Seen engine = Through(c.rangeBox, [&] {
            QVariantList args{number};
            gMainForm->Fire(QStringLiteral("SetQuantity"), args);
        });
        EXPECT_TRUE(handler == typed) << handler.box.toStdString() << " " << handler.count;
        EXPECT_TRUE(engine == typed) << engine.box.toStdString() << " " << engine.count;
    }
}

TEST_F(StationQuantityTest, TheRuleKeepsNumbersInRangeAndTellsWhatItRefused)
{
    const struct
    {
        const char* text;
        const char* box;
        qint32 count;
        bool rangeBox;
    } cases[] = {
        {"12", "12", 12, false},         {"12abc", "12", 12, false}, {"", "", 4, false},
        {"70000", "65535", 65535, true}, {"0", "1", 1, true},        {"-3", "1", 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Seen seen = Through(c.rangeBox, [&] { automation.SetQuantityText(QString::fromLatin1(c.text)); });
        EXPECT_EQ(seen.box, QLatin1String(c.box));
        EXPECT_EQ(seen.count, c.count);
        EXPECT_EQ(seen.boxes, c.rangeBox ? 1 : 0);
        if (c.rangeBox) {
            EXPECT_TRUE(ui().Shown().last().startsWith("Quantity Number Error")) << ui().Shown().last().toStdString();
        }
    }
}

// Keys typed over the selected quantity, one at a time as the operator types
// them: the box always ends showing the count the next run takes.
TEST_F(StationQuantityTest, TypedLettersLeaveTheBoxShowingTheCountTheRunTakes)
{
    const struct
    {
        const char* typed;
        const char* box;
    } cases[] = {{"abc", "4"}, {"x", "4"}, {"7b", "7"}, {"b7", "47"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const Seen seen = Through(false, [&] {
            QLineEdit* box = gMainForm->txtNumCopies;
            gMainForm->activateWindow();
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, QString::fromLatin1(c.typed));
        });
        EXPECT_EQ(seen.box, QLatin1String(c.box));
        EXPECT_EQ(QString::number(seen.count), seen.box);
        EXPECT_EQ(seen.engineRequest, seen.count);
    }
}

// The operator types a quantity and presses an access key of the operation
// window while the quantity box still has the focus: the key reaches its
// control (the Action button runs the job, a tab's key selects the tab, the
// Options button opens its window) and its letter never reaches the box.
TEST_F(StationQuantityTest, TheOperationWindowsAccessKeysWorkFromTheQuantityBox)
{
    frmProgram& p = *gMainForm->frmP;
    ASSERT_TRUE(p.SelectDevice(QStringLiteral("AM27C512")));
    ASSERT_EQ(p.btnAction->text(), QStringLiteral("PROGRA&M"));
    QLineEdit* box = gMainForm->txtNumCopies;
    gMainForm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(gMainForm));
    const auto typeInBox = [&](const char* text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(text));
        ASSERT_EQ(QApplication::focusWidget(), box);
    };

    // A tab's key.
    typeInBox("2");
    const int verify = [&] {
        for (int i = 1; i <= p.tabOperation->Count(); ++i)
            if (p.tabOperation->Caption(i) == QLatin1String("&Verify"))
                return i;
        return 0;
    }();
    ASSERT_NE(verify, 0);
    QTest::keyClick(box, Qt::Key_V, Qt::AltModifier);
    EXPECT_EQ(p.tabOperation->SelectedIndex(), verify);
    EXPECT_EQ(p.btnAction->text(), QStringLiteral("VERIF&Y"));
    EXPECT_EQ(box->text(), QStringLiteral("2"));

    // A button's key (Data Patter&n, which no menu title shares) opens its
    // window from the box.
    QString opened;
    ui().OnModal([&](QDialog* dialog) {
        opened = dialog->objectName();
        dialog->reject();
        return dialog->result();
    });
    typeInBox("2");
    QTest::keyClick(box, Qt::Key_N, Qt::AltModifier);
    for (int i = 0; i < 100 && opened.isEmpty(); ++i)
        QTest::qWait(10);
    EXPECT_EQ(opened, QStringLiteral("frmBufferCmd"));

    // Back on the program tab, the Action button's key runs three devices.
    p.SelectTab(1);
    typeInBox("3");
    ui().Answer(vb::vbOK); // Insert next device
    ui().Answer(vb::vbOK);
    int summaries = 0;
    ui().OnModal([&](QDialog*) {
        ++summaries;
        return 0;
    });
    QTest::keyClick(box, Qt::Key_M, Qt::AltModifier);
    for (int i = 0; i < 200 && p.lngNumPassed < 3; ++i)
        QTest::qWait(10);
    EXPECT_EQ(p.lngNumPassed, 3);
    EXPECT_EQ(summaries, 1);
    EXPECT_EQ(box->text(), QStringLiteral("3"));
    EXPECT_EQ(gMainForm->lngNumCopies, 3);
}

} // namespace
