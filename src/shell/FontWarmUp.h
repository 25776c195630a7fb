#pragma once

// The font configuration (the system's font files and rules) takes a good
// part of start-up to read, and the first text laid out waits for it. Read
// on a helper thread from the first line of the program, it is ready, or
// nearly, by the time the first window is made.

// Starts the helper; nothing happens when it cannot be started.
void StartFontWarmUp();
// Waits until the helper has finished (at once when it was never started).
// Called before the first window or box is made; may be called again.
void FinishFontWarmUp();
