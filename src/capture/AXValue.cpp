#include <cmath>
#include <cstdio>

#include "ports/Accessibility.h"

namespace lexoria {

AXValue AXValue::ofText(std::string text) {
    AXValue value;
    value.kind = Kind::Text;
    value.text = std::move(text);
    return value;
}

AXValue AXValue::ofNumber(double number) {
    AXValue value;
    value.kind = Kind::Number;
    value.number = number;
    return value;
}

AXValue AXValue::ofPoint(Point point) {
    AXValue value;
    value.kind = Kind::Point;
    value.point = point;
    return value;
}

AXValue AXValue::ofSize(Size size) {
    AXValue value;
    value.kind = Kind::Size;
    value.size = size;
    return value;
}

AXValue AXValue::ofRange(TextRange range) {
    AXValue value;
    value.kind = Kind::Range;
    value.range = range;
    return value;
}

AXValue AXValue::ofElement(std::shared_ptr<AccessibleElement> element) {
    AXValue value;
    value.kind = Kind::Element;
    value.element = std::move(element);
    return value;
}

AXValue AXValue::ofList(std::vector<AXValue> list) {
    AXValue value;
    value.kind = Kind::List;
    value.list = std::move(list);
    return value;
}

int AXValue::valueType() const {
    switch (kind) {
        case Kind::Point:
            return 1;
        case Kind::Size:
            return 2;
        case Kind::Rect:
            return 3;
        case Kind::Range:
            return 4;
        case Kind::Error:
            return 5;
        default:
            return 0;
    }
}

std::string AXValue::description() const {
    char buffer[128];
    switch (kind) {
        case Kind::Text:
            return text;
        case Kind::Number:
            if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 1e15) {
                std::snprintf(buffer, sizeof buffer, "%.0f", number);
            } else {
                std::snprintf(buffer, sizeof buffer, "%g", number);
            }
            return buffer;
        case Kind::Boolean:
            return number != 0 ? "1" : "0";
        case Kind::Element:
            return element ? element->description() : "(null)";
        case Kind::List:
            std::snprintf(buffer, sizeof buffer, "(%zu values)", list.size());
            return buffer;
        case Kind::TextMarker:
            std::snprintf(buffer, sizeof buffer, "<text marker %ld>", range.location);
            return buffer;
        case Kind::TextMarkerRange:
            std::snprintf(buffer, sizeof buffer, "<text marker range %ld %ld>", range.location,
                          range.length);
            return buffer;
        default:
            return "AXValue";
    }
}

}  // namespace lexoria
