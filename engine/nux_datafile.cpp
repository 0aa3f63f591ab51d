// nux_datafile: the loaders' way into the pack. Only regular files are read: a file is looked at
// before it is opened, opened without blocking, and looked at again through what was opened, so
// that nothing put in a file's place can make a loader wait for ever.

#include "nux_datafile.h"
#include "nux_files.h"  // data/ names resolved to the pack

#include <cerrno>      // errno: why a data file was refused
#include <fcntl.h>     // open, fcntl, O_NONBLOCK
#include <sys/stat.h>  // stat, fstat, S_ISREG
#include <unistd.h>    // close

//---- Public

int nuxOpenDataFile(const char* path)
{
    if (!path) {
        errno = EINVAL;
        return -1;
    }
    char resolved[4096];
    const char* file = NUX_ResolvePath(path, resolved, sizeof resolved);
    // A device or a pipe is refused before it is opened: opening some devices has effects.
    struct stat before = {};
    if (stat(file, &before) != 0)
        return -1;
    if (!S_ISREG(before.st_mode)) {
        errno = S_ISDIR(before.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    // Whatever has taken the file's place since, opening without blocking returns at once, and
    // the descriptor says what was really opened.
    int fd = open(file, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat opened = {};
    if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0)
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

FILE* nuxOpenDataStream(const char* path)
{
    int fd = nuxOpenDataFile(path);
    if (fd < 0)
        return nullptr;
    FILE* stream = fdopen(fd, "rb");
    if (!stream)
        close(fd);
    return stream;
}
