#pragma once

#include <map>
#include <string>
#include <vector>

namespace lexoria::test {

struct ProcessResult {
    int exitCode = -1;  // -1 when killed by a signal
    std::string out;
    std::string err;
};

// Where standard input comes from, and whether the outputs go to a terminal.
struct Streams {
    std::string inputFile;  // read instead of the input text when set
    bool terminal = false;  // both outputs into `out` through a pseudo-terminal
};

// Runs `program` with `arguments` and exactly the environment `environment`, feeds it
// `input` on standard input and collects both outputs.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment,
                         const std::string& input = "", const Streams& streams = {});

}  // namespace lexoria::test
