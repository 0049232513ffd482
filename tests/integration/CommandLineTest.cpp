// lexoria-translate against loopback services: most cases call the program's function,
// a few run the program as a process.
#include <gtest/gtest.h>

#include "LoopbackServer.h"
#include "RunProcess.h"
#include "TempDir.h"
#include "cli/TranslateCommand.h"
#include "engine/ServiceKeys.h"

namespace lexoria {
namespace {

using test::LoopbackServer;
using Arguments = std::vector<std::string>;
using Environment = std::map<std::string, std::string>;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
const std::string kPrivet = "\u043F\u0440\u0438\u0432\u0435\u0442";
const std::string kTranslate = std::string("/api/v1.5/tr/translate?key=") + kYandexTranslateKey;
const std::string kLookup = std::string("/api/v1/dicservice/lookup?key=") + kYandexDictionaryKey;
const std::string kPromtPath = "/services/TranslationService.asmx/GetTranslateNew";
const std::string kUsage = "usage: lexoria-translate";

class CommandLine : public ::testing::Test {
  protected:
    CommandLine() {
        secure.answer("/api/v1.5/tr/translate", {200, "text/xml; charset=utf-8",
                                                 kDeclaration + "<Translation><text>" + kPrivet +
                                                     " мир</text></Translation>"});
        secure.answer(
            "/api/v1.5/tr/detect",
            {403, "text/xml", kDeclaration + "<Error code=\"403\" message=\"blocked\"/>"});
        secure.answer("/api/v1/dicservice/lookup",
                      {200, "text/xml; charset=utf-8",
                       kDeclaration + "<DicResult><head/><def><text>hello</text><tr><text>" +
                           kPrivet + "</text></tr></def></DicResult>"});
        secure.answer("/", {200, "text/html; charset=utf-8",
                            "<span onmouseout=\"this.style.backgroundColor='#fff'\">Hallo &amp; "
                            "tsch&uuml;ss</span><textarea name=gtrans>"});
        plain.answer(kPromtPath, {200, "application/json; charset=utf-8",
                                  R"({"d":{"resultNoTags":"Hallo Welt"}})"});
        plain.answer("/V2/Http.svc/Translate",
                     {200, "application/xml", "<string>Hallo Welt</string>"});
        for (const char* name : {"GOOGLE", "YANDEX_TRANSLATE", "YANDEX_DICTIONARY"}) {
            environment[std::string("LEXORIA_") + name + "_HOST"] = secure.hostPort();
        }
        environment["LEXORIA_MICROSOFT_HOST"] = plain.hostPort();
        environment["LEXORIA_PROMT_HOST"] = plain.hostPort();
        environment["LEXORIA_CA_FILE"] = secure.caFile();
        environment["LANG"] = "de_DE.UTF-8";
        environment["HOME"] = home.path().string();
        environment["XDG_CONFIG_HOME"] = (home.path() / "config").string();
    }

    std::filesystem::path settingsPath() const {
        return home.path() / "config" / "lexoria" / "org.lexoria.Lexoria.plist";
    }
    test::ProcessResult run(const Arguments& arguments, const std::string& input = "") {
        std::ostringstream out, err;
        const auto variable = [this](const char* name) -> std::optional<std::string> {
            const auto it = environment.find(name);
            return it == environment.end() ? std::nullopt : std::optional(it->second);
        };
        CommandHost host{variable,
                         settingsPath(),
                         BundleDirectory({LEXORIA_RESOURCES}),
                         [input] { return std::optional<std::string>(input); },
                         out,
                         err};
        const int exitCode = runTranslateCommand(arguments, host);
        return {exitCode, out.str(), err.str()};
    }
    std::string lastTarget() const {
        for (const LoopbackServer* server : {&secure, &plain}) {
            if (const auto request = server->lastRequest()) {
                return request->target;
            }
        }
        return "";
    }

