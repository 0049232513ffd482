#include "capture/UIRun.h"

#include "capture/ScreenCoordinates.h"
#include "capture/UIElementUtilities.h"

namespace lexoria {
namespace {
constexpr double kPollInterval = 0.1;
}

UIRun::UIRun(const UIRunHost& host)
    : runLoop_(host.runLoop),
      screens_(host.screens),
      pointer_(host.pointer),
      _systemWideElement(host.accessibility) {}

void UIRun::awakeFromNib() {
    performTimerBasedUpdate();
}

void UIRun::performTimerBasedUpdate() {
    updateCurrentUIElement();
    runLoop_.scheduleTimer(kPollInterval, false,
                           [self = shared_from_this()] { self->performTimerBasedUpdate(); });
}

void UIRun::updateCurrentUIElement() {
    const auto location = pointer_.location();
    if (!location) {
        return;
    }
    const auto screens = screens_.screens();
    const Point mousePoint = bottomLeftFromTopLeft(*location, screens);
    if (mousePoint == _lastMousePoint) {
        return;
    }
    const Point carbon =
        UIElementUtilities::carbonScreenPointFromCocoaScreenPoint(mousePoint, screens);
    _currentlyInteracting = false;
    const auto element = _systemWideElement.elementAtPosition(static_cast<float>(carbon.x),
                                                              static_cast<float>(carbon.y));
    if (element && (!_currentUIElement || !element->equals(*_currentUIElement))) {
        setCurrentUIElement(element);
        updateUIElementInfoWithAnimation(false);
        if (const auto marker = UIElementUtilities::stringDescriptionOfUIElement(*element)) {
            if (const auto receiver = delegate()) {
                receiver->sendString(*marker);
            }
        }
    }
    _lastMousePoint = mousePoint;
}

void UIRun::setCurrentUIElement(std::shared_ptr<AccessibleElement> element) {
    // The previous element goes when this turn of the loop is over, not under a caller
    // that may still hold on to it.
    runLoop_.post([previous = std::move(_currentUIElement)] {});
    _currentUIElement = std::move(element);
}

void UIRun::updateUIElementInfoWithAnimation(bool /*animate*/) {
    updateInfoForUIElement(currentUIElement());
}

void UIRun::updateInfoForUIElement(const std::shared_ptr<AccessibleElement>& /*element*/) {}

void UIRun::unlockCurrentUIElement() {
    _currentlyInteracting = false;
}

void UIRun::navigateToUIElement(std::shared_ptr<AccessibleElement> representedObject) {
    if (!_currentlyInteracting || !representedObject) {
        return;
    }
    const bool animate =
        !UIElementUtilities::isApplicationUIElement(*representedObject) &&
        !(_currentUIElement && UIElementUtilities::isApplicationUIElement(*_currentUIElement));
    setCurrentUIElement(std::move(representedObject));
    updateUIElementInfoWithAnimation(animate);
}

void UIRun::refreshInteractionUIElement() {
    if (_currentlyInteracting) {
        updateUIElementInfoWithAnimation(true);
    }
}

std::shared_ptr<SendedStringDelegate> UIRun::delegate() const {
    std::lock_guard guard(delegateLock_);
    return _delegate;
}

void UIRun::setDelegate(std::shared_ptr<SendedStringDelegate> delegate) {
    std::lock_guard guard(delegateLock_);
    _delegate = std::move(delegate);
}

}  // namespace lexoria
