// pngLoad: PNG reading and writing through libpng.
// Decoding errors jump back through libpng's error trap; nothing is read past the decoded rows.

#include "pngLoad.h"
#include "nux_datafile.h"  // data files opened only when they are regular files

#include <png.h>    // the PNG codec
#include <csetjmp>  // setjmp, libpng's error trap
#include <cstdio>   // fopen, fread, fclose
#include <cstdlib>  // malloc, free

//---- Helpers

// Quiet handlers: a bad picture becomes an empty one, nothing is printed.
static void pngError(png_structp png, png_const_charp)
{
    longjmp(png_jmpbuf(png), 1);
}

static void pngWarning(png_structp, png_const_charp) {}

//---- Public

int pngLoad(const char* path, uint32_t* width, uint32_t* height, unsigned char** pixels, uint32_t maxSide)
{
    *pixels = nullptr;
    FILE* file = nuxOpenDataStream(path);
    if (!file)
        return PNGLOAD_FAILED;

    unsigned char header[8];
    if (fread(header, 1, 8, file) != 8 || png_sig_cmp(header, 0, 8) != 0) {
        fclose(file);
        return PNGLOAD_FAILED;
    }

    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png) {
        fclose(file);
        return PNGLOAD_OUT_OF_MEMORY;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        fclose(file);
        return PNGLOAD_OUT_OF_MEMORY;
    }

    // Everything that setjmp's return must see is volatile or set before it.
    unsigned char* volatile buffer = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        free(rows);
        free(buffer);
        png_destroy_read_struct(&png, &info, nullptr);
        fclose(file);
        return PNGLOAD_FAILED;
    }

    png_init_io(png, file);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_uint_32 w = 0, h = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(png, info, &w, &h, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    // The header alone sizes every buffer below: refuse a picture too large before any of them.
    if (w > maxSide || h > maxSide) {
        png_destroy_read_struct(&png, &info, nullptr);
        fclose(file);
        return PNGLOAD_TOO_LARGE;
    }

    if (bitDepth > 8)
        png_set_strip_16(png);
    if (bitDepth < 8)
        png_set_packing(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        if (bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    // A palette's or grey file's tRNS chunk becomes real alpha; anything still without alpha
    // gets an opaque channel, so every texel is 4 bytes.
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    // Interlaced files arrive in passes; libpng assembles them when asked before the update.
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != (size_t)w * 4) {
        // Not a layout we can hand to the texture copy: treat as damaged.
        png_destroy_read_struct(&png, &info, nullptr);
        fclose(file);
        return PNGLOAD_FAILED;
    }

    buffer = (unsigned char*)malloc(rowBytes * h);
    rows = (png_bytep*)malloc(sizeof(png_bytep) * h);
    if (!buffer || !rows) {
        free(rows);
        free(buffer);
        png_destroy_read_struct(&png, &info, nullptr);
        fclose(file);
        return PNGLOAD_OUT_OF_MEMORY;
    }
    // The buffer receives the picture bottom row first, the order the texture padding expects.
    for (png_uint_32 i = 0; i < h; i++)
        rows[i] = buffer + (size_t)(h - 1 - i) * rowBytes;

    png_read_image(png, rows);
    png_read_end(png, nullptr);

    free(rows);
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(file);
    *width = w;
    *height = h;
    *pixels = buffer;
    return PNGLOAD_OK;
}

int pngSave(const char* path, uint32_t width, uint32_t height, int channels, const unsigned char* pixels)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        return 0;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        fclose(file);
        return 0;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return 0;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < height; y++)
        png_write_row(png, (png_const_bytep)(pixels + (size_t)y * width * channels));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    fclose(file);
    return 1;
}
