#include "TestEnv.h"

#include "shell/DeferredIconStyle.h"

#include <QImage>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>
#include <memory>

namespace {

class DeferredIconStyleTest : public TarvoTest
{
protected:
    static QImage Pixels(const QIcon& icon) { return icon.pixmap(QSize(16, 16)).toImage(); }
};

// A deferred icon shows what the style itself gives, whether it was asked for
// bare, with a plain option or for a widget that is gone by the time it is
// drawn; an option of a derived kind is answered at once, also the same.
TEST_F(DeferredIconStyleTest, ShowsTheStylesOwnIcon)
{
    DeferredIconStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    const QStyle* base = style.baseStyle();
    const QStyle::StandardPixmap icons[] = {QStyle::SP_TitleBarCloseButton, QStyle::SP_ToolBarHorizontalExtensionButton,
                                            QStyle::SP_MessageBoxWarning};
    for (const QStyle::StandardPixmap which : icons) {
        SCOPED_TRACE(int(which));
        const QImage expected = Pixels(base->standardIcon(which));
        ASSERT_FALSE(expected.isNull());

        EXPECT_EQ(Pixels(style.standardIcon(which)), expected);

        QStyleOption plain;
        plain.rect = QRect(0, 0, 16, 16);
        EXPECT_EQ(Pixels(style.standardIcon(which, &plain)), expected);

        QStyleOptionButton derived;
        EXPECT_EQ(Pixels(style.standardIcon(which, &derived)), Pixels(base->standardIcon(which, &derived)));

        auto widget = std::make_unique<QWidget>();
        const QIcon forGoneWidget = style.standardIcon(which, nullptr, widget.get());
        widget.reset();
        EXPECT_FALSE(forGoneWidget.isNull());
        EXPECT_EQ(Pixels(forGoneWidget), expected);
    }
}

// Copies share what the first use read, and a copy outliving the style draws
// nothing instead of reaching a deleted style.
TEST_F(DeferredIconStyleTest, CopiesShareTheIconAndOutliveTheStyle)
{
    auto style = std::make_unique<DeferredIconStyle>(QStyleFactory::create(QStringLiteral("Fusion")));
    const QIcon first = style->standardIcon(QStyle::SP_TitleBarMinButton);
    const QIcon unread = style->standardIcon(QStyle::SP_TitleBarMaxButton);
    const QImage expected = Pixels(style->baseStyle()->standardIcon(QStyle::SP_TitleBarMinButton));
    QIcon copy = first;
    copy.detach();
    EXPECT_EQ(Pixels(first), expected);
    style.reset();
    EXPECT_EQ(Pixels(copy), expected);
    EXPECT_TRUE(unread.isNull());
    EXPECT_TRUE(unread.pixmap(QSize(16, 16)).isNull());
}

} // namespace
