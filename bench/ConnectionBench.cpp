// Ten translations in a row with one service against the host:port in argv[1], trusting
// the authority in argv[2]; prints the milliseconds they took and the text of the last
// one. The server counts what it
// sees, so this program only has to make the requests as the desktop program does.
#include <chrono>
#include <cstdio>
#include <string>

#include "DefaultsMemory.h"
#include "LocaleFixed.h"
#include "engine/EngineContext.h"
#include "engine/SelfTranslators.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: connection_bench HOST:PORT CA-FILE [COUNT]\n");
        return 2;
    }
    lexoria::test::DefaultsMemory defaults;
    lexoria::test::LocaleFixed locale;
    lexoria::EngineContext context{defaults, locale, {}, {}};
    context.addresses.google = argv[1];
    context.http.caFile = argv[2];
    const int count = argc > 3 ? std::stoi(argv[3]) : 10;
    std::string text;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        text = lexoria::SelfTranslators(context).setService("Google", "two words", "en", "es",
                                                            std::nullopt, 1);
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("%.2f %s\n", took.count(), text.c_str());
    return 0;
}
