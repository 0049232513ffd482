#pragma once

namespace lexoria {

// The running application as a whole.
class Application {
  public:
    virtual ~Application() = default;
    // Shows the windows that hide() hid and gives the program the focus.
    virtual void activateIgnoringOtherApps() = 0;
    // Hides all the program's windows and gives the focus back to the program that had it
    // before; they count as not visible until the next activation. Timers go on running.
    virtual void hide() = 0;
    // Ends the program once control returns to the event loop; callers return at once.
    // Also when called before the event loop runs (during start-up): the program then
    // ends as soon as the loop starts.
    virtual void terminate() = 0;
};

}  // namespace lexoria
