// nux_files: where the game's data pack is, and how the engine's file opening finds it.
// The game names its files "data/..."; only the engine turns that into the pack's real folder.
#pragma once

#include <cstddef>  // size_t

// The file whose presence marks a folder as holding the pack: the font every screen needs.
constexpr const char* NUX_PACK_MARKER = "futurabd.ttf";

// Called once at start-up, before any file is opened. A folder chosen outright, dirOption
// (--data-dir) or else $DUNMARROW_DATA (null or empty: not chosen), is the only place tried: 1 when
// it holds the pack, otherwise 0 with message naming it and what it lacks. Without a choice the
// pack is looked for in data/ next to the executable, the install layout next to the executable,
// the install folder fixed at build time, and data/ in the current folder. The first that holds
// the pack becomes the data folder and 1 is returned; otherwise 0, with message holding one text
// that names every place tried.
int NUX_FindDataDir(const char* dirOption, char* message, size_t size);

// Uses dir, chosen by the player through why ("--data-dir", "DUNMARROW_DATA"), as the data folder:
// 1 when it holds the pack; otherwise 0, the data folder unchanged, and message one line naming
// dir and whether it is no folder or lacks the pack's marker file.
int NUX_UseChosenDataDir(const char* dir, const char* why, char* message, size_t size);

// The same search over the places given, in order, each with why it is tried (shown in the
// message). Null or empty places are skipped, repeats tried once.
int NUX_SearchDataDir(const char* const* places, const char* const* why, int count, char* message, size_t size);

// 1 when dir holds the pack.
int NUX_HoldsPack(const char* dir);

// Sets the data folder by hand (null or "" restores the default: data/ in the current folder).
void NUX_SetDataDir(const char* dir);

// The data folder in use: "data" until a search or NUX_SetDataDir chose another.
const char* NUX_GetDataDir();

// A path as the engine opens it: "data/NAME" becomes "<data folder>/NAME" (in buffer); every
// other path is returned unchanged. Never null for a non-null path.
const char* NUX_ResolvePath(const char* path, char* buffer, size_t size);
