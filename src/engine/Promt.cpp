#include "Promt.h"

#include <nlohmann/json.hpp>

#include "AsyncHttp.h"
#include "TextTools.h"

namespace lexoria {

namespace {

// Escapes a text for a single-quoted script string, so that no character of the user's
// text can end the value or the object around it.
std::string quotedValue(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\'':
                out += "\\'";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out.push_back(c);
        }
    }
    // Line and paragraph separators also end a script string.
    replaceAll(out, "\u2028", "\\u2028");
    replaceAll(out, "\u2029", "\\u2029");
    return out;
}

const nlohmann::json* member(const nlohmann::json& object, const char* name) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto it = object.find(name);
    return it == object.end() ? nullptr : &*it;
}

std::optional<std::string> stringMember(const nlohmann::json& object, const char* name) {
    const nlohmann::json* value = member(object, name);
    if (!value || !value->is_string()) {
        return std::nullopt;
    }
    return value->get<std::string>();
}

// The service's own words when it refuses a request ({"Message": ...} is what its
// framework sends), so the user does not read a made-up text instead.
std::string serviceMessage(const nlohmann::json& answer) {
    for (const nlohmann::json* scope : {&answer, member(answer, "d")}) {
        if (!scope) {
            continue;
        }
        for (const char* name : {"Message", "message", "error"}) {
            if (auto text = stringMember(*scope, name)) {
                return *text;
            }
        }
    }
    return {};
}

}  // namespace

std::string promtRequestBody(const std::string& text, const std::string& leftLang,
                             const std::string& rightLang) {
    const std::string left = quotedValue(leftLang);
    const std::string right = quotedValue(rightLang);
    return "{dirCode:'" + left + "-" + right + "',template:'General',text:'" + quotedValue(text) +
           "',lang:'" + right +
           "',limit:3000,useAutoDetect:false,key:'',ts:'MainSite',tid:'',IsMobile:true}";
}

std::optional<std::string> promtTranslationOfAnswer(const std::string& body) {
    const nlohmann::json answer =
        jsonNestingWithin(body, kMaxJsonDepth)
            ? nlohmann::json::parse(body, nullptr, /*allow_exceptions=*/false)
            : nlohmann::json();
    if (!answer.is_object()) {
        return std::nullopt;
    }
    const nlohmann::json* d = member(answer, "d");
    std::optional<std::string> resultNoTags = d ? stringMember(*d, "resultNoTags") : std::nullopt;
    if (!resultNoTags) {
        return serviceMessage(answer);
    }
    if (!resultNoTags->empty()) {
        return resultNoTags;
    }
    std::optional<std::string> result = stringMember(*d, "result");
    if (!result) {
        return serviceMessage(answer);
    }
    replaceAll(*result, "<br/>", "\n");
    return result;
}

void Promt::stringForTranslate(const std::string& text, const std::string& leftLang,
                               const std::string& rightLang) {
    responseData_.clear();
    AsyncRequest request;
    request.url =
        "http://" + context_.addresses.promt + "/services/TranslationService.asmx/GetTranslateNew";
    request.method = "POST";
    request.body = promtRequestBody(text, leftLang, rightLang);
    request.headers = {"Content-Type: application/json; charset=UTF-8",
                       "Content-Length: " + std::to_string(request.body.size())};
    if (!context_.asyncHttp) {
        connectionDidFailWithError("no asynchronous connections in this program");
        return;
    }
    std::shared_ptr<Promt> self = shared_from_this();
    context_.asyncHttp->start(
        std::move(request),
        ConnectionEvents{
            [self] { self->connectionDidReceiveResponse(); },
            [self](const std::string& bytes) { self->connectionDidReceiveData(bytes); },
            [self] { self->connectionDidFinishLoading(); },
            [self](const std::string& error) { self->connectionDidFailWithError(error); },
        });
}

void Promt::connectionDidReceiveResponse() {
    responseData_.clear();
}

void Promt::connectionDidReceiveData(const std::string& bytes) {
    responseData_ += bytes;
}

void Promt::connectionDidFinishLoading() {
    std::optional<std::string> translation = promtTranslationOfAnswer(responseData_);
    responseData_.clear();
    responseData_.shrink_to_fit();
    if (!translation) {
        return;
    }
    osnova_ = std::move(translation);
    saveObjForSettings(osnova_, "promt_");
}

void Promt::connectionDidFailWithError(const std::string& /*error*/) {
    if (context_.log) {
        context_.log->line("something very bad happened here");
    }
}

}  // namespace lexoria
