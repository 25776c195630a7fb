// The whole station after start on an eight-site programmer: main window,
// operation window and site boxes, nothing of the option rows showing
// through the sites' frame. With TARVO_SCREENSHOT naming a file, the
// picture is saved there (the README's picture is made this way).
#include "StationTest.h"
#include "engine/SiteBoxControl.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "settings/SettingsStore.h"
#include "shell/StartUp.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QFile>
#include <QFrame>
#include <QPixmap>
#include <QProgressBar>

#include <algorithm>

namespace {

class StationPictureTest : public StationTest
{
protected:
    // The station back on the eight-site "RG-1080/8" programmer with a
    // device selected.
    void StartOnEightSites()
    {
        const QString engineFolder = qEnvironmentVariable("XDG_DATA_HOME") + "/Corvane/QXEngine";
        QDir().mkpath(engineFolder);
        QFile ini(engineFolder + "/engine.ini");
        ASSERT_TRUE(ini.open(QIODevice::Append));
        ini.write("[Station]\nModelIndex=11\n");
        ini.close();
        SaveSettingValue("Tarvo", "Device", "DevSelected", true);
        SaveSettingValue("Tarvo", "Device", "SelectedDeviceName", "NV29F040");
        ASSERT_TRUE(StartApplication());
        ASSERT_EQ(gMainForm->QXProgrammer.SiteCount(), 8);
    }
};

QRect InWindow(const QWidget* w, const QWidget* window)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

TEST_F(StationPictureTest, EightSiteProgrammerShowsEverySiteBoxInsideItsFrame)
{
    StartOnEightSites();
    EXPECT_EQ(gMainForm->QXProgrammer.DeviceName(), "NV29F040");
    gMainForm->resize(1000, 700);
    frmProgram* window = gMainForm->frmP;
    window->ConcurrentOperationBegan();

    ASSERT_EQ(window->SiteBox.size(), 8u);
    const QRect frame = window->fraConcurrent->rect();
    for (const auto& box : window->SiteBox) {
        QWidget* widget = box->Control()->Widget();
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->isVisibleTo(window));
        EXPECT_TRUE(frame.contains(widget->geometry())) << widget->geometry().x() << "," << widget->geometry().y();
    }

    // The option rows' progress bars lie under the frame: none shows
    // through it, above or between the boxes.
    const QRect frameInWindow(window->fraConcurrent->mapTo(window, QPoint(0, 0)), window->fraConcurrent->size());
    for (const QProgressBar* bar : window->ProgressBar1) {
        if (!bar->isVisibleTo(window))
            continue;
        const QRect barInWindow(bar->mapTo(window, QPoint(0, 0)), bar->size());
        EXPECT_FALSE(barInWindow.intersects(frameInWindow)) << barInWindow.x() << "," << barInWindow.y();
    }

    const QString picture = qEnvironmentVariable("TARVO_SCREENSHOT");
    if (!picture.isEmpty()) {
        EXPECT_TRUE(gMainForm->grab().save(picture));
    }
}

// At the size the station opens with, and at the smallest width of the
// operation window, every site box shows its state and its counters whole,
// and the run counters below the boxes stand apart.
TEST_F(StationPictureTest, EachSiteBoxShowsItsStateAndCountersAtTheOpeningSizeAndTheSmallest)
{
    StartOnEightSites();
    frmProgram* window = gMainForm->frmP;
    window->ConcurrentOperationBegan();
    // Sites in each state a run shows, a failure with its reason.
    const qint32 states[][2] = {{0, 0}, {1, 0x21}, {3, 0}, {4, 0}, {2, 0}, {1, 0x23}, {0, 0}, {3, 0}};
    for (qint32 site = 1; site <= 8; ++site)
        window->SetSiteStatus(site, states[site - 1][0], states[site - 1][1]);

    const QSize opening = gMainForm->size();
    const QSize sizes[] = {opening, {450, opening.height()}, {455, opening.height()}, {460, opening.height()}};
    for (const QSize& size : sizes) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
        gMainForm->resize(size);
        QCoreApplication::processEvents();
        for (const auto& box : window->SiteBox) {
            QWidget* widget = box->Control()->Widget();
            // The box's own words for its state, and what it shows.
            const QString description = widget->accessibleDescription();
            const QString state = description.section(QRegularExpression(QStringLiteral("[:;]")), 0, 0);
            const QStringList shown = widget->property("shownLines").toStringList();
            SCOPED_TRACE((widget->accessibleName() + ": " + shown.join(" | ")).toStdString());
            ASSERT_FALSE(state.isEmpty());
            const auto whole = [&](const QString& text) {
                return std::any_of(shown.begin(), shown.end(), [&](const QString& line) {
                    return line.contains(text) && !line.endsWith(QChar(0x2026));
                });
            };
            EXPECT_TRUE(whole(state));
            EXPECT_TRUE(whole(widget->accessibleName()));
            EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const QString& line) {
                return QRegularExpression(QStringLiteral("^P \\d+  F \\d+  T \\d+$")).match(line).hasMatch();
            }));
        }
        // Passed, Failed, Active, Remaining and their values: inside the
        // frame, none over another.
        const QList<QLabel*> labels = {window->oStaticLabelPassed,    window->m_sDevicesPassedValue,
                                       window->oStaticLabelFailed,    window->m_sDevicesFailedValue,
                                       window->oStaticLabelActive,    window->m_sDevicesActiveValue,
                                       window->oStaticLabelRemaining, window->m_sDevicesRemainingValue};
        const QRect frame = InWindow(window->fraConcurrent, window);
        // What each label shows: its text's own width from its left.
        const auto textRect = [&](const QLabel* label) {
            const QRect r = InWindow(label, window);
            return QRect(r.topLeft(), QSize(label->fontMetrics().horizontalAdvance(label->text()), r.height()));
        };
        for (int i = 0; i < labels.size(); ++i) {
            const QRect a = textRect(labels[i]);
            EXPECT_TRUE(frame.contains(a)) << labels[i]->objectName().toStdString();
            for (int j = 0; j < labels.size(); ++j) {
                // A label's box must not reach over another's text.
                if (j != i)
                    EXPECT_FALSE(InWindow(labels[j], window).intersects(a))
                        << labels[j]->objectName().toStdString() << " over " << labels[i]->objectName().toStdString()
                        << " " << labels[i]->text().toStdString();
            }
        }
    }
}

} // namespace
