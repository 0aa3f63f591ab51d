// nux_files: finds the data pack (option, environment, beside the executable, the install folder,
// the current folder) and resolves the game's "data/..." names against it when a file is opened.

#include "nux_files.h"

#include <cstdio>      // snprintf
#include <cstdlib>     // getenv
#include <cstring>     // strncmp, strcmp
#include <filesystem>  // normalising the places, testing for the marker
#include <string>      // the places and the message while searching (start-up only)
#include <unistd.h>    // readlink, /proc/self/exe

//---- Constants

// Fixed by the build: the install folder of the pack, and the same relative to the executable.
#ifndef DUNMARROW_INSTALL_DATA_DIR
#define DUNMARROW_INSTALL_DATA_DIR "/usr/local/share/dunmarrow"
#endif
#ifndef DUNMARROW_RELATIVE_DATA_DIR
#define DUNMARROW_RELATIVE_DATA_DIR "../share/dunmarrow"
#endif

static const char* DEFAULT_DIR = "data";
static const char* PREFIX = "data/";

//---- State

static char dataDir[4096] = "data";

//---- Helpers

// The folder of the running executable, "" when /proc does not say.
static std::string executableDir()
{
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return "";
    buffer[n] = '\0';
    return std::filesystem::path(buffer).parent_path().string();
}

static std::string normal(const std::string& path)
{
    std::string text = std::filesystem::path(path).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

//---- Public

int NUX_HoldsPack(const char* dir)
{
    if (!dir || !dir[0])
        return 0;
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(dir) / NUX_PACK_MARKER, ec) ? 1 : 0;
}

void NUX_SetDataDir(const char* dir)
{
    snprintf(dataDir, sizeof dataDir, "%s", (dir && dir[0]) ? dir : DEFAULT_DIR);
}

const char* NUX_GetDataDir()
{
    return dataDir;
}

const char* NUX_ResolvePath(const char* path, char* buffer, size_t size)
{
    if (!path || strncmp(path, PREFIX, strlen(PREFIX)) != 0 || strcmp(dataDir, DEFAULT_DIR) == 0)
        return path;
    int n = snprintf(buffer, size, "%s/%s", dataDir, path + strlen(PREFIX));
    if (n < 0 || (size_t)n >= size)
        return path;  // too long to resolve: open the name as given, which then fails cleanly
    return buffer;
}

int NUX_SearchDataDir(const char* const* places, const char* const* why, int count, char* message, size_t size)
{
    std::string tried;
    std::string seen[16];
    int seenCount = 0;
    for (int i = 0; i < count; i++) {
        if (!places[i] || !places[i][0])
            continue;
        std::string place = normal(places[i]);
        bool repeat = false;
        for (int j = 0; j < seenCount; j++)
            repeat = repeat || seen[j] == place;
        if (repeat)
            continue;
        if (seenCount < 16)
            seen[seenCount++] = place;
        if (NUX_HoldsPack(place.c_str())) {
            NUX_SetDataDir(place.c_str());
            if (message && size)
                message[0] = '\0';
            return 1;
        }
        tried += "  " + place + "  (" + (why && why[i] ? why[i] : "") + ")\n";
    }
    if (message && size)
        snprintf(message, size,
                 "Cannot find the game's data: no folder holding %s. Looked in:\n%s"
                 "Name the folder with --data-dir DIR or the environment variable DUNMARROW_DATA.\n",
                 NUX_PACK_MARKER, tried.empty() ? "  (nowhere)\n" : tried.c_str());
    return 0;
}

int NUX_UseChosenDataDir(const char* dir, const char* why, char* message, size_t size)
{
    if (NUX_HoldsPack(dir)) {
        NUX_SetDataDir(normal(dir).c_str());
        if (message && size)
            message[0] = '\0';
        return 1;
    }
    if (message && size) {
        std::error_code ec;
        bool folder = dir && dir[0] && std::filesystem::is_directory(dir, ec);
        snprintf(message, size, "%s names %s, which %s.\n", why ? why : "", dir ? dir : "",
                 folder
                     ? (std::string("holds no ") + NUX_PACK_MARKER + " (the font that marks the game's data)").c_str()
                     : "is no folder");
    }
    return 0;
}

int NUX_FindDataDir(const char* dirOption, char* message, size_t size)
{
    // A folder the player names is used or refused, never passed over for another pack.
    if (dirOption && dirOption[0])
        return NUX_UseChosenDataDir(dirOption, "--data-dir", message, size);
    const char* fromEnvironment = getenv("DUNMARROW_DATA");
    if (fromEnvironment && fromEnvironment[0])
        return NUX_UseChosenDataDir(fromEnvironment, "DUNMARROW_DATA", message, size);
    std::string exe = executableDir();
    std::string besideExe = exe.empty() ? "" : exe + "/data";
    std::string installedBeside = exe.empty() ? "" : exe + "/" + DUNMARROW_RELATIVE_DATA_DIR;
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    std::string current = ec ? std::string(DEFAULT_DIR) : cwd + "/data";
    const char* places[] = {besideExe.c_str(), installedBeside.c_str(), DUNMARROW_INSTALL_DATA_DIR, current.c_str()};
    const char* why[] = {"next to the executable", "installed beside the executable", "the install folder",
                         "the current folder"};
    return NUX_SearchDataDir(places, why, 4, message, size);
}
