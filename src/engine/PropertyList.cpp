#include "PropertyList.h"

#include <fcntl.h>
#include <libxml/xmlreader.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "TextTools.h"

namespace lexoria {

namespace {

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};

// Nesting deeper than this is no property list the program ships or fetches.
constexpr int kMaxDepth = 64;
// Nor is a file larger than this.
constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

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

// Mirrors how the property-list parser tokenises: it skips comments and character data
// up to their first end mark, processing instructions and the document type up to theirs
// outside double quotes, and reads a tag up to the first '>' outside double quotes.
// Openers count wherever they stand, so an odd construct can only make the count higher.
class NestingScanner {
  public:
    explicit NestingScanner(std::string_view xml) : xml_(xml) {}

    bool within(int limit) {
        int depth = 0;
        for (std::size_t at = xml_.find('<'); at != std::string_view::npos;
             at = xml_.find('<', at)) {
            const std::string_view rest = xml_.substr(at);
            if (rest.rfind("<!--", 0) == 0) {
                at = after(at + 4, "-->", false);
            } else if (rest.rfind("<![CDATA[", 0) == 0) {
                at = after(at + 9, "]]>", false);
            } else if (rest.rfind("<?", 0) == 0) {
                at = after(at + 2, "?>", true);
            } else if (rest.rfind("<!DOCTYPE", 0) == 0) {
                at = nextOutsideQuotes(at + 9, "[>");
                if (at < xml_.size() && xml_[at] == '[') {
                    at = after(at + 1, "]>", true);
                } else if (at < xml_.size()) {
                    ++at;
                }
            } else if (rest.rfind("<!", 0) == 0) {
                return true;  // the parser stops here with an error
            } else {
                const bool closing = rest.size() > 1 && rest[1] == '/';
                const std::string_view name = rest.substr(closing ? 2 : 1);
                const bool container = name.rfind("dict", 0) == 0 || name.rfind("array", 0) == 0;
                const std::size_t end = nextOutsideQuotes(at + 1, "<>");
                const bool empty = end < xml_.size() && xml_[end] == '>' && xml_[end - 1] == '/';
                if (container && closing) {
                    --depth;
                } else if (container && !empty && ++depth > limit) {
                    return false;
                }
                at = end;
            }
            if (at >= xml_.size()) {
                break;
            }
        }
        return true;
    }

  private:
    std::size_t after(std::size_t from, std::string_view mark, bool skipQuotes) const {
        std::size_t at = from;
        while (at < xml_.size()) {
            if (skipQuotes && xml_[at] == '"') {
                at = xml_.find('"', at + 1);
                if (at == std::string_view::npos) {
                    return xml_.size();
                }
            } else if (xml_.substr(at, mark.size()) == mark) {
                return at + mark.size();
            }
            ++at;
        }
        return xml_.size();
    }

    std::size_t nextOutsideQuotes(std::size_t from, std::string_view stops) const {
        std::size_t at = from;
        while (at < xml_.size()) {
            if (xml_[at] == '"') {
                at = xml_.find('"', at + 1);
                if (at == std::string_view::npos) {
                    return xml_.size();
                }
            } else if (stops.find(xml_[at]) != std::string_view::npos) {
                return at;
            }
            ++at;
        }
        return xml_.size();
    }

    std::string_view xml_;
};

// The control characters XML 1.0 does not allow, and the carriage return, which an XML
// reader would turn into a line feed.
bool isStoodInControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0 && byte < 0x20 && c != '\t' && c != '\n';
}

// The last byte of a stand-in U+FDD1 to U+FDEF, after EF B7.
bool isStandIn(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x91 && byte <= 0xAF;
}

struct ReaderDeleter {
    void operator()(xmlTextReaderPtr reader) const { xmlFreeTextReader(reader); }
};

