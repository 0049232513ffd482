#include "SelfTranslators.h"

#include <nlohmann/json.hpp>

#include "Charset.h"
#include "Parsing.h"
#include "Promt.h"
#include "PropertyList.h"
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
constexpr std::string_view kArrowLeft = "\u25C0\uFE0E";   // ◀︎
constexpr std::string_view kArrowRight = "\u25B6\uFE0E";  // ▶︎
constexpr std::string_view kCheckMark = "\u2714\uFE0E";   // ✔︎
constexpr std::string_view kBracketLeft = "\u23A1";       // ⎡
constexpr std::string_view kBracketRight = "\u23A4";      // ⎤
constexpr std::string_view kGuillemetLeft = "\u00AB";     // «
constexpr std::string_view kGuillemetRight = "\u00BB";    // »
constexpr std::string_view kBullet = " \u25CF ";          // " ● "
constexpr std::string_view kSemicolonStandIn = "!@!";

constexpr std::string_view kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
constexpr const char* kDictionaryUserAgent =
    "Mozilla/5.0 (Macintosh; Intel Mac OS X 10.7.5; rv:2.0.1) Gecko/20100101 Firefox/4.1.2";

void deleteAll(std::string& text, std::string_view fragment) {
    replaceAll(text, fragment, "");
}

void deleteEach(std::string& text, const std::vector<std::string>& fragments) {
    for (const std::string& fragment : fragments) {
        deleteAll(text, fragment);
    }
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
                                        int32_t keyMicrosoft) {
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
        if (service == "Offline" && leftLang->empty() && context_.guesser) {
            leftLang = context_.guesser->languageOf(text).value_or(std::string());
        }
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

    if (service == "Offline") {
        // The engine escapes what it must itself, and its answer keeps the text's own
        // line breaks: neither the stand-ins nor the collapsing of the online answers apply.
        return offlineBranch(text, *leftLang, rightLang).value_or(kNoText);
    }
    replaceAll(text, "&", " and ");
    replaceAll(text, "<", "\u2A7D");  // ⩽
    replaceAll(text, ">", "\u2A7E");  // ⩾

    const std::vector<std::string> noRemovals;
    const std::vector<std::string>& removals = arForRemove ? *arForRemove : noRemovals;
    std::optional<std::string> result;
    if (service == "Google") {
        result = googleBranch(text, *leftLang, rightLang, removals);
    } else if (service == "Microsoft") {
        result = microsoftBranch(text, *leftLang, rightLang, keyMicrosoft);
    } else if (service == "Babylon") {
        result = babylonBranch(text, *leftLang, rightLang);
    } else if (service == "Yandex") {
        result = yandexBranch(text, *leftLang, rightLang, removals);
    } else if (service == "PROMT") {
        promtBranch(text, *leftLang, rightLang);
    }
    if (!result) {
        return kNoText;
    }
    replaceAll(*result, "\n\n", "\n");
    return *result;
}

