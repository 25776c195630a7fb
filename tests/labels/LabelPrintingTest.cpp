// The label members over a recording link: which keys go to the editor, in
// what order, with what in the clipboard, and which lines the black-box log
// gets; and how the editor is started.

#include "TestEnv.h"

#include "mainwindow/LabelEditorLink.h"
#include "mainwindow/LabelPrinting.h"
#include "platform/AutomationError.h"

#include <QClipboard>
#include <QGuiApplication>
#include <functional>

namespace {

class RecordingLink : public LabelEditorLink
{
public:
    bool Start(const QString& program, const QString& workingFolder, QString& reason) override
    {
        calls << QStringLiteral("start %1 in \"%2\"").arg(program, workingFolder);
        reason = startRefusal;
        return startRefusal.isEmpty();
    }
    bool Activate(const QString& title, QString& reason) override
    {
        calls << QStringLiteral("activate ") + title;
        reason = QStringLiteral("no window");
        return windowThere;
    }
    bool SendKeys(const QString& keys) override
    {
        calls << QStringLiteral("keys ") + keys;
        // The editor copies its label's text.
        if (keys == QLatin1String("^(C)"))
            m_clipboard = labelText;
        return true;
    }
    void SetClipboard(const QString& text) override { m_clipboard = text; }
    QString Clipboard() const override { return m_clipboard; }

    QStringList calls;
    bool windowThere = true;
    QString startRefusal;
    QString labelText = QStringLiteral("SN 000042");

private:
    QString m_clipboard;
};

class RecordingHost : public LabelPrinting::Host
{
public:
    QString LabelPrinterDirectory() override
    {
        if (engineFails)
            throw AutomationError(91, QStringLiteral("QXPgmr"), QStringLiteral("Object variable not set"));
        return QStringLiteral("/opt/labels");
    }
    bool IsVexalMode() override { return vexal; }
    bool LabelerValue67() override { return newerEditor; }
    void WriteLogInfo(const QString& text) override { log << text; }
    void StatusLine(const QString& text) override { status << text; }

