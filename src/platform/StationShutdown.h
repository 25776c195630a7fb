#pragma once

// The station's one way to end. Whatever asks for it (a termination signal,
// the main window's close while a box or dialog is open, File > Exit reached
// from inside a dialog), the request is recorded, every open box and dialog
// ends with its default answer, and the station is closed only once every
// nested event loop has returned: no handler still on the stack under a
// dialog finds its window or its job configuration gone.

#include <functional>

namespace shutdown {

// The station is closing. Boxes and dialogs opened now answer their default
// at once, so the handler that opened one takes its usual cancel way.
bool Requested();

// Records the request and ends the open boxes and dialogs (the UI service's
// EndOpenBoxes); the closer then runs from the outermost event loop, again
// while it answers False (start-up still runs, a run is being stopped). A
// second request only makes sure the closer is on its way.
void Request();

// What closes the station: answers True once it has ended. Start-up
// installs it; without one a request only ends the boxes.
void SetCloser(std::function<bool()> closer);

// Held while a box or dialog waits in its own event loop (the UI service).
class NestedLoop
{
public:
    NestedLoop();
    ~NestedLoop();
    NestedLoop(const NestedLoop&) = delete;
    NestedLoop& operator=(const NestedLoop&) = delete;
};

// A box or dialog waits, or any other event loop runs inside the main one:
// closing now would pull the station from under the handler that waits.
bool InNestedLoop();

// Forgets a request (a new station in the same process: tests).
void Reset();

} // namespace shutdown
