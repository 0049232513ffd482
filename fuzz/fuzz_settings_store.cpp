// The settings store's whole read path on a real file: bounded read, the nesting check,
// both readers, moving an unreadable file aside; then a write that must read back.
#include <plist/plist.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "FuzzInput.h"
#include "engine/PropertyList.h"
#include "platform/linux/DefaultsPlistFile.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own for the run, removed when the fuzzer ends.
struct Folder {
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "fuzz-settings-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

const fs::path& folder() {
    static const Folder made;
    return made.path;
}

// The depth of the tree libplist builds, walked without recursion.
int treeDepth(plist_t root) {
    int deepest = 0;
    std::vector<std::pair<plist_t, int>> open{{root, 1}};
    while (!open.empty()) {
        const auto [node, depth] = open.back();
        open.pop_back();
        deepest = std::max(deepest, depth);
        if (plist_get_node_type(node) == PLIST_ARRAY) {
            for (uint32_t i = 0; i < plist_array_get_size(node); ++i) {
                open.emplace_back(plist_array_get_item(node, i), depth + 1);
            }
        } else if (plist_get_node_type(node) == PLIST_DICT) {
            plist_dict_iter it = nullptr;
            plist_dict_new_iter(node, &it);
            for (;;) {
                char* key = nullptr;
                plist_t child = nullptr;
                plist_dict_next_item(node, it, &key, &child);
                if (!key) {
                    break;
                }
                free(key);
                open.emplace_back(child, depth + 1);
            }
            free(it);
        }
    }
    return deepest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // What the nesting check lets through never nests deeper than it says.
    if (!bytes.empty() && lexoria::xmlNestingWithin(bytes, 64)) {
        plist_t root = nullptr;
        plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
        if (root) {
            FUZZ_CHECK(treeDepth(root) <= 64 + 1);
            plist_free(root);
        }
    }

    for (const auto& entry : fs::directory_iterator(folder())) {
        fs::remove_all(entry.path());
    }
    const fs::path file = folder() / "org.lexoria.Lexoria.plist";
    std::ofstream(file, std::ios::binary) << bytes;
    std::ostringstream log;
    lexoria::DefaultsPlistFile store(file, log);
    const std::optional<std::string> before = store.objectForKey("leftSim");
    store.setObject("fuzz\x01\r\n", "rightSim");
    // Nothing read is lost by a write, and the write reads back.
    lexoria::DefaultsPlistFile fresh(file, log);
    FUZZ_CHECK(fresh.objectForKey("rightSim") == "fuzz\x01\r\n");
    FUZZ_CHECK(fresh.objectForKey("leftSim") == before);
    return 0;
}
