// What the persistent pipeline saves: a sentence through Apertium's English-Spanish pair
// on a pipeline kept running, on one started for it, and by a fresh `apertium eng-spa`
// process as a shell user would run it.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/linux/OfflineTranslatorApertium.h"

extern char** environ;

namespace {

const std::string kSentence = "The house is very big and I like it.";

void check(benchmark::State& state, const std::optional<std::string>& answer) {
    if (answer != "La casa es muy grande y me gusta.") {
        state.SkipWithError("no translation: is apertium-eng-spa installed?");
    }
}

// Starting the pipeline (the stages load their dictionaries) and the first translation.
void BM_FirstTranslation(benchmark::State& state) {
    for (auto _ : state) {
        lexoria::OfflineTranslatorApertium translator;
        check(state, translator.translate(kSentence, "en", "es"));
    }
}
BENCHMARK(BM_FirstTranslation)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Every later translation on the running pipeline.
void BM_LaterTranslation(benchmark::State& state) {
    lexoria::OfflineTranslatorApertium translator;
    check(state, translator.translate(kSentence, "en", "es"));
    for (auto _ : state) {
        check(state, translator.translate(kSentence, "en", "es"));
    }
}
BENCHMARK(BM_LaterTranslation)->Unit(benchmark::kMillisecond)->UseRealTime();

// `echo SENTENCE | apertium eng-spa`: a process, its shell script and every stage per text.
void BM_FreshApertiumProcess(benchmark::State& state) {
    for (auto _ : state) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) {
            state.SkipWithError("no pipes");
            break;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        char* argv[] = {const_cast<char*>("apertium"), const_cast<char*>("eng-spa"), nullptr};
        pid_t pid = -1;
        const int error = posix_spawnp(&pid, "apertium", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        const bool written = error == 0 && ::write(in[1], kSentence.data(), kSentence.size()) ==
                                               static_cast<ssize_t>(kSentence.size());
        ::close(in[1]);
        std::string answer;
        char buffer[4096];
        for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;) {
            answer.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(out[0]);
        if (error == 0) {
            ::waitpid(pid, nullptr, 0);
        }
        check(state, written ? std::optional<std::string>(answer) : std::nullopt);
    }
}
BENCHMARK(BM_FreshApertiumProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
