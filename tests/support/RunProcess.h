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

// Runs `program` with `arguments` and exactly the environment `environment`, feeds it
// `input` on standard input and collects both outputs.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment,
                         const std::string& input = "");

}  // namespace lexoria::test
