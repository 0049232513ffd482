#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ports/Screens.h"

namespace lexoria {

class AccessibleElement;

// A range of text in UTF-16 code units.
struct TextRange {
    long location = 0;
    long length = 0;
    bool operator==(const TextRange&) const = default;
};

// A value read from an element: what an attribute holds, or the argument of a
// parameterized text query.
struct AXValue {
    enum class Kind {
        Text,
        Number,
        Boolean,
        Point,
        Size,
        Rect,
        Range,
        Error,
        Element,
        List,
        TextMarker,       // a position in an element's text
        TextMarkerRange,  // a stretch between two positions
    };

    Kind kind = Kind::Text;
    std::string text;  // UTF-8
    double number = 0;
    Point point;
    Size size;
    ScreenRect rect;
    TextRange range;  // also the positions of a marker (location) or marker range
    std::shared_ptr<AccessibleElement> element;
    std::vector<AXValue> list;

    static AXValue ofText(std::string text);
    static AXValue ofNumber(double number);
    static AXValue ofPoint(Point point);
    static AXValue ofSize(Size size);
    static AXValue ofRange(TextRange range);
    static AXValue ofElement(std::shared_ptr<AccessibleElement> element);
    static AXValue ofList(std::vector<AXValue> list);

    // The type code of the wrapper kinds (point 1, size 2, rectangle 3, range 4, error 5);
    // 0 for everything else.
    int valueType() const;
    // The value's own textual description: a text is itself, a number its decimal form.
    std::string description() const;
};

// Attribute names, as the capture code asks for them.
namespace ax {
inline constexpr const char* kParent = "AXParent";
inline constexpr const char* kRole = "AXRole";
inline constexpr const char* kTitle = "AXTitle";
inline constexpr const char* kPosition = "AXPosition";
inline constexpr const char* kSize = "AXSize";
inline constexpr const char* kChildren = "AXChildren";
inline constexpr const char* kRows = "AXRows";
inline constexpr const char* kDescription = "AXDescription";
inline constexpr const char* kApplicationRole = "AXApplication";
inline constexpr const char* kRangeForPosition = "AXRangeForPosition";
inline constexpr const char* kStringForRange = "AXStringForRange";
inline constexpr const char* kTextMarkerForPosition = "AXTextMarkerForPosition";
inline constexpr const char* kLeftWordTextMarkerRangeForTextMarker =
    "AXLeftWordTextMarkerRangeForTextMarker";
inline constexpr const char* kStringForTextMarkerRange = "AXStringForTextMarkerRange";
}  // namespace ax

// An element of another program's user interface. Every query answers absent (or false)
// when the program does not answer in time or the element has gone.
class AccessibleElement {
  public:
    virtual ~AccessibleElement() = default;

    // The same element of the same program.
    virtual bool equals(const AccessibleElement& other) const = 0;
    virtual std::optional<int32_t> processIdentifier() const = 0;

    virtual std::optional<std::vector<std::string>> attributeNames() const = 0;
    // Reads the attribute whether or not attributeNames() lists it.
    virtual std::optional<AXValue> copyAttributeValue(const std::string& name) const = 0;
    virtual std::optional<long> attributeValueCount(const std::string& name) const = 0;
    virtual std::optional<bool> isAttributeSettable(const std::string& name) const = 0;

    virtual std::optional<std::vector<std::string>> actionNames() const = 0;
    virtual std::optional<std::string> actionDescription(const std::string& action) const = 0;
    virtual void performAction(const std::string& action) = 0;

    virtual std::optional<std::vector<std::string>> parameterizedAttributeNames() const = 0;
    // Positions and ranges in the text are UTF-16 code units; points are native pixels
    // from the top left.
    virtual std::optional<AXValue> copyParameterizedAttributeValue(
        const std::string& name, const AXValue& parameter) const = 0;

    // How the element describes itself when its role cannot be read.
    virtual std::string description() const = 0;
};

// The whole desktop's elements.
class Accessibility {
  public:
    virtual ~Accessibility() = default;
    // The element under a point (native pixels from the top left); null when there is
    // none or the program under it does not answer.
    virtual std::shared_ptr<AccessibleElement> elementAtPosition(float x, float y) = 0;
};

}  // namespace lexoria
