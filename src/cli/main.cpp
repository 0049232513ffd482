// lexoria-translate: one translation from the command line, with the settings of the
// desktop program.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cli/DefaultsOverlay.h"
#include "cli/TranslateCommand.h"
#include "engine/AsyncHttp.h"
#include "engine/EngineContext.h"
#include "engine/SelfTranslators.h"
#include "engine/TextTools.h"
#include "engine/Version.h"
#include "platform/linux/BundleDirectory.h"
#include "platform/linux/DefaultsPlistFile.h"
#include "platform/linux/LocalePosix.h"
#include "platform/linux/LogStderr.h"
#include "platform/linux/RunLoopStd.h"

namespace {

constexpr const char* kBundleIdentifier = "org.lexoria.Lexoria";
const std::string kPromtKey = "promt_";

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

int usageError(const std::string& message) {
    std::cerr << "lexoria-translate: " << message << "\n" << lexoria::kTranslateUsage;
    return 2;
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        text += (i ? " " : "") + words[i];
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lexoria;
    const ParsedCommand parsed =
        parseTranslateCommand(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.command) {
        return usageError(parsed.error);
    }
    const TranslateCommand& command = *parsed.command;
    if (command.help) {
        std::cout << kTranslateUsage;
        return 0;
    }
    if (command.version) {
        std::cout << "lexoria-translate " << kLexoriaVersion << "\n";
        return 0;
    }

    ServiceAddresses addresses;
    std::vector<std::string> errors;
    addresses.applyEnvironment(environment, errors);
    HttpOptions http;
    if (const auto caFile = environment("LEXORIA_CA_FILE"); caFile && !caFile->empty()) {
        if (::access(caFile->c_str(), R_OK) != 0) {
            errors.push_back("LEXORIA_CA_FILE names no readable file: \"" + *caFile + "\"");
        }
        http.caFile = *caFile;
    }
    if (!errors.empty()) {
        for (const std::string& error : errors) {
            std::cerr << "lexoria-translate: " << error << "\n";
        }
        return 2;
    }

    std::string text;
    if (command.words.empty()) {
        std::ostringstream input;
        input << std::cin.rdbuf();
        text = input.str();
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

    DefaultsPlistFile settingsFile(DefaultsPlistFile::standardPath(kBundleIdentifier), std::cerr);
    DefaultsOverlay defaults(settingsFile);
    LocalePosix locale;
    LogStderr log;
    const BundleDirectory bundle = BundleDirectory::forThisProgram();
    RunLoopStd runLoop;
    AsyncHttp asyncHttp(runLoop, http);
    EngineContext context{defaults, locale, addresses, http, &bundle, &asyncHttp, &log};

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
            std::cout << kNoText << "\n";
            return 1;
        }
        defaults.removeObject(kPromtKey);
        result = *answer;
    }
    if (result.empty()) {
        std::cerr << "lexoria-translate: the service gave no text (is it reachable?)\n";
    }
    std::cout << result << "\n";
    return 0;
}
