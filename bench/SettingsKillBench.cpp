// The settings store killed at random moments while it writes: a child process writes
// the settings file through the program's own store over and over, the parent kills it
// with SIGKILL after a random delay, then reads the file back through the same store.
// The file must hold either the last acknowledged write or the one after it, complete.
//
//   settings_kill_bench FOLDER [KILLS] [MAX-DELAY-MS]
//
// Prints one line of counts: kills, unreadable files, lost settings, stale temporary
// files left in the folder after one more write, writes acknowledged, and the seed of the
// delays.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "platform/linux/DefaultsPlistFile.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFixedKeys = 20;
constexpr std::size_t kPayloadBytes = 64 * 1024;

std::string fixedKey(int i) {
    return "endurance" + std::to_string(i);
}
std::string fixedValue(int i) {
    return "kept value " + std::to_string(i * 7919);
}

// Large enough that a kill often lands inside the write; its generation is in the text,
// so a torn or mixed value shows.
std::string payload(long generation) {
    std::string text = "generation=" + std::to_string(generation) + ";";
    const std::string piece = std::to_string(generation) + ",";
    while (text.size() < kPayloadBytes) {
        text += piece;
    }
    return text;
}

std::optional<long> generationOf(const std::optional<std::string>& text) {
    if (!text || text->rfind("generation=", 0) != 0) {
        return std::nullopt;
    }
    const long generation = std::strtol(text->c_str() + 11, nullptr, 10);
    if (*text != payload(generation)) {
        return std::nullopt;
    }
    return generation;
}

[[noreturn]] void writeForever(const fs::path& file, int acknowledge) {
    std::ostringstream log;
    lexoria::DefaultsPlistFile store(file, log);
    long generation = generationOf(store.objectForKey("payload")).value_or(0);
    for (;;) {
        ++generation;
        store.setObject(payload(generation), "payload");
        if (::write(acknowledge, &generation, sizeof generation) != sizeof generation) {
            ::_exit(1);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: settings_kill_bench FOLDER [KILLS] [MAX-DELAY-MS]\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const int kills = argc > 2 ? std::stoi(argv[2]) : 1000;
    const int maxDelayUs = (argc > 3 ? std::stoi(argv[3]) : 20) * 1000;
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path file = folder / "org.lexoria.Lexoria.plist";
    {
        std::ostringstream log;
        lexoria::DefaultsPlistFile store(file, log);
        for (int i = 0; i < kFixedKeys; ++i) {
            store.setObject(fixedValue(i), fixedKey(i));
        }
        store.setObject(payload(0), "payload");
    }

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, maxDelayUs);
    long known = 0;
    long acknowledged = 0;
    int unreadable = 0;
    int lost = 0;
    for (int round = 0; round < kills; ++round) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) {
            std::perror("pipe");
            return 1;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipeEnds[0]);
            writeForever(file, pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        long last = known;
        long got = 0;
        while (::read(pipeEnds[0], &got, sizeof got) == sizeof got) {
            last = got;
            ++acknowledged;
        }
        ::close(pipeEnds[0]);

        std::ostringstream log;
        lexoria::DefaultsPlistFile reader(file, log);
        const std::optional<long> generation = generationOf(reader.objectForKey("payload"));
        if (!log.str().empty() || !generation) {
            // Moved aside or torn: start the next round from a good file again.
            ++unreadable;
            std::fprintf(stderr, "round %d: unreadable: %s", round, log.str().c_str());
            fs::remove(file);
            lexoria::DefaultsPlistFile store(file, log);
            for (int i = 0; i < kFixedKeys; ++i) {
                store.setObject(fixedValue(i), fixedKey(i));
            }
            store.setObject(payload(last), "payload");
            known = last;
            continue;
        }
        bool complete = *generation == last || *generation == last + 1;
        for (int i = 0; i < kFixedKeys; ++i) {
            complete = complete && reader.objectForKey(fixedKey(i)) == fixedValue(i);
        }
        if (!complete) {
            ++lost;
            std::fprintf(stderr, "round %d: generation %ld after %ld acknowledged\n", round,
                         *generation, last);
        }
        known = *generation;
    }

    // The last kill may have left its writer's temporary file: the next write clears it.
    {
        std::ostringstream log;
        lexoria::DefaultsPlistFile(file, log).setObject(payload(known + 1), "payload");
    }
    int staleTemps = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".org.lexoria.Lexoria.plist.", 0) == 0 &&
            name.find(".lock") == std::string::npos) {
            ++staleTemps;
        }
    }
    std::printf("kills %d unreadable %d lost %d stale_temps %d writes %ld seed %u\n", kills,
                unreadable, lost, staleTemps, acknowledged, seed);
    return 0;
}