    test::TempDir home;
    LoopbackServer secure{LoopbackServer::Scheme::https};
    LoopbackServer plain;
    Environment environment;
};

struct CommandCase {
    const char* name;
    Arguments arguments;
    Environment environment;  // changes to the fixture's
    std::string out;
    std::string target;  // of the one request, "" for none
    int exitCode = 0;
    std::string err;       // a part of standard error
    std::string settings;  // the settings file before the run
};

void PrintTo(const CommandCase& c, std::ostream* out) {
    *out << c.name;
}

const std::string kAutoDetect =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
    "<key>autoDetectLang</key><string>1</string></dict></plist>\n";

const std::string kDesktopPromtAnswer =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
    "<key>leftSim</key><string>fr</string><key>promt_</key><string>Bonjour</string>"
    "</dict></plist>\n";

const std::string kStalePromtAnswer =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
    "<key>promt_</key><string>an old answer</string></dict></plist>\n";

// clang-format off
const CommandCase kCommandCases[] = {
    {"OneWordIsLookedUp", {"--service", "Yandex", "--from", "en", "--to", "ru", "Hello"}, {},
     "\u276F\nhello   \u25CF " + kPrivet + "   \n", kLookup + "&lang=en-ru&text=hello"},
    {"WordsAreJoinedWithOneSpace", {"--service=Yandex", "--from=en", "--to=ru", "hello", "world"},
     {}, kPrivet + " мир\n", kTranslate + "&lang=en-ru&text=hello%20world"},
    {"EveryRemovalIsApplied",
     {"--service", "Yandex", "--from", "en", "--to=ru", "--remove", "hello", "--remove=   ",
      "Hello"},
     {}, "\u276F\n\u25CF " + kPrivet + "\n", kLookup + "&lang=en-ru&text=hello"},
    {"AnExplicitEmptySourceIsKept", {"--service=Yandex", "--from=", "--to", "ru", "two words"}, {},
     kPrivet + " мир\n", kTranslate + "&lang=-ru&text=two%20words"},
    {"DetectionAndTheLocaleFromTheSettingsAndEnvironment", {"--service", "Yandex", "two", "words"},
     {{"LEXORIA_MICROSOFT_HOST", "127.0.0.1:1"}}, kPrivet + " мир\n",
     kTranslate + "&lang=-de&text=two%20words", 0, "", kAutoDetect},
    {"GoogleByDefault", {"--from", "en", "--to", "de", "Hello & bye"}, {}, "Hallo & tsch\u00FCss\n",
     "/?langpair=en%7Cde&text=Hello%20%20and%20%20bye"},
    {"TheSecondKeyAndWordsAfterTheDashes",
     {"--service", "Microsoft", "--key=2", "--from", "en", "--to", "de", "--", "--to", "-v"}, {},
     "Hallo Welt\n",
     std::string("/V2/Http.svc/Translate?appId=") + kApiS + "&text=--to%20-v&from=en&to=de"},
    {"PromtIsAwaitedAndCollected",
     {"--service", "PROMT", "--from", "en", "--to", "de", "Hello", "world"}, {}, "Hallo Welt\n",
     kPromtPath},
    {"ThePromtAnswerAndSourceOfTheDesktopAreLeftAlone",
     {"--service", "PROMT", "--from", "en", "--to", "de", "Hello", "world"}, {}, "Hallo Welt\n",
     kPromtPath, 0, "", kDesktopPromtAnswer},
    {"PromtWithoutAnswer", {"--service", "PROMT", "--from", "en", "--to", "de", "Hello"},
     {{"LEXORIA_PROMT_HOST", "127.0.0.1:1"}}, "?\u00BF\n", "", 1,
     "something very bad happened here"},
    {"AStaleAnswerIsNotOurs", {"--service", "PROMT", "Hello"},
     {{"LEXORIA_PROMT_HOST", "127.0.0.1:1"}}, "?\u00BF\n", "", 1, "", kStalePromtAnswer},
    {"AServiceWithoutText", {"--service", "Yandex", "--from", "en", "--to", "ru", "two words"},
     {{"LEXORIA_YANDEX_TRANSLATE_HOST", "127.0.0.1:1"}}, "\n", "", 0, "gave no text"},
    {"OfflineWithoutNetwork", {"--service", "Offline", "--from", "en", "--to", "es", "Hello"}, {},
     "Hola\n"},
    {"NothingToTranslate", {"--service", "Yandex", "--from", "en", "--to", "ru"}, {}, "?\u00BF\n"},
    {"KeyThree", {"--key", "3", "x"}, {}, "", "", 2, kUsage},
    {"OptionWithoutValue", {"--to"}, {}, "", "", 2, kUsage},
    {"UnknownOption", {"--frobnicate", "x"}, {}, "", "", 2, kUsage},
    {"ServiceNotOneOfTheSix", {"--service", "google", "hi"}, {}, "", "", 2,
     "Google, Microsoft, Yandex, PROMT, Babylon and Offline"},
    {"TextNotUtf8", {"--service", "Yandex", "caf\xE9"}, {}, "", "", 2, "not valid UTF-8"},
    {"OptionNotUtf8", {"--service", "Yandex", "--from", "\xFF", "word"}, {}, "", "", 2, kUsage},
    {"BadHost", {"--service", "Yandex", "x y"},
     {{"LEXORIA_YANDEX_TRANSLATE_HOST", "http://example.org/"}}, "", "", 2,
     "LEXORIA_YANDEX_TRANSLATE_HOST"},
};
// clang-format on

class Commands : public CommandLine, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(Commands, PrintTheResultAndExit) {
    const CommandCase& c = GetParam();
    for (const auto& [name, value] : c.environment) {
        environment[name] = value;
    }
    if (!c.settings.empty()) {
        test::writeFile(settingsPath(), c.settings);
    }
    const auto result = run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    EXPECT_EQ(result.out, c.out);
    EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    EXPECT_EQ(lastTarget(), c.target);
    // The desktop program's settings are read, never written.
    EXPECT_EQ(test::readFile(settingsPath()), c.settings);
}

INSTANTIATE_TEST_SUITE_P(Table, Commands, ::testing::ValuesIn(kCommandCases),
                         [](const auto& info) { return std::string(info.param.name); });

// What only a process shows: standard input, the settings file and the exit code.
TEST_F(CommandLine, AsAProcess) {
    const auto result =
        test::runProcess(LEXORIA_TRANSLATE_BINARY, {"--service=Yandex", "--from=en", "--to=ru"},
                         environment, "hello world\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, kPrivet + " мир\n");
    EXPECT_EQ(lastTarget(), kTranslate + "&lang=en-ru&text=hello%20world%0A") << "byte for byte";
    EXPECT_FALSE(std::filesystem::exists(settingsPath())) << "writes stay in memory";
    EXPECT_EQ(test::runProcess(LEXORIA_TRANSLATE_BINARY, {"--to"}, environment).exitCode, 2);
    environment["LEXORIA_PROMT_HOST"] = "127.0.0.1:1";
    EXPECT_EQ(
        test::runProcess(LEXORIA_TRANSLATE_BINARY, {"--service=PROMT", "x"}, environment).exitCode,
        1);
}

// Hostile standard streams, and answers meant for the terminal.
TEST_F(CommandLine, AFolderOnStandardInputIsAReadErrorNotAnEmptyText) {
    const auto result = test::runProcess(LEXORIA_TRANSLATE_BINARY, {"--service", "Yandex"},
                                         environment, "", {.inputFile = home.path()});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("cannot read standard input"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}

// Microsoft, Babylon and PROMT answer over plain HTTP: whoever is on the path writes the
// answer, and must not get to drive the user's terminal.
TEST_F(CommandLine, ControlSequencesInAnAnswerReachATerminalOnlyAsVisibleEscapes) {
    const std::string hostile =
        "a\x1B]0;owned\x07"
        "b\rc\x1B[2Jd\tz\xC2\x9B"
        "1m";
    secure.answer("/api/v1.5/tr/translate",
                  {200, "text/xml; charset=utf-8",
                   kDeclaration + "<Translation><text>" + hostile + "</text></Translation>"});
    const std::vector<std::string> arguments = {"--service", "Yandex", "--from",   "en",
                                                "--to",      "ru",     "two words"};
    const auto shown =
        test::runProcess(LEXORIA_TRANSLATE_BINARY, arguments, environment, "", {.terminal = true});
    EXPECT_EQ(shown.exitCode, 0) << shown.out;
    EXPECT_NE(shown.out.find("a\\x1b]0;owned\\x07b\\x0dc\\x1b[2Jd\tz\\u009b1m"), std::string::npos)
        << shown.out;
    EXPECT_EQ(shown.out.find('\x1B'), std::string::npos);

    // A pipe gets the answer as it came, for scripts.
    EXPECT_EQ(test::runProcess(LEXORIA_TRANSLATE_BINARY, arguments, environment).out,
              hostile + "\n");
}

}  // namespace
}  // namespace lexoria
