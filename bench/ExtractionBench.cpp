// Throughput of the answer cleaning: the one-pass reference decoder against the chain of
// replacements it stands for, and every extraction on pages of realistic size.
#include <benchmark/benchmark.h>

#include <random>

#include "DecodeChain.h"
#include "DefaultsMemory.h"
#include "LocaleFixed.h"
#include "engine/Parsing.h"
#include "engine/Promt.h"
#include "engine/SelfTranslators.h"

namespace {

using lexoria::SelfTranslators;

// Text as the services send it: words, punctuation, and now and then a reference.
std::string pageText(std::size_t bytes, unsigned seed) {
    static const char* const pieces[] = {"the ",         "translation ",
                                         "&quot;",       "&amp;",
                                         "&eacute;",     "&#39;",
                                         "caf&eacute; ", "na&iuml;ve ",
                                         "&lt;b&gt;",    "\u043F\u0440\u0438\u0432\u0435\u0442 ",
                                         "&#252;ber ",   "stra&szlig;e ",
                                         ", ",           ". ",
                                         "&nbsp;",       "&#10877;",
                                         "word ",        "\u4E16\u754C "};
    std::mt19937 random(seed);
    std::string text;
    text.reserve(bytes + 32);
    while (text.size() < bytes) {
        text += pieces[random() % std::size(pieces)];
    }
    text.resize(bytes);
    return text;
}

std::string googlePage(std::size_t bytes) {
    std::string page =
        "<!DOCTYPE html><html><head><script>var s=\"x\",\"y\";</script></head><body>"
        "<textarea id=source name=text>source</textarea><span id=result_box>";
    std::size_t sentence = 0;
    while (page.size() < bytes) {
        ++sentence;
        page += "<span title=\"s" + std::to_string(sentence) +
                "\" onmouseover=\"this.style.backgroundColor='#ebeff9'\" "
                "onmouseout=\"this.style.backgroundColor='#fff'\">" +
                pageText(400, static_cast<unsigned>(sentence)) + "</span> ";
    }
    return page +
           "</span><div id=res-translit class=\"t\">translit</div><textarea "
           "name=g></textarea></body></html>";
}

std::string yandexTranslation(std::size_t bytes) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Translation code=\"200\" "
           "lang=\"en-ru\"><text>" +
           pageText(bytes, 7) + "</text></Translation>";
}

std::string yandexDictionary(std::size_t bytes) {
    std::string page = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<DicResult><head/>";
    while (page.size() < bytes) {
        page +=
            "<def pos=\"noun\"><text>word</text><tr "
            "pos=\"noun\"><text>\u0441\u043B\u043E\u0432\u043E</text>"
            "<syn><text>\u0440\u0435\u0447\u044C</text></syn><mean><text>term</text></mean>"
            "<ex><text>a "
            "word</text><tr><text>\u0441\u043B\u043E\u0432\u043E</text></tr></ex></tr></def>\n";
    }
    return page + "</DicResult>";
}

std::string microsoftAnswer(std::size_t bytes) {
    return "<string xmlns=\"http://schemas.microsoft.com/2003/10/Serialization/\">" +
           pageText(bytes, 3) + "</string>";
}

std::string babylonAnswer(std::size_t bytes) {
    std::string text = pageText(bytes, 5);
    for (char& c : text) {
        if (c == '"' || c == '\\' || c == '}') {
            c = ' ';
        }
    }
    return "babylonTranslator.callback('babylon', {\"translatedText\":\"" + text +
           "\"}, 200, null, null);";
}

std::string promtAnswer(std::size_t bytes) {
    std::string text = pageText(bytes, 9);
    for (char& c : text) {
        if (c == '"' || c == '\\') {
            c = ' ';
        }
    }
    return "{\"d\":{\"result\":\"\",\"resultNoTags\":\"" + text + "\"}}";
}

constexpr std::size_t kPage = 500 * 1024;
constexpr std::size_t kDecodePage = 1024 * 1024;

// The decoder's input: text dense with references (a reference every dozen bytes), or a
// whole translation page with its markup.
std::string decoderInput(int64_t kind) {
    return kind == 0 ? pageText(kDecodePage, 1) : googlePage(kDecodePage);
}

void BM_DecodeOnePass(benchmark::State& state) {
    const std::string page = decoderInput(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(lexoria::decodeCharacterReferences(page));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_DecodeOnePass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DecodeChainOf165Replacements(benchmark::State& state) {
    const std::string page = decoderInput(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(lexoria::test::decodeByChain(page));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_DecodeChainOf165Replacements)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One extraction of the dispatcher on a page of `state.range(0)` bytes.
template <typename Extract>
void runExtraction(benchmark::State& state, const std::string& page, Extract extract) {
    lexoria::test::DefaultsMemory defaults;
    lexoria::test::LocaleFixed locale;
    lexoria::EngineContext context{defaults, locale, {}, {}};
    SelfTranslators translators(context);
    for (auto _ : state) {
        translators.setOsnova(page);
        benchmark::DoNotOptimize(extract(translators));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_GooglHtmlStr(benchmark::State& state) {
    runExtraction(state, googlePage(static_cast<std::size_t>(state.range(0))),
                  [](SelfTranslators& t) { return t.googlHtmlStr(); });
}
void BM_YandexStr(benchmark::State& state) {
    runExtraction(state, yandexTranslation(static_cast<std::size_t>(state.range(0))),
                  [](SelfTranslators& t) { return t.yandexStr(); });
}
void BM_YandexDic(benchmark::State& state) {
    runExtraction(state, yandexDictionary(static_cast<std::size_t>(state.range(0))),
                  [](SelfTranslators& t) { return t.yandexDic(); });
}
void BM_MicrosoftStr(benchmark::State& state) {
    runExtraction(state, microsoftAnswer(static_cast<std::size_t>(state.range(0))),
                  [](SelfTranslators& t) { return t.microsoftStr(); });
}
void BM_BabylonHtmlStr(benchmark::State& state) {
    runExtraction(state, babylonAnswer(static_cast<std::size_t>(state.range(0))),
                  [](SelfTranslators& t) { return t.babylonHtmlStr(); });
}
void BM_PromtAnswer(benchmark::State& state) {
    const std::string answer = promtAnswer(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(lexoria::promtTranslationOfAnswer(answer));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * answer.size()));
}
void BM_ParsingLingvo(benchmark::State& state) {
    const std::string text = pageText(static_cast<std::size_t>(state.range(0)), 11);
    lexoria::Parsing parsing;
    for (auto _ : state) {
        parsing.setStringForParsingLingvo(text);
        benchmark::DoNotOptimize(parsing.returnLingvoStr());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// Half the page and the whole: equal throughput means linear time.
#define LEXORIA_PAGE_SIZES ->Arg(kPage / 2)->Arg(kPage)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_GooglHtmlStr) LEXORIA_PAGE_SIZES;
BENCHMARK(BM_YandexStr) LEXORIA_PAGE_SIZES;
BENCHMARK(BM_YandexDic) LEXORIA_PAGE_SIZES;
BENCHMARK(BM_MicrosoftStr) LEXORIA_PAGE_SIZES;
BENCHMARK(BM_BabylonHtmlStr) LEXORIA_PAGE_SIZES;
BENCHMARK(BM_PromtAnswer) LEXORIA_PAGE_SIZES;
BENCHMARK(BM_ParsingLingvo) LEXORIA_PAGE_SIZES;

}  // namespace

BENCHMARK_MAIN();
