// testutil: helpers shared by the tests (window, pixels, PNG files, temp folders, commands).

#include "testutil.h"

#include "nux.h"
#include "pngLoad.h"

#include <png.h>       // writing test pictures in every colour type
#include <GL/gl.h>     // clearing the frame between pixel tests
#include <cstdio>      // fopen, popen
#include <cstdlib>     // mkdtemp, atexit, system
#include <filesystem>  // remove_all
#include <sys/wait.h>  // WIFEXITED, the status of a command

//---- State

static int windowState = -1;  // -1 not tried, 0 unavailable, 1 open
static std::string tempDir;
// A plain array, not a container: it must still hold its pointers when the leak checker runs.
static void* kept[4096];
static int keptCount = 0;

//---- Helpers

static void removeTempDir()
{
    if (!tempDir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(tempDir, ignored);
    }
}

//---- Window and pixels

bool testOpenWindow()
{
    if (windowState < 0)
        windowState = NUX_Init(1024, 768, 0, "DUNMARROW tests") ? 1 : 0;
    return windowState == 1;
}

void testBeginFrame()
{
    NUX_SetClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    NUX_BeginRender();
}

std::vector<uint8_t> testReadFrame()
{
    std::vector<uint8_t> frame((size_t)NUX_GetXRes() * (size_t)NUX_GetYRes() * 4);
    NUX_ReadFramePixels(frame.data());
    return frame;
}

Rgba testPixel(const std::vector<uint8_t>& frame, int x, int y)
{
    const uint8_t* p = frame.data() + ((size_t)y * (size_t)NUX_GetXRes() + (size_t)x) * 4;
    return Rgba{p[0], p[1], p[2], p[3]};
}

void* testKeepPointer(void* item)
{
    if (keptCount < 4096)
        kept[keptCount++] = item;
    return item;
}

//---- Files

std::string testTempDir()
{
    if (tempDir.empty()) {
        char pattern[] = "/tmp/dunmarrow-test-XXXXXX";
        if (mkdtemp(pattern))
            tempDir = pattern;
        atexit(removeTempDir);
    }
    return tempDir;
}

std::string testWritePng(const std::string& name, int width, int height, int colorType, int bitDepth,
                         const std::vector<uint8_t>& rows, const std::vector<uint8_t>& palette, bool interlaced)
{
    std::string path = testTempDir() + "/" + name;
    FILE* file = fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, bitDepth, colorType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, (png_const_colorp)palette.data(), (int)(palette.size() / 3));
    png_write_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; pass++)
        for (int y = 0; y < height; y++)
            png_write_row(png, rows.data() + (size_t)y * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    fclose(file);
    return path;
}

std::string testWriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::string path = testTempDir() + "/" + name;
    FILE* file = fopen(path.c_str(), "wb");
    if (file) {
        if (!bytes.empty())
            fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    return path;
}

std::string testRun(const std::string& command, int* exitCode)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        if (exitCode)
            *exitCode = -1;
        return output;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    int status = pclose(pipe);
    if (exitCode)
        *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}
