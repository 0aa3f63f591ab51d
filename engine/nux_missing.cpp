// nux_missing: the list of data files that could not be loaded and its one-line summary.
// The picture, sound, music and font loaders note each failure here; the game reads the summary.

#include "nux_missing.h"
#include "nux_local.h"

#include <string>  // the summary line and the noted names
#include <vector>  // the noted names, in the order first tried

//---- Constants

// The summary names this many files and counts the rest, so that it stays one readable line.
static const size_t NAMED_FILES = 4;

//---- State

static std::vector<std::string> missingFiles;
static std::string summary;

//---- Internal

void nuxNoteMissingFile(const char* path)
{
    if (!path || !path[0])
        return;
    for (const std::string& known : missingFiles)
        if (known == path)
            return;  // a scene that retries a file every time it starts is one missing file
    missingFiles.emplace_back(path);
}

//---- Public

const char* NUX_GetMissingFiles()
{
    summary.clear();
    const size_t count = missingFiles.size();
    if (count == 0)
        return summary.c_str();
    summary = std::to_string(count) + (count == 1 ? " data file: " : " data files: ");
    for (size_t i = 0; i < count && i < NAMED_FILES; i++) {
        if (i > 0)
            summary += ", ";
        summary += missingFiles[i];
    }
    if (count > NAMED_FILES)
        summary += " and " + std::to_string(count - NAMED_FILES) + " more";
    return summary.c_str();
}
