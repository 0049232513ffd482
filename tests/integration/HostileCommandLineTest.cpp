// lexoria-translate with hostile standard streams and answers meant for the terminal.
#include <gtest/gtest.h>

#include "LoopbackServer.h"
#include "RunProcess.h"
#include "TempDir.h"
#include "cli/TranslateCommand.h"

namespace lexoria {
namespace {

using test::LoopbackServer;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

class HostileCommandLine : public ::testing::Test {
  protected:
    HostileCommandLine() {
        environment = {
            {"HOME", home.path().string()},
            {"XDG_CONFIG_HOME", (home.path() / "config").string()},
            {"LANG", "C.UTF-8"},
            {"LEXORIA_YANDEX_TRANSLATE_HOST", yandex.hostPort()},
            {"LEXORIA_YANDEX_DICTIONARY_HOST", yandex.hostPort()},
            {"LEXORIA_MICROSOFT_HOST", "127.0.0.1:1"},
            {"LEXORIA_CA_FILE", yandex.caFile()},
        };
    }

    test::TempDir home;
    LoopbackServer yandex{LoopbackServer::Scheme::https};
    std::map<std::string, std::string> environment;
};

TEST_F(HostileCommandLine, AFolderOnStandardInputIsAReadErrorNotAnEmptyText) {
    const auto result = test::runProcess(LEXORIA_TRANSLATE_BINARY, {"--service", "Yandex"},
                                         environment, "", {.inputFile = home.path()});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("cannot read standard input"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}

// Microsoft, Babylon and PROMT answer over plain HTTP: whoever is on the path writes the
// answer, and must not get to drive the user's terminal.
TEST_F(HostileCommandLine, ControlSequencesInAnAnswerReachATerminalOnlyAsVisibleEscapes) {
    const std::string hostile =
        "a\x1B]0;owned\x07"
        "b\rc\x1B[2Jd\tz\xC2\x9B"
        "1m";
    yandex.answer("/api/v1.5/tr/translate",
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
