#include "PropertyList.h"

#include <plist/plist.h>

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <new>

#include "TextTools.h"

namespace lexoria {

namespace {

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};

// Nesting deeper than this is no property list the program ships or fetches.
constexpr int kMaxDepth = 64;

std::optional<PlistValue> convert(plist_t node, int depth) {
    if (depth > kMaxDepth) {
        return std::nullopt;
    }
    switch (plist_get_node_type(node)) {
        case PLIST_STRING: {
            // Read through the buffer: the library's copying getter asserts on a string
            // with a NUL character in it.
            uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            std::string value =
                text ? std::string(text, static_cast<std::size_t>(length)) : std::string();
            if (!isValidUtf8(value)) {
                return std::nullopt;
            }
            return PlistValue{std::move(value)};
        }
        case PLIST_UINT: {
            // The library keeps every integer in 64 unsigned bits; negative ones wrap.
            uint64_t number = 0;
            plist_get_uint_val(node, &number);
            return PlistValue{std::to_string(static_cast<int64_t>(number))};
        }
        case PLIST_REAL: {
            double number = 0;
            plist_get_real_val(node, &number);
            char text[32];
            const auto end = std::to_chars(text, text + sizeof text, number).ptr;
            return PlistValue{std::string(text, end)};
        }
        case PLIST_BOOLEAN: {
            uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            return PlistValue{std::string(flag ? "1" : "0")};
        }
        case PLIST_ARRAY: {
            PlistValue::Array items;
            const uint32_t count = plist_array_get_size(node);
            for (uint32_t i = 0; i < count; ++i) {
                auto item = convert(plist_array_get_item(node, i), depth + 1);
                if (!item) {
                    return std::nullopt;
                }
                items.push_back(std::move(*item));
            }
            return PlistValue{std::move(items)};
        }
        case PLIST_DICT: {
            PlistValue::Dictionary members;
            plist_dict_iter it = nullptr;
            plist_dict_new_iter(node, &it);
            for (;;) {
                char* key = nullptr;
                plist_t child = nullptr;
                plist_dict_next_item(node, it, &key, &child);
                if (!key) {
                    break;
                }
                std::string keyText = key;
                std::free(key);
                auto member = child ? convert(child, depth + 1) : std::nullopt;
                if (!member || !isValidUtf8(keyText)) {
                    std::free(it);
                    return std::nullopt;
                }
                members.emplace(std::move(keyText), std::move(*member));
            }
            std::free(it);
            return PlistValue{std::move(members)};
        }
        default:
            // Data and dates carry nothing the program reads.
            return PlistValue{std::string()};
    }
}

// True when the XML nests its arrays and dictionaries no deeper than `limit`: the
// parser recurses once per level, and a hostile file must not exhaust the stack.
bool nestingWithin(std::string_view xml, int limit) {
    int depth = 0;
    for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
        const std::string_view tag = xml.substr(at + 1);
        const bool closing = !tag.empty() && tag.front() == '/';
        const std::string_view name = closing ? tag.substr(1) : tag;
        if (name.rfind("dict", 0) != 0 && name.rfind("array", 0) != 0) {
            continue;
        }
        const std::size_t end = xml.find('>', at);
        const bool empty = end != std::string_view::npos && end > at && xml[end - 1] == '/';
        if (closing) {
            --depth;
        } else if (!empty && ++depth > limit) {
            return false;
        }
    }
    return true;
}

}  // namespace

const PlistValue* PlistValue::member(const std::string& key) const {
    const Dictionary* members = dictionary();
    if (!members) {
        return nullptr;
    }
    const auto it = members->find(key);
    return it == members->end() ? nullptr : &it->second;
}

std::optional<PlistValue> parsePropertyList(std::string_view bytes) {
    // Only XML property lists are read: the binary form has no use here and its own
    // recursion.
    if (bytes.empty() || bytes.size() > UINT32_MAX || bytes.rfind("bplist", 0) == 0 ||
        !nestingWithin(bytes, kMaxDepth)) {
        return std::nullopt;
    }
    plist_t raw = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &raw);
    std::unique_ptr<void, PlistDeleter> root(raw);
    if (!root) {
        return std::nullopt;
    }
    return convert(root.get(), 0);
}

std::optional<PlistValue> readPropertyList(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parsePropertyList(bytes);
}

std::string keepableText(const std::string& text) {
    return replacedAll(validUtf8(text), std::string_view("\0", 1), "\uFFFD");
}

std::string xmlPropertyList(const std::map<std::string, std::string>& texts) {
    std::unique_ptr<void, PlistDeleter> root(plist_new_dict());
    // Only what reads back the same is written: ill-formed UTF-8 and NUL characters
    // become U+FFFD.
    const auto writable = [](const std::string& text) {
        return replacedAll(validUtf8(text), std::string_view("\0", 1), "\uFFFD");
    };
    for (const auto& [key, value] : texts) {
        plist_dict_set_item(root.get(), writable(key).c_str(),
                            plist_new_string(writable(value).c_str()));
    }
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (!xml) {
        throw std::bad_alloc();
    }
    std::string out(xml, length);
    plist_to_xml_free(xml);
    return out;
}

std::map<std::string, std::string> textDictionary(const PlistValue* value) {
    std::map<std::string, std::string> texts;
    if (!value || !value->dictionary()) {
        return texts;
    }
    for (const auto& [key, member] : *value->dictionary()) {
        if (const std::string* text = member.text()) {
            texts.emplace(key, *text);
        }
    }
    return texts;
}

}  // namespace lexoria
