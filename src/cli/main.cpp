// lexoria-translate: one translation from the command line, with the settings of the
// desktop program.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "cli/TranslateCommand.h"
#include "platform/linux/DefaultsPlistFile.h"

namespace {

// All of standard input; absent on a read error (a folder there, for one).
std::optional<std::string> standardInput() {
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lexoria;
    CommandHost host{[](const char* name) -> std::optional<std::string> {
                         const char* value = std::getenv(name);
                         return value ? std::optional<std::string>(value) : std::nullopt;
                     },
                     DefaultsPlistFile::standardPath("org.lexoria.Lexoria"),
                     BundleDirectory::forThisProgram(),
                     standardInput,
                     std::cout,
                     std::cerr,
                     ::isatty(STDOUT_FILENO) == 1};
    return runTranslateCommand(std::vector<std::string>(argv + 1, argv + argc), host);
}
