// lexoria-translate with hostile standard streams and answers meant for the terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "LoopbackServer.h"
#include "RunProcess.h"
#include "TempDir.h"
#include "cli/TranslateCommand.h"

namespace lexoria {
namespace {

using test::LoopbackServer;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

struct Outcome {
    int exitCode = -1;
    std::string out;  // standard output and standard error together
};

// Runs the program with `input` as standard input and `output` as standard output and
// error; collects what arrives at `reader` until the program ends.
Outcome spawn(const std::vector<std::string>& arguments,
              const std::map<std::string, std::string>& environment, int input, int output,
              int reader) {
    std::vector<std::string> words{LEXORIA_TRANSLATE_BINARY};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> pairs;
    for (const auto& [name, value] : environment) {
        pairs.push_back(name + "=" + value);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        ::dup2(input, STDIN_FILENO);
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
        std::vector<char*> argv;
        for (auto& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& pair : pairs) {
            envp.push_back(pair.data());
        }
        envp.push_back(nullptr);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(output);
    Outcome outcome;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        pollfd ready{reader, POLLIN, 0};
        if (::poll(&ready, 1, 200) > 0) {
            char buffer[4096];
            const ssize_t n = ::read(reader, buffer, sizeof buffer);
            if (n <= 0) {
                break;  // end of a pipe, or EIO once the terminal's last writer is gone
            }
            outcome.out.append(buffer, static_cast<std::size_t>(n));
        } else if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            break;
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

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
    const int folder = ::open(home.path().c_str(), O_RDONLY | O_DIRECTORY);
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const Outcome outcome = spawn({"--service", "Yandex"}, environment, folder, out[1], out[0]);
    ::close(folder);
    ::close(out[0]);
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_NE(outcome.out.find("cannot read standard input"), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.out.find("?\u00BF"), std::string::npos) << outcome.out;
}

TEST_F(HostileCommandLine, AServiceThatIsNotOneOfTheFiveIsAUsageError) {
    const auto result =
        test::runProcess(LEXORIA_TRANSLATE_BINARY, {"--service", "google", "hi"}, environment);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("Google, Microsoft, Yandex, PROMT, Babylon and Offline"),
              std::string::npos)
        << result.err;
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
    int terminal = -1;
    int side = -1;
    ASSERT_EQ(::openpty(&terminal, &side, nullptr, nullptr, nullptr), 0);
    const int input = ::open("/dev/null", O_RDONLY);
    const Outcome outcome =
        spawn({"--service", "Yandex", "--from", "en", "--to", "ru", "two words"}, environment,
              input, side, terminal);
    ::close(input);
    ::close(terminal);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.out;
    EXPECT_NE(outcome.out.find("a\\x1b]0;owned\\x07b\\x0dc\\x1b[2Jd\tz\\u009b1m"),
              std::string::npos)
        << outcome.out;
    EXPECT_EQ(outcome.out.find('\x1B'), std::string::npos);

    // A pipe gets the answer as it came, for scripts.
    const auto piped = test::runProcess(
        LEXORIA_TRANSLATE_BINARY,
        {"--service", "Yandex", "--from", "en", "--to", "ru", "two words"}, environment);
    EXPECT_EQ(piped.out, hostile + "\n");
}

}  // namespace
}  // namespace lexoria
