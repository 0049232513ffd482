#include "TextTools.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

namespace lexoria {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return;
    }
    std::size_t at = text.find(from);
    if (at == std::string::npos) {
        return;
    }
    // Build the result in one pass: repeated in-place replacement is quadratic on the
    // large pages the services send.
    std::string out;
    out.reserve(text.size());
    std::size_t from_pos = 0;
    while (at != std::string::npos) {
        out.append(text, from_pos, at - from_pos);
        out.append(to);
        from_pos = at + from.size();
        at = text.find(from, from_pos);
    }
    out.append(text, from_pos, std::string::npos);
    text = std::move(out);
}

std::string replacedAll(std::string text, std::string_view from, std::string_view to) {
    replaceAll(text, from, to);
    return text;
}

std::string removeMarkerSpans(std::string_view text, std::string_view open,
                              std::string_view close) {
    std::string result;
    result.reserve(text.size());
    std::size_t p = 0;
    while (p < text.size()) {
        std::size_t o = open.empty() ? std::string_view::npos : text.find(open, p);
        if (o == std::string_view::npos) {
            result.append(text.substr(p));
            break;
        }
        result.append(text.substr(p, o - p));
        p = o;
        std::size_t c = close.empty() ? std::string_view::npos : text.find(close, p);
        if (c == p) {
            // A closing mark that starts where the opening mark does cannot end the span
            // it opens; look past the opening mark so the cut always moves on.
            c = text.find(close, p + open.size());
        }
        p = c == std::string_view::npos ? text.size() : c;
    }
    return result;
}

namespace {

bool isUrlLegal(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    constexpr std::string_view kMarks = "-_.!~*'();/?:@&=+$,";
    return kMarks.find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string percentEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (unsigned char c : text) {
        if (isUrlLegal(c)) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        }
    }
    return out;
}

bool isValidUtf8(std::string_view text) {
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) {
        return false;
    }
    int32_t i = 0;
    while (i < length) {
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c < 0) {
            return false;
        }
    }
    return true;
}

std::string validUtf8(std::string_view text) {
    if (isValidUtf8(text)) {
        return std::string(text);
    }
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int64_t>(text.size());
    std::string out;
    out.reserve(text.size() + 8);
    int64_t i = 0;
    while (i < length) {
        const int64_t start = i;
        UChar32 c;
        int32_t step = 0;
        const int32_t window = static_cast<int32_t>(std::min<int64_t>(length - i, 4));
        U8_NEXT(s + i, step, window, c);
        i += step;
        if (c < 0) {
            out += "\uFFFD";
        } else {
            out.append(
                text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(step)));
        }
    }
    return out;
}

namespace {

// White space and line breaks: the space separators and the C0/C1 breaks, as a text
// view's word splitter sees them.
bool isWhitespaceOrNewline(UChar32 c) {
    if ((c >= 0x09 && c <= 0x0D) || c == 0x85) {
        return true;
    }
    const int8_t type = u_charType(c);
    return type == U_SPACE_SEPARATOR || type == U_LINE_SEPARATOR || type == U_PARAGRAPH_SEPARATOR;
}

}  // namespace

std::size_t countWordPieces(std::string_view text) {
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int64_t>(text.size());
    std::size_t pieces = 1;
    int64_t i = 0;
    while (i < length) {
        // ASCII fast path; U8_NEXT handles the rest (an ill-formed byte is no separator).
        if (s[i] < 0x80) {
            const uint8_t c = s[i++];
            pieces += (c == ' ' || (c >= 0x09 && c <= 0x0D)) ? 1 : 0;
            continue;
        }
        UChar32 c;
        int32_t step = 0;
        const int32_t window = static_cast<int32_t>(std::min<int64_t>(length - i, 4));
        U8_NEXT(s + i, step, window, c);
        i += step;
        if (c >= 0 && isWhitespaceOrNewline(c)) {
            ++pieces;
        }
    }
    return pieces;
}

bool isDecimalInteger(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string lowercased(std::string_view text) {
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    u.toLower(icu::Locale::getRoot());
    std::string out;
    u.toUTF8String(out);
    return out;
}

bool jsonNestingWithin(std::string_view json, int limit) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) {
                return false;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

std::string withoutControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 0x20 && byte != 0x7F) || c == '\n' || c == '\t') {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace lexoria
