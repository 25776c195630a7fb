#pragma once

// The font configuration (the system's font files and rules) takes a good
// part of start-up to read, and the first text laid out waits for it. Read
// on a helper thread from the first line of the program, it is ready, or
// nearly, by the time the first window is made. Once the application object
// stands, the same helper fills the toolkit's list of fonts, which the first
// text laid out would otherwise fill, while the main thread makes the
// windows' frames.

// Starts the helper; nothing happens when it cannot be started.
void StartFontWarmUp();
// Waits until the helper has read the font configuration (at once when it
// was never started). Called before the first window or box is made; may be
// called again.
void FinishFontWarmUp();

// While it lives, the helper may fill the toolkit's list of fonts. Made
// right after the application object and gone before it: its end waits for
// the helper.
class FontWarmUpWithToolkit
{
public:
    FontWarmUpWithToolkit();
    ~FontWarmUpWithToolkit();
    FontWarmUpWithToolkit(const FontWarmUpWithToolkit&) = delete;
    FontWarmUpWithToolkit& operator=(const FontWarmUpWithToolkit&) = delete;
};
