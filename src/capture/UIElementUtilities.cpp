#include "capture/UIElementUtilities.h"

#include <algorithm>
#include <cstdio>

#include "capture/ScreenCoordinates.h"
#include "capture/Utf16.h"

namespace lexoria {
namespace {

constexpr const char* kMarker = "\xF0\x9F\x92\xA1";  // 💡
// A parent chain longer than this loops: a program's tree is never that deep.
constexpr int kMaxLineage = 512;

std::optional<std::string> textOf(const std::optional<AXValue>& value) {
    if (!value) {
        return std::nullopt;
    }
    return value->description();
}

// An element as a value describes itself by role and title.
std::string describeElement(const AccessibleElement& element) {
    const auto role = element.copyAttributeValue(ax::kRole);
    if (!role) {
        return element.description();
    }
    if (const auto title = UIElementUtilities::titleOfUIElement(element)) {
        return "<" + role->description() + ": \u201C" + *title + "\u201D>";
    }
    return "<" + role->description() + ">";
}

}  // namespace

int32_t UIElementUtilities::processIdentifierOfUIElement(const AccessibleElement& element) {
    return element.processIdentifier().value_or(0);
}

std::optional<std::vector<std::string>> UIElementUtilities::attributeNamesOfUIElement(
    const AccessibleElement& element) {
    return element.attributeNames();
}

std::optional<std::vector<std::string>> UIElementUtilities::actionNamesOfUIElement(
    const AccessibleElement& element) {
    return element.actionNames();
}

std::optional<std::string> UIElementUtilities::descriptionOfAction(
    const std::string& action, const AccessibleElement& element) {
    return element.actionDescription(action);
}

void UIElementUtilities::performAction(const std::string& action, AccessibleElement& element) {
    element.performAction(action);
}

std::optional<AXValue> UIElementUtilities::valueOfAttribute(const std::string& attribute,
                                                            const AccessibleElement& element) {
    const auto names = attributeNamesOfUIElement(element);
    if (!names || std::find(names->begin(), names->end(), attribute) == names->end()) {
        return std::nullopt;
    }
    return element.copyAttributeValue(attribute);
}

bool UIElementUtilities::canSetAttribute(const std::string& attribute,
                                         const AccessibleElement& element) {
    return element.isAttributeSettable(attribute).value_or(false);
}

std::shared_ptr<AccessibleElement> UIElementUtilities::parentOfUIElement(
    const AccessibleElement& element) {
    const auto value = valueOfAttribute(ax::kParent, element);
    if (!value || value->kind != AXValue::Kind::Element) {
        return nullptr;
    }
    return value->element;
}

std::optional<std::string> UIElementUtilities::roleOfUIElement(const AccessibleElement& element) {
    return textOf(valueOfAttribute(ax::kRole, element));
}

std::optional<std::string> UIElementUtilities::titleOfUIElement(const AccessibleElement& element) {
    return textOf(valueOfAttribute(ax::kTitle, element));
}

bool UIElementUtilities::isApplicationUIElement(const AccessibleElement& element) {
    return roleOfUIElement(element) == ax::kApplicationRole;
}

Point UIElementUtilities::carbonScreenPointFromCocoaScreenPoint(
    Point point, const std::vector<Screen>& screens) {
    return topLeftFromBottomLeft(point, screens);
}

ScreenRect UIElementUtilities::flippedScreenBounds(ScreenRect rect,
                                                   const std::vector<Screen>& screens) {
    return flipRectangle(rect, screens);
}

ScreenRect UIElementUtilities::frameOfUIElement(const AccessibleElement& element,
                                                const std::vector<Screen>& screens) {
    const auto position = valueOfAttribute(ax::kPosition, element);
    const auto size = valueOfAttribute(ax::kSize, element);
    if (!position || !size) {
        return {};
    }
    const Point origin = position->valueType() == 1 ? position->point : Point{};
    const Size extent = size->valueType() == 2 ? size->size : Size{};
    return flippedScreenBounds({origin.x, origin.y, extent.width, extent.height}, screens);
}

std::string UIElementUtilities::stringDescriptionOfAXValue(const AXValue& /*value*/,
                                                           bool /*verbose*/) {
    return "AXValue???";
}

std::optional<std::string> UIElementUtilities::descriptionOfValue(
    const std::optional<AXValue>& value, bool verbose) {
    if (!value || (value->kind == AXValue::Kind::Element && !value->element)) {
        return std::nullopt;
    }
    if (value->valueType() != 0) {
        return stringDescriptionOfAXValue(*value, verbose);
    }
    if (value->kind == AXValue::Kind::List) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "<array of size %lu>",
                      static_cast<unsigned long>(value->list.size()));
        return buffer;
    }
    if (value->kind == AXValue::Kind::Element) {
        return describeElement(*value->element);
    }
    return value->description();
}

std::optional<std::string> UIElementUtilities::descriptionForUIElement(
    const AccessibleElement& element, const std::string& attribute, bool verbose) {
    if (attribute == ax::kChildren || attribute == ax::kRows) {
        if (const auto count = element.attributeValueCount(attribute)) {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "<array of size %ld>", *count);
            return buffer;
        }
    }
    const auto value = element.copyAttributeValue(attribute);
    if (!value) {
        return std::nullopt;
    }
    return descriptionOfValue(value, verbose);
}

std::string UIElementUtilities::descriptionOfAXDescriptionOfUIElement(
    const AccessibleElement& element) {
    return textOf(valueOfAttribute(ax::kDescription, element)).value_or("");
}

std::vector<std::string> UIElementUtilities::lineageOfUIElement(const AccessibleElement& element) {
    std::vector<std::shared_ptr<AccessibleElement>> ancestors;
    for (auto parent = parentOfUIElement(element);
         parent && static_cast<int>(ancestors.size()) < kMaxLineage;
         parent = parentOfUIElement(*parent)) {
        ancestors.push_back(parent);
    }
    std::vector<std::string> lineage;
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) {
        lineage.push_back(describeElement(**it));
    }
    lineage.push_back(describeElement(element));
    return lineage;
}

std::string UIElementUtilities::lineageDescriptionOfUIElement(const AccessibleElement& element) {
    std::string text;
    std::string indent;
    for (const auto& entry : lineageOfUIElement(element)) {
        text += indent + entry + "\n";
        indent += " ";
    }
    return text;
}

std::optional<std::string> UIElementUtilities::stringDescriptionOfUIElement(
    const AccessibleElement& element) {
    const auto names = attributeNamesOfUIElement(element);
    if (!names || names->empty()) {
        return std::nullopt;
    }
    bool marked = false;
    for (const auto& name : *names) {
        if (descriptionForUIElement(element, name, false) == kMarker) {
            marked = true;
        }
    }
    return marked ? std::optional<std::string>(kMarker) : std::nullopt;
}

std::optional<std::string> UIElementUtilities::languageForString(const std::string& text,
                                                                 const LanguageGuesser& guesser) {
    const auto units = utf16FromUtf8(text);
    return guesser.languageOf(utf8FromUtf16(std::u16string_view(units).substr(0, 100)));
}

}  // namespace lexoria
