#include "Charset.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <climits>
#include <memory>
#include <vector>

#include "TextTools.h"

namespace lexoria {

namespace {

struct ConverterDeleter {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

// The converter name for an IANA charset name, or nothing when IANA has no such name.
const char* ianaConverterName(const std::string& name) {
    UErrorCode status = U_ZERO_ERROR;
    const char* canonical = ucnv_getCanonicalName(name.c_str(), "IANA", &status);
    if (U_FAILURE(status) || canonical == nullptr) {
        return nullptr;
    }
    return canonical;
}

bool isUtf8Converter(const char* name) {
    return ucnv_compareNames(name, "UTF-8") == 0;
}

}  // namespace

std::optional<std::string> decodeText(std::string_view bytes,
                                      const std::optional<std::string>& charset) {
    const char* converterName = charset ? ianaConverterName(*charset) : nullptr;
    if (converterName == nullptr || isUtf8Converter(converterName)) {
        if (!isValidUtf8(bytes)) {
            return std::nullopt;
        }
        return std::string(bytes);
    }
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
        return std::nullopt;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterDeleter> converter(ucnv_open(converterName, &status));
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    const auto length = static_cast<int32_t>(bytes.size());
    const int32_t needed =
        ucnv_toUChars(converter.get(), nullptr, 0, bytes.data(), length, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
        return std::nullopt;
    }
    status = U_ZERO_ERROR;
    std::vector<UChar> units(static_cast<std::size_t>(needed) + 1);
    const int32_t unitCount =
        ucnv_toUChars(converter.get(), units.data(), static_cast<int32_t>(units.size()),
                      bytes.data(), length, &status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    int32_t utf8Length = 0;
    status = U_ZERO_ERROR;
    u_strToUTF8(nullptr, 0, &utf8Length, units.data(), unitCount, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(utf8Length), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8(out.data(), utf8Length, nullptr, units.data(), unitCount, &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) {
        return std::nullopt;
    }
    return out;
}

}  // namespace lexoria
