#include "SelfTranslators.h"

#include "Charset.h"
#include "ServiceKeys.h"
#include "TextTools.h"
#include "XMLRequest.h"

namespace lexoria {

namespace {

constexpr std::size_t kWordLimit = 1000;
constexpr const char* kTooManyWords = "too many words";

// Marker characters of the cuts. The arrows are the symbol followed by the text-style
// variation selector, matched as one unit.
constexpr std::string_view kMarkOpenYandex = "\u276E";    // ❮
constexpr std::string_view kMarkCloseYandex = "\u276F";   // ❯
constexpr std::string_view kArrowRight = "\u25B6\uFE0E";  // ▶︎
constexpr std::string_view kBullet = " \u25CF ";          // " ● "
constexpr std::string_view kSemicolonStandIn = "!@!";

constexpr std::string_view kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
constexpr const char* kDictionaryUserAgent =
    "Mozilla/5.0 (Macintosh; Intel Mac OS X 10.7.5; rv:2.0.1) Gecko/20100101 Firefox/4.1.2";

void deleteAll(std::string& text, std::string_view fragment) {
    replaceAll(text, fragment, "");
}

}  // namespace

std::string SelfTranslators::setStrForParsing(const std::string& text, const std::string& first,
                                              const std::string& second) const {
    return removeMarkerSpans(text, first, second);
}

void SelfTranslators::fetchIntoOsnova(const std::string& url) {
    XMLRequest request(context_.http);
    request.request(url);
    osnova_ = request.returnDataStr();
}

std::string SelfTranslators::setService(const std::string& service,
                                        const std::string& stringForTranslate,
                                        const std::optional<std::string>& leftLangArg,
                                        const std::optional<std::string>& rightLangArg,
                                        const std::optional<std::vector<std::string>>& arForRemove,
                                        int32_t /*keyMicrosoft*/) {
    std::string text = stringForTranslate;
    if (countWordPieces(text) > kWordLimit) {
        text = kTooManyWords;
    }
    if (text.empty()) {
        return kNoText;
    }

    std::string rightLang = rightLangArg.value_or(std::string());
    if (rightLang.empty()) {
        // A locale without a region leaves the target empty; the service then answers
        // with its own complaint.
        rightLang = lowercased(context_.locale.regionCode().value_or(std::string()));
    }

    std::optional<std::string> leftLang = leftLangArg;
    if (flagValue(objectFromSettings("autoDetectLang"))) {
        leftLang = languageForString(text);
    }
    if (!leftLang) {
        leftLang = "en";
    }
    if (service != "Babylon") {
        saveObjForSettings(*leftLang, "leftSim");
    }
    if (rightLang == *leftLang) {
        return kNoText;
    }

    replaceAll(text, "&", " and ");
    replaceAll(text, "<", "\u2A7D");  // ⩽
    replaceAll(text, ">", "\u2A7E");  // ⩾

    const std::vector<std::string> noRemovals;
    const std::vector<std::string>& removals = arForRemove ? *arForRemove : noRemovals;
    std::optional<std::string> result;
    if (service == "Yandex") {
        result = yandexBranch(text, *leftLang, rightLang, removals);
    }
    if (!result) {
        return kNoText;
    }
    replaceAll(*result, "\n\n", "\n");
    return *result;
}

std::optional<std::string> SelfTranslators::yandexBranch(
    const std::string& text, const std::string& leftLang, std::string rightLang,
    const std::vector<std::string>& arForRemove) {
    for (std::string_view chinese : {"zh-CHT", "zh-CHS", "zh-CN", "zh-TW"}) {
        replaceAll(rightLang, chinese, "zh");
    }
    const std::string translateUrl = https(context_.addresses.yandexTranslate) +
                                     "/api/v1.5/tr/translate?key=" + kYandexTranslateKey +
                                     "&lang=" + leftLang + "-" + rightLang + "&text=";

    if (text.find(' ') == std::string::npos) {
        const std::string word = percentEncode(lowercased(text));
        const std::string lookupUrl = https(context_.addresses.yandexDictionary) +
                                      "/api/v1/dicservice/lookup?key=" + kYandexDictionaryKey +
                                      "&lang=" + leftLang + "-" + rightLang + "&text=" + word;
        // The dictionary answers in UTF-8 whatever it declares.
        std::optional<HttpAnswer> answer = httpGet(lookupUrl, context_.http, kDictionaryUserAgent);
        osnova_ = answer ? decodeText(answer->body, std::string("UTF-8")) : std::nullopt;
        std::string entry = yandexDic();
        for (const std::string& fragment : arForRemove) {
            deleteAll(entry, fragment);
        }
        if (!entry.empty()) {
            return entry;
        }
        fetchIntoOsnova(translateUrl + word);
        return yandexStr();
    }

    std::string encoded = percentEncode(text);
    replaceAll(encoded, ";", kSemicolonStandIn);
    fetchIntoOsnova(translateUrl + encoded);
    std::string translation = yandexStr();
    replaceAll(translation, kSemicolonStandIn, ";");
    return translation;
}

std::string SelfTranslators::yandexStr() {
    std::string work = std::string(kMarkOpenYandex) + osnova_.value_or(std::string());
    replaceAll(work, "<text>", kMarkCloseYandex);
    replaceAll(work, "</text>", kMarkOpenYandex);
    work = removeMarkerSpans(work, kMarkOpenYandex, kMarkCloseYandex);
    deleteAll(work, kMarkCloseYandex);
    osnova_ = work;
    return work;
}

std::string SelfTranslators::yandexDic() {
    std::string work = osnova_.value_or(std::string());
    replaceAll(work, kXmlDeclaration, kMarkOpenYandex);
    replaceAll(work, "\n", " ");
    replaceAll(work, "<head/>", kMarkCloseYandex);
    work = removeMarkerSpans(work, kMarkOpenYandex, kMarkCloseYandex);
    replaceAll(work, "\n", " ");
    replaceAll(work, "<def", "\n<def");
    replaceAll(work, "<ex>", "\n");
    replaceAll(work, "</ex>", "\n");
    replaceAll(work, "<tr>", kBullet);
    replaceAll(work, "</tr>", " ");
    replaceAll(work, "<mean>", " ");
    replaceAll(work, "</text>", " </text> ");
    work = removeMarkerSpans(work, "<", ">");
    deleteAll(work, ">");
    osnova_ = work;
    return work;
}

std::string SelfTranslators::languageForString(const std::string& text) {
    const std::string encoded = percentEncode(text);

    fetchIntoOsnova(https(context_.addresses.yandexTranslate) +
                    "/api/v1.5/tr/detect?key=" + kYandexTranslateKey + "&text=" + encoded);
    std::string work = osnova_.value_or(std::string());
    replaceAll(work, "lang=\"", kArrowRight);
    work = removeMarkerSpans(work, "<", kArrowRight);
    work = removeMarkerSpans(work, "\"", ">");
    deleteAll(work, kArrowRight);
    deleteAll(work, ">");
    osnova_ = work;
    if (!work.empty()) {
        return work;
    }

    fetchIntoOsnova(http(context_.addresses.microsoft) + "/v2/Http.svc/Detect?appId=" + kApiF +
                    "&text=" + encoded);
    work = removeMarkerSpans(osnova_.value_or(std::string()), "<", ">");
    deleteAll(work, ">");
    osnova_ = work;
    return work;
}

}  // namespace lexoria
