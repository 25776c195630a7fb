#pragma once

// Windows place their controls where they were designed, in twips, with the
// sizes they were designed with. At another font (a Linux desktop's is wider
// and taller than the one the sizes were drawn for) a caption may need more
// room than its control has. FitCaptions keeps the designed places but lets
// no caption be cut: each button, check box, option, label and frame title
// grows to what its caption needs at its own font; a control that grows
// pushes the controls beside it (right) and below it (down) out of its way,
// keeping their gap; a frame grows to hold its controls and the window grows
// to hold everything. A control that already has room is left as it is, so
// fitting twice changes nothing.
//
// A window or frame whose controls stand in a Qt layout is left to the
// layout, which already gives each control the room its caption needs; it is
// only made at least as large as the layout's minimum.

#include <QSize>

class QWidget;

namespace captionfit {

// Fits the visible controls of the window (or of one frame of it), then the
// window itself.
void FitCaptions(QWidget* window);

// The least size at which the control shows its whole caption at its font;
// its present size where that is enough, or where it has no caption.
QSize NeededSize(const QWidget* control);

} // namespace captionfit
