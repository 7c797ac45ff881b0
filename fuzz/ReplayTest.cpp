#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTarget.h"

// Replays a fuzz target's seed corpus and every input that ever found a fault in it, in the
// ordinary build. FUZZ_TARGET_NAME and FUZZ_DIR come from the build.
namespace {

std::string currentInput;

std::vector<std::filesystem::path> InputsIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    if (!std::filesystem::is_directory(folder)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

int Replay(const char* kind) {
    const auto folder = std::filesystem::path(FUZZ_DIR) / kind / FUZZ_TARGET_NAME;
    int count = 0;
    for (const auto& file : InputsIn(folder)) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        currentInput = file.string();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ++count;
    }
    return count;
}

}  // namespace

namespace velmor_fuzz {

void check(bool ok, const char* what) {
    if (!ok) ADD_FAILURE() << what << " (input " << currentInput << ")";
}

std::string scratchFolder() {
    static const std::string folder = [] {
        const char* root = std::getenv("VELMORUTILS_TEST_TMP");
        const auto dir = std::filesystem::path(root && *root ? root : "/tmp") /
                         (std::string("fuzz_") + FUZZ_TARGET_NAME);
        std::filesystem::create_directories(dir);
        return dir.string();
    }();
    return folder;
}

}  // namespace velmor_fuzz

TEST(FuzzReplay, SeedCorpus) {
    EXPECT_GT(Replay("corpus"), 0) << "every fuzz target needs seeds";
}

TEST(FuzzReplay, InputsThatFoundFaults) {
    Replay("regressions");
}
