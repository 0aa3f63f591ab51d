// Tests of the program's shape: only the engine touches the platform libraries, and the game
// executable exports exactly the nine array and string operations.

#include "testutil.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <set>

TEST(Layers, OnlyTheEngineIncludesPlatformHeaders)
{
    const char* platform[] = {"SDL",      "GL/",      "AL/",   "al.h",      "alc.h",      "sndfile",
                              "ft2build", "freetype", "png.h", "pngLoad.h", "nux_local.h"};
    // The header an #include line names, without its brackets or quotes ("" for other lines).
    auto included = [](const std::string& line) {
        size_t hash = line.find_first_not_of(" \t");
        if (hash == std::string::npos || line[hash] != '#' || line.find("include", hash) == std::string::npos)
            return std::string();
        size_t open = line.find_first_of("<\"", hash);
        return open == std::string::npos ? std::string() : line.substr(open + 1);
    };
    int checked = 0;
    for (const char* folder : {"game", "util"}) {
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(DUNMARROW_SOURCE_DIR "/" + std::string(folder))) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream file(entry.path());
            std::string line;
            int number = 0;
            while (std::getline(file, line)) {
                number++;
                std::string header = included(line);
                for (const char* name : platform)
                    EXPECT_NE(header.rfind(name, 0), 0u) << entry.path() << ":" << number << ": " << line;
            }
            checked++;
        }
    }
    EXPECT_GT(checked, 6);
}

TEST(Layers, TheExecutableExportsExactlyTheNineOperations)
{
    int code = -1;
    std::string symbols = testRun("nm -D --defined-only " DUNMARROW_BINARY_DIR "/dunmarrow", &code);
    ASSERT_EQ(code, 0);
    std::set<std::string> exported;
    std::istringstream lines(symbols);
    std::string address, type, name;
    while (lines >> address >> type >> name) {
        // Functions only: the C library's stdout and stderr are copied into every executable,
        // and the linker's own markers (_init, _fini ...) start with an underscore.
        bool function = type == "T" || type == "W" || type == "i";
        if (function && name[0] != '_')
            exported.insert(name);
    }
    const std::set<std::string> expected = {
        "KWArray_Clear",      "KWArray_Create",      "KWArray_CreateElement",
        "KWArray_HasElement", "KWArray_PushElement", "KWArray_RemoveElement",
        "KWString_Create",    "KWString_Destroy",    "KWString_SetText",
    };
    EXPECT_EQ(exported, expected);
}
