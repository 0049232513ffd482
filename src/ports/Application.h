#pragma once

namespace lexoria {

// The running application as a whole.
class Application {
  public:
    virtual ~Application() = default;
    virtual void activateIgnoringOtherApps() = 0;
    virtual void hide() = 0;
    // Ends the program once control returns to the event loop; callers return at once.
    virtual void terminate() = 0;
};

}  // namespace lexoria
