#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ports/Accessibility.h"
#include "ports/LanguageGuesser.h"
#include "ports/Screens.h"

namespace lexoria {

// What can be read and said about the elements of other programs, without keeping any.
// Failures come back as absent values, 0, false or the zero rectangle.
class UIElementUtilities {
  public:
    static int32_t processIdentifierOfUIElement(const AccessibleElement& element);
    static std::optional<std::vector<std::string>> attributeNamesOfUIElement(
        const AccessibleElement& element);
    static std::optional<std::vector<std::string>> actionNamesOfUIElement(
        const AccessibleElement& element);
    static std::optional<std::string> descriptionOfAction(const std::string& action,
                                                          const AccessibleElement& element);
    static void performAction(const std::string& action, AccessibleElement& element);
    // Only attributes the element lists are read.
    static std::optional<AXValue> valueOfAttribute(const std::string& attribute,
                                                   const AccessibleElement& element);
    static bool canSetAttribute(const std::string& attribute, const AccessibleElement& element);
    static std::shared_ptr<AccessibleElement> parentOfUIElement(const AccessibleElement& element);
    static std::optional<std::string> roleOfUIElement(const AccessibleElement& element);
    static std::optional<std::string> titleOfUIElement(const AccessibleElement& element);
    static bool isApplicationUIElement(const AccessibleElement& element);

    // Bottom-left point to top-left point: (0, 0) when it lies on no monitor.
    static Point carbonScreenPointFromCocoaScreenPoint(Point point,
                                                       const std::vector<Screen>& screens);
    static ScreenRect flippedScreenBounds(ScreenRect rect, const std::vector<Screen>& screens);
    // The element's frame in the bottom-left system.
    static ScreenRect frameOfUIElement(const AccessibleElement& element,
                                       const std::vector<Screen>& screens);

    static std::string stringDescriptionOfAXValue(const AXValue& value, bool verbose);
    static std::optional<std::string> descriptionOfValue(const std::optional<AXValue>& value,
                                                         bool verbose);
    static std::optional<std::string> descriptionForUIElement(const AccessibleElement& element,
                                                              const std::string& attribute,
                                                              bool verbose);
    static std::string descriptionOfAXDescriptionOfUIElement(const AccessibleElement& element);
    // The element's ancestors from the outermost down, the element last.
    static std::vector<std::string> lineageOfUIElement(const AccessibleElement& element);
    static std::string lineageDescriptionOfUIElement(const AccessibleElement& element);
    // "💡" when any attribute of the element reads exactly that.
    static std::optional<std::string> stringDescriptionOfUIElement(
        const AccessibleElement& element);
    static std::optional<std::string> languageForString(const std::string& text,
                                                        const LanguageGuesser& guesser);
};

}  // namespace lexoria