    bool vexal = false;
    bool newerEditor = false;
    bool engineFails = false;
    QStringList log, status;
};

class LabelPrintingTest : public TarvoTest
{
protected:
    RecordingLink link;
    RecordingHost host;
    LabelPrinting labels{host, link};
};

TEST_F(LabelPrintingTest, EachMemberActivatesTheEditorThenSendsItsKeys)
{
    QString returned;
    const struct
    {
        const char* member;
        std::function<void(LabelPrinting&)> run;
        QStringList keys;
        QString clipboard; // after the member
        QStringList log;
    } cases[] = {
        {"OpenLabelFile",
         [](LabelPrinting& l) { l.OpenLabelFile(QStringLiteral("/labels/lot 7.lbl")); },
         {"^(O)", "^V", "{ENTER}"},
         "/labels/lot 7.lbl",
         {"SendKeys(Ctrl + O)", "SendKeys(Ctrl + V)", "SendKeys(Enter)"}},
        {"SetLabelerText",
         [](LabelPrinting& l) { l.SetLabelerText(QStringLiteral("SN 000123")); },
         {"^A", "^V"},
         "SN 000123",
         {}},
        {"GetLabelText",
         [&](LabelPrinting& l) { returned = l.GetLabelText(); },
         {"^(A)", "^(C)"},
         "SN 000042",
         {"SendKeys(Ctrl + A)", "SendKeys(Ctrl + C)"}},
        {"MoveLabelText(0)", [](LabelPrinting& l) { l.MoveLabelText(0); }, {"^(A)", "%(E)", "S", "{UP}"}, "", {}},
        {"MoveLabelText(1)", [](LabelPrinting& l) { l.MoveLabelText(1); }, {"^(A)", "%(E)", "S", "{DOWN}"}, "", {}},
        {"MoveLabelText(2)", [](LabelPrinting& l) { l.MoveLabelText(2); }, {"^(A)", "%(E)", "S", "{LEFT}"}, "", {}},
        {"MoveLabelText(3)", [](LabelPrinting& l) { l.MoveLabelText(3); }, {"^(A)", "%(E)", "S", "{RIGHT}"}, "", {}},
        {"PrintLabel",
         [](LabelPrinting& l) { l.PrintLabel(); },
         {"^(P)", "{ENTER}"},
         "",
         {"SendKeys(Ctrl + P)", "SendKeys(Enter)"}},
        {"SaveLabelFile", [](LabelPrinting& l) { l.SaveLabelFile(); }, {"^S"}, "", {}},
        {"ExitPrintApp",
         [](LabelPrinting& l) { l.ExitPrintApp(); },
         {"%(F)", "X"},
         "",
         {"SendKeys(Shift + F)", "SendKeys('X')"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.member);
        link.calls.clear();
        link.SetClipboard(QString());
        host.log.clear();
        c.run(labels);
        QStringList expected{QStringLiteral("activate P-touch EDITOR")};
        for (const QString& k : c.keys)
            expected << QStringLiteral("keys ") + k;
        EXPECT_EQ(link.calls, expected);
        EXPECT_EQ(link.Clipboard(), c.clipboard);
        EXPECT_EQ(host.log, c.log);
        EXPECT_TRUE(host.status.isEmpty());
    }
    // What the editor copied is what GetLabelText answers.
    EXPECT_EQ(returned, QStringLiteral("SN 000042"));
}

TEST_F(LabelPrintingTest, NoEditorWindowOrABadDirectionSendsNothingAndIsLogged)
{
    link.windowThere = false;
    labels.OpenLabelFile(QStringLiteral("/labels/a.lbl"));
    labels.PrintLabel();
    labels.ExitPrintApp();
    EXPECT_EQ(link.calls, QStringList(3, QStringLiteral("activate P-touch EDITOR")));
    EXPECT_EQ(
        host.log,
        (QStringList{"OpenLabelFile: the \"P-touch EDITOR\" window cannot be activated (no window); no keys sent.",
                     "PrintLabel: the \"P-touch EDITOR\" window cannot be activated (no window); no keys sent.",
                     "ExitPrintApp: the \"P-touch EDITOR\" window cannot be activated (no window); no keys sent.",
                     "Exception happens when the Tarvo tries to close PTouch Editor."}));

    // A direction outside 0 to 3 does not even look for the window.
    link.windowThere = true;
    link.calls.clear();
    host.log.clear();
    for (const int direction : {-1, 4, 99})
        labels.MoveLabelText(direction);
    EXPECT_TRUE(link.calls.isEmpty());
    EXPECT_EQ(host.log,
              (QStringList{"MoveLabelText: direction -1 is not 0 to 3; no keys sent.",
                           "MoveLabelText: direction 4 is not 0 to 3; no keys sent.",
                           "MoveLabelText: direction 99 is not 0 to 3; no keys sent."}));
    EXPECT_TRUE(host.status.isEmpty());
}

TEST_F(LabelPrintingTest, StartsTheProgramTheHandlerChoosesInTheFolderVexalModeGives)
{
    const struct
    {
        bool enabled, newerEditor, vexal;
        QStringList calls;
    } cases[] = {
        {true, true, false, {"start /opt/labels/Ptedit3 in \"\""}},
        {true, false, false, {"start /opt/labels/ptedit in \"\""}},
        {true, true, true, {"start /opt/labels/Ptedit3 in \"/opt/labels\""}},
        {true, false, true, {"start /opt/labels/ptedit in \"/opt/labels\""}},
        {false, true, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.enabled << c.newerEditor << c.vexal);
        link.calls.clear();
        host.newerEditor = c.newerEditor;
        host.vexal = c.vexal;
        labels.InitLabelerPrint(c.enabled);
        EXPECT_EQ(link.calls, c.calls);
        EXPECT_TRUE(host.log.isEmpty());
    }
}

TEST_F(LabelPrintingTest, AStartThatFailsIsLoggedWithoutABox)
{
    link.startRefusal = QStringLiteral("no such file");
    host.newerEditor = true;
    labels.InitLabelerPrint(true);
    EXPECT_EQ(host.log,
              (QStringList{"Exception happens when the Tarvo tries to activate PTouch Editor.",
                           "The label editor /opt/labels/Ptedit3 cannot be started: no such file."}));
    EXPECT_EQ(host.status, QStringList{"The label editor cannot be started: /opt/labels/Ptedit3"});

    // An engine that cannot name the folder: nothing is started.
    link.calls.clear();
    host.log.clear();
    host.engineFails = true;
    labels.InitLabelerPrint(true);
    EXPECT_TRUE(link.calls.isEmpty());
    EXPECT_EQ(host.log, QStringList{"Exception happens when the Tarvo tries to activate PTouch Editor."});
}

} // namespace
