// The offline service on Apertium: real pairs, real processes, and made-up modes whose
// stages misbehave.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>

#include <fstream>

#include "TempDir.h"
#include "platform/linux/OfflineTranslatorApertium.h"

namespace lexoria {
namespace {

using namespace std::chrono_literals;

// "en-ca he-en": pairs as a failing check can show them.
std::string codes(const std::vector<LanguagePair>& pairs) {
    std::string text;
    for (const LanguagePair& pair : pairs) {
        text += (text.empty() ? "" : " ") + pair.from + "-" + pair.to;
    }
    return text;
}

// Our own child processes, with their program names.
std::vector<std::pair<pid_t, std::string>> children() {
    std::vector<std::pair<pid_t, std::string>> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream in(entry.path() / "stat");
        pid_t pid = 0, parent = 0;
        std::string name;
        char state = 0;
        if (in >> pid >> name >> state >> parent && parent == ::getpid()) {
            found.emplace_back(pid, name.substr(1, name.size() - 2));
        }
    }
    return found;
}

struct ModeFolder {
    explicit ModeFolder(const std::map<std::string, std::string>& modes) {
        for (const auto& [name, command] : modes) {
            std::ofstream(dir.path() / name) << command << "\n";
        }
    }
    test::TempDir dir;
};

TEST(OfflineTranslator, ListsThePlainPairsOfTheInstalledModes) {
    struct Row {
        const char* name;
        std::map<std::string, std::string> modes;
        std::string expected;
    };
    const Row rows[] = {
        {"three-letter codes become two, variants and other files are left out",
         {{"eng-cat.mode", "lt-proc '/x/eng-cat.automorf.bin' | lt-proc $1 '/x/gen.bin'"},
          {"heb-eng.mode", "cat"},
          {"eng-spa_US.mode", "cat"},
          {"eng-spa.txt", "cat"},
          {"README", "cat"}},
         "en-ca he-en"},
        {"a language without a two-letter code keeps its own", {{"fra-hbs.mode", "cat"}}, "fr-hbs"},
        {"a mode a shell would have to interpret is not offered",
         {{"eng-por.mode", "lt-proc x.bin 2>/dev/null"},
          {"eng-ita.mode", "lt-proc `x`"},
          {"eng-deu.mode", "lt-proc | | cat"},
          {"eng-nld.mode", "lt-proc 'unclosed"},
          {"eng-swe.mode", "'' x.bin"},
          {"eng-fra.mode", "lt-proc \"$HOME\""}},
         ""},
    };
    for (const Row& row : rows) {
        ModeFolder folder(row.modes);
        EXPECT_EQ(codes(OfflineTranslatorApertium(folder.dir.path()).pairs()), row.expected)
            << row.name;
    }
    EXPECT_EQ(codes(OfflineTranslatorApertium().pairs()), "en-es es-en")
        << "the pairs of apertium-eng-spa";
    EXPECT_TRUE(OfflineTranslatorApertium("/no/such/folder").pairs().empty());

    test::TempDir withPipe;  // reading it would wait for a writer forever
    ASSERT_EQ(::mkfifo((withPipe.path() / "eng-spa.mode").c_str(), 0600), 0);
    EXPECT_TRUE(OfflineTranslatorApertium(withPipe.path()).pairs().empty());
}

TEST(OfflineTranslator, TranslatesEnglishToSpanishKeepingLinesAndMarkup) {
    OfflineTranslatorApertium translator;
    const std::pair<std::string, std::string> rows[] = {
        {"Hello", "Hola"},
        {"The house is very big and I like it.", "La casa es muy grande y me gusta."},
        {"I have three dogs.", "Tengo tres perros."},
        {"Line one.\nLine two.\n\nAfter blank.",
         "L\u00EDnea un.\nL\u00EDnea dos.\n\nDespu\u00E9s de que espacio."},
        {"a < b & c > d", "Un < b & c > d"},
        {"<b>bold</b> text &amp; more", "<b>Intr\u00E9pido</b> texto &amp; m\u00E1s"},
    };
    for (const auto& [text, expected] : rows) {
        EXPECT_EQ(translator.translate(text, "en", "es"), expected) << text;
    }
    EXPECT_EQ(translator.translate("Hello", "en", "fr"), std::nullopt) << "not installed";
    EXPECT_EQ(translator.translate("Hello", "xx", "es"), std::nullopt) << "not installed";
}

// A user's locale that the system lacks (LANG of another machine, say) must not stop the
// pipeline: Apertium's tools will not start in such a locale.
TEST(OfflineTranslator, TranslatesInALocaleTheSystemLacks) {
    const char* lang = std::getenv("LANG");
    const std::string saved = lang ? lang : "";
    ::setenv("LANG", "xx_XX.UTF-8", 1);
    ::unsetenv("LC_ALL");
    OfflineTranslatorApertium translator;
    EXPECT_EQ(translator.translate("The house", "en", "es"), "La casa");
    lang ? ::setenv("LANG", saved.c_str(), 1) : ::unsetenv("LANG");
}

TEST(OfflineTranslator, CarriesEveryCharacterOfTheTextThroughTheStream) {
    // A stage that passes the stream on unchanged apart from one word.
    ModeFolder folder({{"eng-spa.mode", std::string("sed -u s/cat/dog/")}});
    OfflineTranslatorApertium translator(folder.dir.path());
    const std::string text =
        "a cat: \\ [x] ^y$ /w/ @v {u} <t> ~ # * + | & \"q\" 'p'\ttab\r\nnext\n\n\u00E9\u2713";
    std::string expected = text;
    expected.replace(2, 3, "dog");
    EXPECT_EQ(translator.translate(text, "en", "es"), expected);
    EXPECT_EQ(translator.translate(std::string("nul\0byte", 8), "en", "es"), "nulbyte");
}

TEST(OfflineTranslator, AMisbehavingStageCostsAtMostTheTimeOut) {
    struct Row {
        const char* name;
        std::string mode;
        std::vector<std::pair<std::string, std::optional<std::string>>> requests;
    };
    const Row rows[] = {
        {"a stage that never flushes", "sed s/a/b/", {{"hung", std::nullopt}}},
        {"a stage that dies in the middle of a request, twice",
         "sed -u /KILL/Q",
         {{"KILL me", std::nullopt}, {"fine", "fine"}}},
        {"a program that is not there", "no-such-program-lexoria", {{"x", std::nullopt}}},
        {"a stage that ends without reading: writing to it must not raise SIGPIPE here",
         "true",
         {{std::string(1 << 20, 'x'), std::nullopt}}},
        {"a stage that writes something else and ends", "printf x", {{"y", std::nullopt}}},
    };
    for (const Row& row : rows) {
        ModeFolder folder({{"eng-spa.mode", row.mode}});
        OfflineTranslatorApertium translator(folder.dir.path(), 200ms);
        for (const auto& [text, expected] : row.requests) {
            EXPECT_EQ(translator.translate(text, "en", "es"), expected) << row.name << ": " << text;
        }
    }
    EXPECT_TRUE(children().empty()) << "every stage reaped";
}

TEST(OfflineTranslator, APipelineKilledBetweenRequestsIsStartedAgain) {
    {
        OfflineTranslatorApertium translator;
        ASSERT_EQ(translator.translate("Hello", "en", "es"), "Hola");
        const auto stages = children();
        ASSERT_GE(stages.size(), 5u);
        ::kill(stages[stages.size() / 2].first, SIGKILL);
        EXPECT_EQ(translator.translate("The dog", "en", "es"), "El perro");
        EXPECT_EQ(children().size(), stages.size()) << "the old stages reaped";
    }
    EXPECT_TRUE(children().empty());
}

}  // namespace
}  // namespace lexoria
