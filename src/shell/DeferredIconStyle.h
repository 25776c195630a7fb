#pragma once

#include <QProxyStyle>

// The application's style with its standard icons read when first drawn.
// The style's own icons (the menu bar's and tool bar's overflow buttons, the
// operation window's system menu) come from image files that start-up would
// otherwise decode, loading the image plug-ins with them, although they are
// seldom shown.
class DeferredIconStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
