// Replays a fuzz target's corpus as an ordinary test: every file of the given folders (and every
// file named directly) goes once through LLVMFuzzerTestOneInput, in name order. Under the
// sanitizers of the test build, an input that once crashed the engine fails the test again.

#include <algorithm>   // std::sort
#include <cstdint>     // uint8_t
#include <cstdio>      // printf, fprintf
#include <filesystem>  // walking the corpus
#include <fstream>     // reading each input
#include <string>      // paths
#include <vector>      // the input bytes

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; i++) {
        std::error_code ec;
        if (fs::is_directory(argv[i], ec)) {
            for (const auto& entry : fs::directory_iterator(argv[i], ec))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
        } else if (fs::is_regular_file(argv[i], ec)) {
            inputs.push_back(argv[i]);
        } else {
            fprintf(stderr, "replay: no such corpus: %s\n", argv[i]);
            return 1;
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        fprintf(stderr, "replay: the corpus is empty\n");
        return 1;
    }
    for (const fs::path& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // A copy of exactly the input's size, so reading past it is caught as it would be by the fuzzer.
        std::vector<uint8_t> data(bytes.begin(), bytes.end());
        LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
    }
    printf("replay: %zu inputs\n", inputs.size());
    return 0;
}
