#include "TranslateCommand.h"

#include <unistd.h>

#include <iostream>
#include <sstream>

#include <cerrno>
#include <cstring>

#include "cli/DefaultsOverlay.h"
#include "engine/AsyncHttp.h"
#include "engine/EngineContext.h"
#include "engine/SelfTranslators.h"
#include "engine/TextTools.h"
#include "engine/Version.h"
#include "platform/linux/DefaultsPlistFile.h"
#include "platform/linux/LanguageGuesserCld2.h"
#include "platform/linux/LocalePosix.h"
#include "platform/linux/OfflineTranslatorApertium.h"
#include "platform/linux/RunLoopStd.h"

namespace lexoria {

namespace {

const std::string kPromtKey = "promt_";

class LogStream final : public Log {
  public:
    explicit LogStream(std::ostream& out) : out_(out) {}
    void line(const std::string& text) override { out_ << text << std::endl; }

  private:
    std::ostream& out_;
};

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        text += (i ? " " : "") + words[i];
    }
    return text;
}

}  // namespace

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
            if (*value != "Google" && *value != "Microsoft" && *value != "Yandex" &&
                *value != "PROMT" && *value != "Babylon" && *value != "Offline") {
                return fail("unknown service \"" + *value +
                            "\": the services are Google, Microsoft, Yandex, PROMT, Babylon "
                            "and Offline");
            }
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

std::string terminalSafe(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            const auto code = static_cast<unsigned char>(text[++i]);
            out += "\\u00";
            out += kHex[code >> 4];
            out += kHex[code & 0xF];
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}  // namespace lexoria

namespace lexoria {

int runTranslateCommand(const std::vector<std::string>& arguments, CommandHost& host) {
    const auto printable = [&](const std::string& text) {
        return host.outputIsTerminal ? terminalSafe(text) : text;
    };
    const auto usageError = [&](const std::string& message) {
        host.err << "lexoria-translate: " << message << "\n" << kTranslateUsage;
        return 2;
    };
    const ParsedCommand parsed = parseTranslateCommand(arguments);
    if (!parsed.command) {
        return usageError(parsed.error);
    }
    const TranslateCommand& command = *parsed.command;
    if (command.help) {
        host.out << kTranslateUsage;
        return 0;
    }
    if (command.version) {
        host.out << "lexoria-translate " << kLexoriaVersion << "\n";
        return 0;
    }

    LogStream log(host.err);
    ServiceAddresses addresses;
    std::vector<std::string> errors;
    addresses.applyEnvironment(host.environment, errors);
    HttpOptions http;
    http.log = &log;
    if (const auto caFile = host.environment("LEXORIA_CA_FILE"); caFile && !caFile->empty()) {
        if (::access(caFile->c_str(), R_OK) != 0) {
            errors.push_back("LEXORIA_CA_FILE names no readable file: \"" + *caFile + "\"");
        }
        http.caFile = *caFile;
    }
    if (!errors.empty()) {
        for (const std::string& error : errors) {
            host.err << "lexoria-translate: " << error << "\n";
        }
        return 2;
    }

    std::string text;
    if (command.words.empty()) {
        std::optional<std::string> input = host.input();
        if (!input) {
            host.err << "lexoria-translate: cannot read standard input: " << std::strerror(errno)
                     << "\n";
            return 2;
        }
        text = std::move(*input);
    } else {
        text = joined(command.words);
    }
    if (!isValidUtf8(text)) {
        return usageError("the text is not valid UTF-8");
    }
    for (const std::optional<std::string>& argument :
         {std::optional<std::string>(command.service), command.from, command.to}) {
        if (argument && !isValidUtf8(*argument)) {
            return usageError("an option's value is not valid UTF-8");
        }
    }
    for (const std::string& fragment : command.remove) {
        if (!isValidUtf8(fragment)) {
            return usageError("an option's value is not valid UTF-8");
        }
    }

    DefaultsPlistFile settingsFile(host.settingsFile, host.err);
    DefaultsOverlay defaults(settingsFile);
    LocalePosix locale(host.environment);
    RunLoopStd runLoop;
    AsyncHttp asyncHttp(runLoop, http);
    EngineContext context{defaults, locale, addresses, http, &host.bundle, &asyncHttp, &log};
    OfflineTranslatorApertium offline;
    const LanguageGuesserCld2 guesser;
    context.offline = &offline;
    context.guesser = &guesser;

    const bool asynchronous = command.service == "PROMT";
    if (asynchronous && defaults.objectForKey(kPromtKey)) {
        // The desktop program's uncollected answer must not pass for ours; it stays in the
        // file for the desktop program.
        defaults.removeObject(kPromtKey);
    }
    std::string result = SelfTranslators(context).setService(
        command.service, text, command.from, command.to, command.remove, command.keyMicrosoft);
    if (asynchronous) {
        // The answer arrives on the run loop and waits in the settings.
        while (asyncHttp.running() > 0) {
            runLoop.runOnce(1.0);
        }
        const std::optional<std::string> answer = defaults.objectForKey(kPromtKey);
        if (!answer) {
            host.out << printable(kNoText) << "\n";
            return 1;
        }
        defaults.removeObject(kPromtKey);
        result = *answer;
    }
    if (result.empty()) {
        host.err << "lexoria-translate: the service gave no text (is it reachable?)\n";
    }
    host.out << printable(result) << "\n";
    return 0;
}

}  // namespace lexoria
