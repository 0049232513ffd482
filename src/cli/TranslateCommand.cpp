#include "TranslateCommand.h"

namespace lexoria {

const char* const kTranslateUsage =
    "usage: lexoria-translate [--service NAME] [--from CODE] [--to CODE] [--remove TEXT]...\n"
    "                         [--key 1|2] [--] [TEXT...]\n"
    "Translates TEXT (or standard input) with one of the services Google, Microsoft,\n"
    "Yandex, PROMT, Babylon and Offline (the Apertium pairs installed on this machine),\n"
    "and prints the result.\n";

ParsedCommand parseTranslateCommand(const std::vector<std::string>& arguments) {
    TranslateCommand command;
    const auto fail = [](std::string message) {
        return ParsedCommand{std::nullopt, std::move(message)};
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            command.words.insert(command.words.end(), arguments.begin() + static_cast<long>(i) + 1,
                                 arguments.end());
            break;
        }
        if (argument == "--help" || argument == "-h") {
            command.help = true;
            continue;
        }
        if (argument == "--version") {
            command.version = true;
            continue;
        }
        if (argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            command.words.push_back(argument);
            continue;
        }
        std::string name = argument;
        std::optional<std::string> value;
        if (const auto eq = argument.find('='); eq != std::string::npos) {
            name = argument.substr(0, eq);
            value = argument.substr(eq + 1);
        }
        if (name != "--service" && name != "--from" && name != "--to" && name != "--remove" &&
            name != "--key") {
            return fail("unknown option " + name);
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                return fail(name + " needs a value");
            }
            value = arguments[++i];
        }
        if (name == "--service") {
            command.service = *value;
        } else if (name == "--from") {
            command.from = *value;
        } else if (name == "--to") {
            command.to = *value;
        } else if (name == "--remove") {
            command.remove.push_back(*value);
        } else if (*value == "1" || *value == "2") {
            command.keyMicrosoft = *value == "1" ? 1 : 2;
        } else {
            return fail("--key takes 1 or 2, not \"" + *value + "\"");
        }
    }
    return ParsedCommand{std::move(command), {}};
}

}  // namespace lexoria
