#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "ports/Accessibility.h"
#include "ports/RunLoop.h"
#include "ports/Screens.h"

namespace lexoria {

class SendedStringDelegate {
  public:
    virtual ~SendedStringDelegate() = default;
    virtual void sendString(const std::string& text) = 0;
};

struct UIRunHost {
    RunLoop& runLoop;
    Screens& screens;
    Pointer& pointer;
    Accessibility& accessibility;
};

// Follows the element under the mouse pointer ten times a second and tells its delegate
// when the pointer arrives on an element marked "💡". Once started it polls for the life
// of the process: the pending timer keeps it alive.
class UIRun : public std::enable_shared_from_this<UIRun> {
  public:
    explicit UIRun(const UIRunHost& host);

    void awakeFromNib();
    void performTimerBasedUpdate();
    void updateCurrentUIElement();

    std::shared_ptr<AccessibleElement> currentUIElement() const { return _currentUIElement; }
    void setCurrentUIElement(std::shared_ptr<AccessibleElement> element);
    void updateUIElementInfoWithAnimation(bool animate);
    void updateInfoForUIElement(const std::shared_ptr<AccessibleElement>& element);
    void unlockCurrentUIElement();
    void navigateToUIElement(std::shared_ptr<AccessibleElement> representedObject);
    void refreshInteractionUIElement();

    std::shared_ptr<SendedStringDelegate> delegate() const;
    void setDelegate(std::shared_ptr<SendedStringDelegate> delegate);

  private:
    RunLoop& runLoop_;
    Screens& screens_;
    Pointer& pointer_;
    Accessibility& _systemWideElement;

    Point _lastMousePoint;
    std::shared_ptr<AccessibleElement> _currentUIElement;
    bool _currentlyInteracting = false;
    mutable std::mutex delegateLock_;
    std::shared_ptr<SendedStringDelegate> _delegate;
};

}  // namespace lexoria
