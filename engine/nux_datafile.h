// nux_datafile: opening the pack's files for the loaders. A named pipe, a device or a folder in
// place of a picture, a sound, a track or the font must never stall start-up: a data file is
// opened without waiting and kept only when it is a regular file.
#pragma once

#include <cstdio>  // FILE

// Opens a data file for reading ("data/NAME" resolved to the pack): a descriptor, or -1 when the
// file is missing, unreadable or not a regular file (a named pipe, a device, a folder, a socket).
// Never waits for a pipe's writer. The caller closes the descriptor.
int nuxOpenDataFile(const char* path);

// The same as a stream for reading bytes, or null. The caller closes it.
FILE* nuxOpenDataStream(const char* path);
