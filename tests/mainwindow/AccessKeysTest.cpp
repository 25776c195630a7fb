// Access keys as the operator presses them: real Alt+letter key events sent
// where the focus is (the quantity box, the status list, an option row, the
// tab strip, an open menu). A key one control owns acts on it from every
// focus; a key several own (a menu title and a button or a tab) never runs
// an operation or opens a window: each press moves on to the next owner, the
// menu title first; while a run goes, Stop's key stops it at the first press.

#include "MainWindowFixture.h"

#include "operation/TabStrip.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

class AccessKeysTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(start());
        ASSERT_TRUE(Operation().SelectDevice(QStringLiteral("AM27C512")));
        gMainForm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(gMainForm));
    }
    void TearDown() override
    {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        MainWindowTest::TearDown();
    }

    static frmProgram& Operation() { return *gMainForm->frmP; }

    // The key as the window system delivers it: to the open menu, else to
    // the widget with the focus.
    static void Press(Qt::Key key)
    {
        QWidget* target = QApplication::activePopupWidget();
        if (!target)
            target = QApplication::focusWidget() ? QApplication::focusWidget() : gMainForm;
        QTest::keyClick(target, key, Qt::AltModifier);
        // A button's access key clicks it a moment later (animateClick).
        QTest::qWait(150);
    }

    static int TabIndex(const char* caption)
    {
        const TabStrip& tabs = *Operation().tabOperation;
        for (int i = 1; i <= tabs.Count(); ++i)
            if (tabs.Caption(i) == QLatin1String(caption))
                return i;
        return 0;
    }

    // Where the operator is: the open menu's title, the focused button's
    // caption, or "tab <caption>" when the tab strip has the focus.
    static QString Where()
    {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
            return QStringLiteral("menu ") + menu->title();
        QWidget* focus = QApplication::focusWidget();
        if (auto* button = qobject_cast<QAbstractButton*>(focus))
            return QStringLiteral("button ") + button->text();
        if (auto* tabs = qobject_cast<QTabBar*>(focus))
            return QStringLiteral("tab ") + tabs->tabText(tabs->currentIndex());
        return QStringLiteral("elsewhere");
    }

    struct Focus
    {
        const char* name;
        std::function<QWidget*()> widget;
    };
    static std::vector<Focus> Foci()
    {
        return {
            {"quantity box", [] { return static_cast<QWidget*>(gMainForm->txtNumCopies); }},
            {"status list", [] { return static_cast<QWidget*>(Operation().cboStatus); }},
            {"option row",
             [] {
                 for (QComboBox* row : std::as_const(Operation().cboOperation))
                     if (row->isVisible() && row->isEnabled())
                         return static_cast<QWidget*>(row);
                 return static_cast<QWidget*>(nullptr);
             }},
            {"tab", [] { return static_cast<QWidget*>(Operation().tabOperation->Tabs()); }},
        };
    }
};

TEST_F(AccessKeysTest, OneRuleFromEveryFocus)
{
    frmProgram& p = Operation();
    const int read = TabIndex("&Read");
    const int verify = TabIndex("&Verify");
    ASSERT_NE(read, 0);
    ASSERT_NE(verify, 0);
    const struct
    {
        const char* what;
        Qt::Key key;
        QStringList presses; // where each press leaves the operator
    } cases[] = {
        // &Device and REA&D: the menu, then the button, then the menu again;
        // READ never runs.
        {"Alt+D", Qt::Key_D, {"menu &Device", "button REA&D", "menu &Device"}},
        // &Tools and Op&tions: the menu, then the button; Options never
        // opens its window.
        {"Alt+T", Qt::Key_T, {"menu &Tools", "button Op&tions", "menu &Tools"}},
        // The Verify tab alone owns &V: selected at the first press.
        {"Alt+V", Qt::Key_V, {"selected &Verify"}},
    };
    for (const Focus& f : Foci()) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(f.name) + ", " + c.what);
            p.SelectTab(read);
            const QString source = p.BufferTypeGetName();
            QWidget* focus = f.widget();
            ASSERT_NE(focus, nullptr);
            focus->setFocus();
            ASSERT_EQ(QApplication::focusWidget(), focus);
            const QString quantity = gMainForm->txtNumCopies->text();
            int press = 0;
            for (const QString& expected : c.presses) {
                SCOPED_TRACE(++press);
                Press(c.key);
                if (expected.startsWith(QLatin1String("selected "))) {
                    EXPECT_EQ(p.tabOperation->SelectedIndex(), verify);
                    EXPECT_EQ(p.tabOperation->Caption(p.tabOperation->SelectedIndex()), expected.mid(9));
                } else {
                    EXPECT_EQ(Where().toStdString(), expected.toStdString());
                }
            }
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
            // Nothing ran, nothing changed: the data pattern is the one
            // loaded, the quantity box holds no letter, no window opened
            // (the scripted UI fails the test on one).
            EXPECT_FALSE(gMainForm->station().RunInProgress());
            EXPECT_EQ(p.BufferTypeGetName(), source);
            EXPECT_EQ(gMainForm->txtNumCopies->text(), quantity);
        }
    }
}

TEST_F(AccessKeysTest, StopsKeyStopsARunAtTheFirstPress)
{
    frmProgram& p = Operation();
    p.SelectTab(1);
    ASSERT_EQ(p.btnAction->text(), QStringLiteral("PROGRA&M"));
    const QByteArray savedFaults = qgetenv("TARVO_ENGINE_FAULTS");
    // A device that takes long enough to be stopped.
    qputenv("TARVO_ENGINE_FAULTS", "delay=400");
    const struct
    {
        const char* where;
        std::function<void()> start;
        std::function<void()> focus; // during the run, before the key
    } cases[] = {
        // The run is started by a click; the focus stays where that left it.
        {"after a click on the Action button", [&] { QTest::mouseClick(p.btnAction, Qt::LeftButton); }, [] {}},
        {"after the Action button's key", [&] { Press(Qt::Key_M); }, [] {}},
        {"from the quantity box", [&] { QTest::mouseClick(p.btnAction, Qt::LeftButton); },
         [] { gMainForm->txtNumCopies->setFocus(); }},
        {"from the status list", [&] { QTest::mouseClick(p.btnAction, Qt::LeftButton); },
         [&] { p.cboStatus->setFocus(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        gMainForm->txtNumCopies->setFocus();
        bool stoppedAtFirstPress = false;
        bool pressedDuringRun = false;
        QTimer::singleShot(300, [&] {
            pressedDuringRun = gMainForm->station().RunInProgress();
            c.focus();
            Press(Qt::Key_S);
            stoppedAtFirstPress = p.blnStopClicked;
        });
        const qsizetype shownBefore = ui().Shown().size();
        ui().Answer(vb::vbOK); // "Operation aborted"
        c.start();
        for (int i = 0; i < 500 && gMainForm->station().RunInProgress(); ++i)
            QTest::qWait(10);
        ASSERT_FALSE(gMainForm->station().RunInProgress());
        EXPECT_TRUE(pressedDuringRun);
        EXPECT_TRUE(stoppedAtFirstPress);
        EXPECT_EQ(p.lngNumPassed, 0);
        const QStringList shown = ui().Shown().mid(shownBefore);
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Tarvo\tOperation aborted"))) << shown[0].toStdString();
    }
    qputenv("TARVO_ENGINE_FAULTS", savedFaults);
}

} // namespace
