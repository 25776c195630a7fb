// The simulated engine's device selection window (DeviceSelectResult): the
// whole device list with manufacturer, name, package and type, narrowed as
// the operator types, opening on the current device.

#include "CompanionFixture.h"

#include "engine/QXPgmrControl.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {

class DeviceChooserTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
        QXProgrammer.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
        QXProgrammer.StartupValue108(BinDir());
        ASSERT_EQ(QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
    }

    // Opens the engine's window and hands it to the test's steps; the answer
    // of DeviceSelectResult comes back.
    bool Choose(const std::function<void(QDialog*, QLineEdit*, QTableView*)>& steps)
    {
        ui().OnModal([steps](QDialog* dialog) {
            auto* search = dialog->findChild<QLineEdit*>(QStringLiteral("search"));
            auto* table = dialog->findChild<QTableView*>(QStringLiteral("devices"));
            EXPECT_TRUE(search && table);
            if (!search || !table)
                return int(QDialog::Rejected);
            steps(dialog, search, table);
            return dialog->result();
        });
        return QXProgrammer.DeviceSelectResult();
    }

    // Each shown row as "manufacturer|name|package|type".
    static QStringList Rows(const QTableView* table)
    {
        QStringList rows;
        const QAbstractItemModel* m = table->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList fields;
            for (int c = 0; c < m->columnCount(); ++c)
                fields << m->index(r, c).data().toString();
            rows << fields.join(QLatin1Char('|'));
        }
        return rows;
    }

    static QString Selected(const QTableView* table)
    {
        const QModelIndexList rows = table->selectionModel()->selectedRows(1);
        return rows.isEmpty() ? QString() : rows.first().data().toString();
    }

    static bool OkEnabled(QDialog* dialog)
    {
        auto* box = dialog->findChild<QDialogButtonBox*>();
        return box && box->button(QDialogButtonBox::Ok)->isEnabled();
    }

    QXPgmrControl QXProgrammer;
};

TEST_F(DeviceChooserTest, ListsEveryDeviceWithItsFourFieldsAndOpensOnTheCurrentOne)
{
    QString name = QStringLiteral("ks25q128"); // any letter case
    ASSERT_EQ(QXProgrammer.SelectDeviceByName(name, false), 0);
    EXPECT_FALSE(Choose([](QDialog* dialog, QLineEdit*, QTableView* table) {
        const QAbstractItemModel* m = table->model();
        EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Manufacturer"));
        EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Device"));
        EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Package"));
        EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Type"));
        const QStringList rows = Rows(table);
        EXPECT_EQ(rows.size(), 19);
        EXPECT_TRUE(rows.contains(QStringLiteral("Norvia|NV25Q512|WSON8|SPI Flash")));
        EXPECT_TRUE(rows.contains(QStringLiteral("Amtech|AM27C512|DIP28|EPROM")));
        EXPECT_TRUE(rows.contains(QStringLiteral("JTAG|STAPL ISP Device|JTAG|CPLD/FPGA (STAPL)")));
        EXPECT_EQ(Selected(table), QStringLiteral("KS25Q128"));
        EXPECT_TRUE(OkEnabled(dialog));
        dialog->reject();
    }));
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("KS25Q128"));
}

TEST_F(DeviceChooserTest, TypingNarrowsByAnyFieldInAnyCaseAndWidensAgain)
{
    EXPECT_FALSE(Choose([](QDialog* dialog, QLineEdit* search, QTableView* table) {
        // No device yet: nothing chosen, OK waits for a choice.
        EXPECT_EQ(Selected(table), QString());
        EXPECT_FALSE(OkEnabled(dialog));

        struct Case
        {
            const char* text;
            int shown;
        };
        const Case cases[] = {
            {"k", 6},         {"ke", 6},         {"kestrel", 6},                         // manufacturer
            {"KESTREL M", 6}, {"kestrel mx", 0}, {"kestrel", 6}, {"", 19}, {"soic8", 4}, // package, "SOIC8-208" too
            {"flash", 6},                                                                // type
            {"micro", 8},                                                                // manufacturer or type
            {"27c", 1},                                                                  // name
            {"techam27", 0}, // never runs from one field ("Amtech") into the next ("AM27C512")
        };
        for (const Case& c : cases) {
            search->setText(QString::fromLatin1(c.text));
            EXPECT_EQ(table->model()->rowCount(), c.shown) << c.text;
            // The first match is ready to take; no match, no OK.
            EXPECT_EQ(OkEnabled(dialog), c.shown > 0) << c.text;
        }
        dialog->reject();
    }));
}

TEST_F(DeviceChooserTest, TheChosenDeviceStaysChosenWhileItMatches)
{
    EXPECT_TRUE(Choose([](QDialog* dialog, QLineEdit* search, QTableView* table) {
        search->setText(QStringLiteral("kestrel"));
        const QStringList rows = Rows(table);
        const int ks85t = int(rows.indexOf(QStringLiteral("Kestrel Micro|KS85T|SOIC8|Microcontroller")));
        ASSERT_GE(ks85t, 0);
        table->selectRow(ks85t);
        search->setText(QStringLiteral("kestrel micro"));
        EXPECT_EQ(Selected(table), QStringLiteral("KS85T"));
        search->setText(QStringLiteral("soic8"));
        EXPECT_EQ(Selected(table), QStringLiteral("KS85T"));
        // Gone from the list: the first match takes its place.
        search->setText(QStringLiteral("dip"));
        EXPECT_EQ(Selected(table), table->model()->index(0, 1).data().toString());
        search->setText(QStringLiteral("ks85t-ft"));
        EXPECT_EQ(Selected(table), QStringLiteral("KS85T-FT"));
        dialog->accept();
    }));
    EXPECT_EQ(QXProgrammer.DeviceName(), QStringLiteral("KS85T-FT"));
}

// The Type column is wide enough for its longest entry, in the window as it
// opens, and lies inside the window.
TEST_F(DeviceChooserTest, TheTypeColumnShowsItsLongestEntryWhole)
{
    int needed = 0, width = 0, right = 0, visible = 0;
    QString longest;
    Choose([&](QDialog* dialog, QLineEdit*, QTableView* table) {
        dialog->show();
        QApplication::processEvents();
        const QAbstractItemModel* m = table->model();
        const int type = m->columnCount() - 1;
        for (int r = 0; r < m->rowCount(); ++r) {
            const QString text = m->index(r, type).data().toString();
            if (table->fontMetrics().horizontalAdvance(text) > needed) {
                needed = table->fontMetrics().horizontalAdvance(text);
                longest = text;
            }
        }
        width = table->columnWidth(type);
        right = table->columnViewportPosition(type) + width;
        visible = table->viewport()->width();
        dialog->reject();
    });
    ASSERT_FALSE(longest.isEmpty());
    // The cell's own margins come on top of the text.
    EXPECT_GT(width, needed + 6) << longest.toStdString();
    EXPECT_LE(right, visible);
}

} // namespace
