// The row of the device options window: which buttons a device gets and
// where they stand, in twips, and the window built from it.

#include "DeviceDialogFixture.h"

#include "device/DeviceOptionsLayout.h"
#include "device/frmDeviceConfigure.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QPushButton>

namespace {

using L = DeviceOptionsLayout;

struct LayoutCase
{
    const char* name;
    DeviceCapabilities capabilities;
    QStringList extras;
    // Expected: specials as index@left, then the lefts of the shown fixed
    // buttons (-1: hidden), the window width.
    QStringList specials;
    qint32 vector, byteOrder, range, array, buffer, done;
    qint32 width;
};

QStringList SpecialsOf(const L& layout)
{
    QStringList out;
    for (const L::Special& s : layout.Specials())
        out << QStringLiteral("%1:%2@%3").arg(s.index).arg(s.caption).arg(s.left);
    return out;
}

qint32 LeftIfShown(const L& layout, L::Button b)
{
    return layout.Visible(b) ? layout.Left(b) : -1;
}

TEST(DeviceOptionsLayout, ButtonsCloseUpAroundWhatTheDeviceOffers)
{
    const DeviceCapabilities none;
    const DeviceCapabilities all{true, true, true, true, true};
    const LayoutCase cases[] = {
        {"nothing", none, {}, {}, -1, -1, -1, -1, -1, 120, 1335},
        {"everything and two extras",
         all,
         {"Erase Boot", "Lock"},
         {"0:Erase Boot@120", "1:Lock@1215"},
         2310,
         3390,
         4470,
         5550,
         6630,
         7950,
         9165},
        {"everything, no extras", all, {}, {}, 120, 1200, 2280, 3360, 4440, 5760, 6975},
        {"range and buffer offset", {false, false, true, false, true}, {}, {}, -1, -1, 120, -1, 1200, 2520, 3735},
        // The electric-field command in any spelling and an unnamed one get
        // no button; the next keeps its own index.
        {"skipped extras",
         none,
         {"E-FIELD", "EField", "e-field", "", "Blow Fuse"},
         {"4:Blow Fuse@120"},
         -1,
         -1,
         -1,
         -1,
         -1,
         1215,
         2430},
    };
    for (const LayoutCase& c : cases) {
        const L layout = L::Compute(c.capabilities, c.extras);
        EXPECT_EQ(SpecialsOf(layout), c.specials) << c.name;
        const qint32 lefts[] = {LeftIfShown(layout, L::Vector),         LeftIfShown(layout, L::ByteOrder),
                                LeftIfShown(layout, L::Range),          LeftIfShown(layout, L::Array),
                                LeftIfShown(layout, L::BufferSettings), LeftIfShown(layout, L::Done)};
        const qint32 expected[] = {c.vector, c.byteOrder, c.range, c.array, c.buffer, c.done};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(lefts[i], expected[i]) << c.name << " button " << i;
        EXPECT_FALSE(layout.Visible(L::Cancel)) << c.name;
        EXPECT_EQ(layout.WindowWidth(), c.width) << c.name;
    }
}

class DeviceConfigureWindowTest : public DeviceDialogTest
{};

TEST_F(DeviceConfigureWindowTest, TheWindowPlacesItsButtonsForTheSelectedDevice)
{
    using namespace QXPgmrId;
    for (int member : {DeviceSupportsTestVectors, DeviceSupportsByteOrder, DeviceSupportsRange,
                       DeviceSupportsSetsAndBanks, DeviceSupportsBufferOffset})
        engine->Set(member, true);
    engine->Set(ExtraCommandCount, 3);
    engine->On(ExtraCommandNameAt, [](InvokeKind, QVariantList& args) {
        const QString names[] = {QStringLiteral("Erase Boot"), QStringLiteral("efield"), QStringLiteral("Lock")};
        return QVariant(names[args.value(0).toInt()]);
    });

    // At a font whose captions fit the designed sizes the row stands exactly
    // as designed (a larger font widens the buttons that need it).
    struct SmallFont
    {
        QFont kept = QApplication::font();
        SmallFont() { QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 6)); }
        ~SmallFont() { QApplication::setFont(kept); }
    } small;
    frmDeviceConfigure window(main->station(), main);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Device Configure"));
    ASSERT_EQ(window.btnSpecial.size(), 2u);
    EXPECT_EQ(window.btnSpecial.at(0)->text(), QStringLiteral("Erase Boot"));
    EXPECT_EQ(window.btnSpecial.at(2)->text(), QStringLiteral("Lock"));
    EXPECT_EQ(window.btnSpecial.count(1), 0u);
    EXPECT_EQ(window.btnSpecial.at(2)->x(), twips::ToPixels(1215));
    EXPECT_EQ(window.btnVector->x(), twips::ToPixels(2310));
    EXPECT_EQ(window.btnDone->x(), twips::ToPixels(7950));
    EXPECT_EQ(window.btnDone->y(), twips::ToPixels(120));
    EXPECT_EQ(window.cmdBufferSettings->width(), twips::ToPixels(6630 + 1215) - twips::ToPixels(6630));
    EXPECT_EQ(window.width(), twips::ToPixels(9165));
    EXPECT_FALSE(window.btnCancel->isVisibleTo(&window));
    EXPECT_TRUE(window.btnArray->isVisibleTo(&window));

    // The special button runs its own index of the engine's commands.
    window.btnSpecial.at(2)->click();
    EXPECT_TRUE(engine->TakeWrites().contains(QStringLiteral("RunExtraCommand(2,,)")));
}

} // namespace