std::optional<std::string> SelfTranslators::offlineBranch(const std::string& text,
                                                          const std::string& leftLang,
                                                          const std::string& rightLang) {
    return context_.offline ? context_.offline->translate(text, leftLang, rightLang) : std::nullopt;
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
        deleteEach(entry, arForRemove);
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

std::string SelfTranslators::googleBranch(std::string text, const std::string& leftLang,
                                          const std::string& rightLang,
                                          const std::vector<std::string>& arForRemove) {
    // Stand-ins for what the page would mangle: the quote-comma-quote of its script and
    // line breaks, which come back as the reference of the pencil sign.
    replaceAll(text, "\",\"", "\u01A2");
    replaceAll(text, "\n", " \u270E ");
    std::string url = https(context_.addresses.google) + "/?langpair=" + std::string(kArrowLeft) +
                      "%7C" + std::string(kArrowRight) + "&text=" + std::string(kCheckMark);
    replaceAll(url, kArrowLeft, leftLang);
    replaceAll(url, kArrowRight, rightLang);
    replaceAll(url, kCheckMark, percentEncode(text));
    replaceAll(url, " ", "%20");
    fetchIntoOsnova(url);
    std::string result = googlHtmlStr();
    replaceAll(result, " &#9998; ", "\n");
    deleteAll(result, "&#9998;");
    deleteEach(result, arForRemove);
    return result;
}

std::string SelfTranslators::googlHtmlStr() {
    std::string work = std::string(kArrowLeft) + osnova_.value_or(std::string());
    // The opening tag of the first translated sentence ends with this.
    constexpr std::string_view kTranslationStart = "this.style.backgroundColor='#fff'\">";
    if (const auto at = work.find(kTranslationStart); at != std::string::npos) {
        work.replace(at, kTranslationStart.size(), kArrowRight);
    }
    work = removeMarkerSpans(work, kArrowLeft, kArrowRight);
    replaceAll(work, kArrowRight, ">");
    // The elements that follow the translation.
    replaceAll(work, "<textarea ", kArrowLeft);
    replaceAll(work, "<div id=res-translit class", kArrowLeft);
    work += kArrowRight;
    work = removeMarkerSpans(work, kArrowLeft, kArrowRight);
    work = removeMarkerSpans(work, "<", ">");
    Parsing parsing;
    parsing.setStringForDecodeHTML(work);
    work = parsing.returnDecodeStr().value_or(std::string());
    deleteAll(work, kArrowRight);
    deleteAll(work, ">");
    replaceAll(work, kMarkOpenYandex, ">");
    osnova_ = work;
    return work;
}

std::string SelfTranslators::microsoftBranch(const std::string& text, const std::string& leftLang,
                                             const std::string& rightLang, int32_t keyMicrosoft) {
    const std::string encoded = percentEncode(text);
    const auto urlWith = [&](const char* appId) {
        return http(context_.addresses.microsoft) + "/V2/Http.svc/Translate?appId=" + appId +
               "&text=" + encoded + "&from=" + leftLang + "&to=" + rightLang;
    };
    fetchIntoOsnova(urlWith(keyMicrosoft == 2 ? kApiS : kApiF));
    std::string result = microsoftStr();
    if (result.find("TranslateApiExceptionMethod") != std::string::npos) {
        fetchIntoOsnova(urlWith(kApiS));
        result = microsoftStr();
    }
    return result;
}

std::string SelfTranslators::microsoftStr() {
    std::string work = removeMarkerSpans(osnova_.value_or(std::string()), "<", ">");
    deleteAll(work, ">");
    osnova_ = work;
    return work;
}

std::optional<std::string> SelfTranslators::babylonBranch(const std::string& text,
                                                          std::string leftLang,
                                                          std::string rightLang) {
    std::map<std::string, std::string> babylonCodes;
    if (context_.bundle) {
        if (const auto path = context_.bundle->pathForResource("lang", "plist")) {
            if (const auto table = readPropertyList(*path)) {
                babylonCodes = textDictionary(table->member("bab_det"));
            }
        }
    }
    for (std::string* code : {&leftLang, &rightLang}) {
        if (!isDecimalInteger(*code)) {
            if (const auto it = babylonCodes.find(*code); it != babylonCodes.end()) {
                *code = it->second;
            }
        }
    }
    std::string url = http(context_.addresses.babylon) +
                      "/translate/babylon.php?v=1.0&q=" + std::string(kCheckMark) +
                      "&langpair=" + std::string(kBracketLeft) + "%7C" +
                      std::string(kBracketRight) + "&callback=callbackFn&context=babylon";
    replaceAll(url, kCheckMark, percentEncode(text));
    replaceAll(url, kBracketLeft, leftLang);
    replaceAll(url, kBracketRight, rightLang);
    fetchIntoOsnova(url);
    return babylonHtmlStr();
}

std::optional<std::string> SelfTranslators::babylonHtmlStr() {
    if (!osnova_) {
        return std::nullopt;
    }
    // The answer is a script call whose arguments hold 'babylon', then the JSON object.
    std::string work = std::string(kMarkOpenYandex) + *osnova_ + std::string(kGuillemetRight);
    replaceAll(work, "'babylon',", kMarkCloseYandex);
    replaceAll(work, "},", "}" + std::string(kGuillemetLeft));
    work = removeMarkerSpans(work, kMarkOpenYandex, kMarkCloseYandex);
    work = removeMarkerSpans(work, kGuillemetLeft, kGuillemetRight);
    work = removeMarkerSpans(work, "<", ">");
    deleteAll(work, kMarkCloseYandex);
    deleteAll(work, kGuillemetRight);
    deleteAll(work, ">");
    deleteAll(work, "&nbsp;");
    const nlohmann::json answer =
        jsonNestingWithin(work, kMaxJsonDepth)
            ? nlohmann::json::parse(work, nullptr, /*allow_exceptions=*/false)
            : nlohmann::json();
    if (!answer.is_object()) {
        osnova_.reset();
        return std::nullopt;
    }
    const auto translated = answer.find("translatedText");
    if (translated == answer.end() || !translated->is_string()) {
        osnova_.reset();
        return std::nullopt;
    }
    osnova_ = translated->get<std::string>();
    return osnova_;
}

void SelfTranslators::promtBranch(const std::string& text, const std::string& leftLang,
                                  const std::string& rightLang) {
    std::make_shared<Promt>(context_)->stringForTranslate(text, leftLang, rightLang);
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
    std::string code = yandexDetectStr();
    if (!code.empty()) {
        return code;
    }
    fetchIntoOsnova(http(context_.addresses.microsoft) + "/v2/Http.svc/Detect?appId=" + kApiF +
                    "&text=" + encoded);
    return microsoftStr();
}

std::string SelfTranslators::yandexDetectStr() {
    std::string work = osnova_.value_or(std::string());
    replaceAll(work, "lang=\"", kArrowRight);
    work = removeMarkerSpans(work, "<", kArrowRight);
    work = removeMarkerSpans(work, "\"", ">");
    deleteAll(work, kArrowRight);
    deleteAll(work, ">");
    osnova_ = work;
    return work;
}

}  // namespace lexoria
