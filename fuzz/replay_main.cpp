// Runs fuzz inputs without libFuzzer: every file named on the command line, and every
// file in every directory named, in name order. The test suite replays the seed
// corpus and the regression inputs of each target this way, with any compiler and on
// any processor. A directory that does not exist holds no inputs.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "fuzz/fuzz_target.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsIn(const fs::path& path) {
    std::error_code error;
    if (!fs::is_directory(path, error))
        return fs::exists(path, error) ? std::vector<fs::path>{path} : std::vector<fs::path>{};
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(path, error)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& file : InputsIn(argv[i])) {
            const std::vector<uint8_t> input = ReadAll(file);
            std::fprintf(stderr, "replaying %s (%zu bytes)\n", file.string().c_str(), input.size());
            LLVMFuzzerTestOneInput(input.data(), input.size());
            ++replayed;
        }
    }
    std::printf("%zu inputs replayed, none failed\n", replayed);
    return 0;
}