// The text form of a scalar element, as the tree reader gives it.
std::optional<std::string> scalarText(const std::string& element, const std::string& content) {
    if (element == "string") {
        return content;
    }
    if (element == "integer") {
        const std::size_t first = content.find_first_not_of(" \t\r\n");
        std::string digits = first == std::string::npos ? "" : content.substr(first);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
            digits.erase(0, 1);
        }
        uint64_t number = std::strtoull(digits.c_str(), nullptr, 0);
        if (negative) {
            number = ~number + 1;
        }
        return std::to_string(static_cast<int64_t>(number));
    }
    if (element == "real") {
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, std::atof(content.c_str())).ptr;
        return std::string(text, end);
    }
    if (element == "true" || element == "false") {
        return std::string(element == "true" ? "1" : "0");
    }
    if (element == "date" || element == "data") {
        return std::string();
    }
    return std::nullopt;
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
        !xmlNestingWithin(bytes, kMaxDepth)) {
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
    const FileBytes read = readRegularFile(file, kMaxFileBytes);
    if (read.status != FileBytes::Status::ok) {
        return std::nullopt;
    }
    return parsePropertyList(read.bytes);
}

bool xmlNestingWithin(std::string_view xml, int limit) {
    return NestingScanner(xml).within(limit);
}

std::optional<std::map<std::string, std::string>> parseTextDictionary(std::string_view input,
                                                                      std::string& problem) {
    problem = "it is not a property list dictionary";
    if (input.empty() || input.size() > INT_MAX) {
        return std::nullopt;
    }
    // Property lists carry control characters raw, which XML does not allow: they pass
    // the XML reader as the noncharacters U+FDD1 to U+FDEF and are put back in the texts.
    std::string stand;
    const bool controls = std::any_of(input.begin(), input.end(), isStoodInControl);
    if (controls) {
        for (std::size_t at = input.find("\xEF\xB7"); at != std::string_view::npos;
             at = input.find("\xEF\xB7", at + 1)) {
            if (at + 2 < input.size() && isStandIn(input[at + 2])) {
                return std::nullopt;  // the file's own noncharacters would be taken for ours
            }
        }
        stand.reserve(input.size() + 64);
        for (const char c : input) {
            if (isStoodInControl(c)) {
                stand += "\xEF\xB7";
                stand.push_back(static_cast<char>(0x90 + c));
            } else {
                stand.push_back(c);
            }
        }
        if (stand.size() > INT_MAX) {
            return std::nullopt;
        }
    }
    const std::string_view bytes = controls ? std::string_view(stand) : input;
    const auto restore = [controls](std::string text) {
        if (!controls) {
            return text;
        }
        std::string out;
        out.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.compare(i, 2, "\xEF\xB7") == 0 && i + 2 < text.size() &&
                isStandIn(text[i + 2])) {
                out.push_back(static_cast<char>(static_cast<unsigned char>(text[i + 2]) - 0x90));
                i += 2;
            } else {
                out.push_back(text[i]);
            }
        }
        return out;
    };
    // A streaming reader: one pass, no recursion, and no network or external entities.
    std::unique_ptr<xmlTextReader, ReaderDeleter> reader(
        xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                           XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!reader) {
        return std::nullopt;
    }
    xmlTextReaderPtr r = reader.get();
    std::map<std::string, std::string> values;
    int dictDepth = -1;     // depth of the top dictionary once it has started
    bool dictDone = false;  // the top dictionary has ended
    std::string element;    // the member element being read, key or value
    std::string content;    // its text so far
    std::optional<std::string> key;
    const auto finishMember = [&]() -> bool {
        if (element == "key") {
            if (key) {
                return false;
            }
            key = restore(content);
            return true;
        }
        if (!key) {
            return false;
        }
        std::optional<std::string> text = scalarText(element, content);
        if (!text) {
            problem = "the value of \"" + *key + "\" is not text";
            return false;
        }
        values.insert_or_assign(std::move(*key), restore(std::move(*text)));
        key.reset();
        return true;
    };
    int status = 0;
    while ((status = xmlTextReaderRead(r)) == 1) {
        const int type = xmlTextReaderNodeType(r);
        const int depth = xmlTextReaderDepth(r);
        const auto* rawName = reinterpret_cast<const char*>(xmlTextReaderConstLocalName(r));
        const std::string name = rawName ? rawName : "";
        if (type == XML_READER_TYPE_ENTITY_REFERENCE || type == XML_READER_TYPE_ENTITY) {
            return std::nullopt;
        }
        if (type == XML_READER_TYPE_ELEMENT) {
            const bool empty = xmlTextReaderIsEmptyElement(r) == 1;
            if (dictDepth < 0) {
                if (name == "plist" && depth == 0 && !empty) {
                    continue;
                }
                if (name != "dict" || depth > 1 || dictDone) {
                    return std::nullopt;
                }
                dictDepth = depth;
                dictDone = empty;
                continue;
            }
            if (dictDone || depth != dictDepth + 1) {
                return std::nullopt;
            }
            element = name;
            content.clear();
            if (name == "dict" || name == "array") {
                if (!key) {
                    return std::nullopt;
                }
                problem = "the value of \"" + *key + "\" is not text";
                return std::nullopt;
            }
            if (empty && !finishMember()) {
                return std::nullopt;
            }
            continue;
        }
        if (type == XML_READER_TYPE_END_ELEMENT) {
            if (dictDepth >= 0 && !dictDone && depth == dictDepth + 1) {
                if (!finishMember()) {
                    return std::nullopt;
                }
                element.clear();
            } else if (dictDepth >= 0 && depth == dictDepth) {
                dictDone = true;
            }
            continue;
        }
        const bool text = type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA;
        const bool blank =
            type == XML_READER_TYPE_WHITESPACE || type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE;
        if (text || blank) {
            if (dictDepth >= 0 && !dictDone && depth == dictDepth + 2) {
                const auto* value = reinterpret_cast<const char*>(xmlTextReaderConstValue(r));
                content += value ? value : "";
            } else if (text) {
                return std::nullopt;  // loose text between the elements
            }
        }
    }
    if (status != 0 || dictDepth < 0 || !dictDone || key) {
        return std::nullopt;
    }
    problem.clear();
    return values;
}

