#include <gtest/gtest.h>
#include <link.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "platform/linux/CurlOnDemand.h"

// This program is linked as the desktop program is: every request of its tests goes
// through the libcurl it opens on demand.

namespace lexoria {
namespace {

bool neededAtStart(const char* name) {
    const char* names = nullptr;
    for (const ElfW(Dyn)* entry = _DYNAMIC; entry->d_tag != DT_NULL; ++entry) {
        if (entry->d_tag == DT_STRTAB) {
            // The dynamic loader has made it the table's address in this process.
            // NOLINTNEXTLINE(performance-no-int-to-ptr)
            names = reinterpret_cast<const char*>(entry->d_un.d_ptr);
        }
    }
    for (const ElfW(Dyn)* entry = _DYNAMIC; names && entry->d_tag != DT_NULL; ++entry) {
        if (entry->d_tag == DT_NEEDED && std::strstr(names + entry->d_un.d_val, name)) {
            return true;
        }
    }
    return false;
}

bool mapped(const char* name) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find(name) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(CurlOnDemand, LibcurlIsOpenedWhileTheProgramStartsNotBeforeMain) {
    ASSERT_TRUE(neededAtStart("libc.so"));
    EXPECT_FALSE(neededAtStart("libcurl"));
    if (mapped("/libcurl")) {
        GTEST_SKIP() << "an earlier test of this process opened libcurl";
    }
    startOpeningCurl();
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!mapped("/libcurl") && std::chrono::steady_clock::now() < bound) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(mapped("/libcurl")) << "not opened without a curl call";
}

}  // namespace
}  // namespace lexoria
