// lexoria-translate: one translation from the command line, with the settings of the
// desktop program.
#include <cstdlib>
#include <iostream>

#include "cli/TranslateCommand.h"
#include "platform/linux/DefaultsPlistFile.h"

int main(int argc, char** argv) {
    using namespace lexoria;
    CommandHost host{[](const char* name) -> std::optional<std::string> {
                         const char* value = std::getenv(name);
                         return value ? std::optional<std::string>(value) : std::nullopt;
                     },
                     DefaultsPlistFile::standardPath("org.lexoria.Lexoria"),
                     BundleDirectory::forThisProgram(),
                     std::cin,
                     std::cout,
                     std::cerr};
    return runTranslateCommand(std::vector<std::string>(argv + 1, argv + argc), host);
}