std::string keepableText(const std::string& text) {
    std::string valid = validUtf8(text);
    std::string out;
    out.reserve(valid.size());
    for (std::size_t i = 0; i < valid.size(); ++i) {
        const auto c = static_cast<unsigned char>(valid[i]);
        if (c == 0) {
            out += "\uFFFD";
        } else if (c == 0xEF && valid.compare(i, 2, "\xEF\xBF") == 0 && i + 2 < valid.size() &&
                   (valid[i + 2] == '\xBE' || valid[i + 2] == '\xBF')) {
            out += "\uFFFD";
            i += 2;
        } else {
            out.push_back(valid[i]);
        }
    }
    return out;
}

std::string xmlPropertyList(const std::map<std::string, std::string>& texts) {
    // Written by hand: the library's dictionary insertion takes time in proportion to its
    // size for every key, which makes large files quadratic. Control characters are
    // written as they are, as the library writes them.
    const auto append = [](std::string& out, const std::string& text) {
        for (const char c : keepableText(text)) {
            switch (c) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                default:
                    out.push_back(c);
            }
        }
    };
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n";
    if (texts.empty()) {
        return out + "<dict/>\n</plist>\n";
    }
    out += "<dict>\n";
    for (const auto& [key, value] : texts) {
        out += "\t<key>";
        append(out, key);
        out += "</key>\n\t<string>";
        append(out, value);
        out += "</string>\n";
    }
    return out + "</dict>\n</plist>\n";
}

FileBytes readRegularFile(const std::filesystem::path& file, std::size_t limit) {
    FileBytes read;
    // Non-blocking, so that a FIFO in the file's place cannot hold the program.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        read.status = errno == ENOENT ? FileBytes::Status::missing : FileBytes::Status::unreadable;
        read.error = std::strerror(errno);
        return read;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        read.status = FileBytes::Status::notRegular;
        read.error = "not a regular file";
    } else if (static_cast<unsigned long long>(st.st_size) > limit) {
        read.status = FileBytes::Status::tooLarge;
        read.error = "larger than " + std::to_string(limit >> 20) + " MiB";
    } else {
        read.status = FileBytes::Status::ok;
        read.bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        // The file may grow while it is read: never past the limit.
        for (;;) {
            if (got == read.bytes.size()) {
                if (got >= limit) {
                    break;
                }
                read.bytes.resize(std::min(limit, got + 65536));
            }
            const ssize_t n = ::read(fd, read.bytes.data() + got, read.bytes.size() - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                read.status = FileBytes::Status::unreadable;
                read.error = std::strerror(errno);
                break;
            }
            if (n == 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        read.bytes.resize(got);
    }
    ::close(fd);
    if (read.status != FileBytes::Status::ok) {
        read.bytes.clear();
    }
    return read;
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
