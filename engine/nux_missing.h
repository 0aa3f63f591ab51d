// nux_missing: the data files the engine could not load. Loaders go on with an empty picture,
// a silent sound or an empty font; this list lets the game say once which files were missing.
#pragma once

// The data files that failed to load so far (missing, unreadable or damaged pictures, sounds,
// music and fonts), each named once in the order first tried, as one line of text:
// "3 data files: data/a.png, data/b.ogg, data/c.ttf"; after the first four names, "and N more".
// The empty string while every file has loaded. The text belongs to the engine and stays valid
// until the next call. Called by the shell once loading is done.
const char* NUX_GetMissingFiles();
