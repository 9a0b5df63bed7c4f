#pragma once

// The PNG codec's own I/O and error functions, handed to libpng. The open
// stream is libpng's I/O pointer. An error abandons the running operation by
// a jump to libpng's recovery point (png_jmpbuf), which every codec operation
// sets with setjmp before it calls libpng.

#include <cstddef>

#include <png.h>

namespace imgconv {

void pngReadData(png_structp png, png_bytep data, std::size_t length);
void pngWriteData(png_structp png, png_bytep data, std::size_t length);
void pngFlushData(png_structp png);
// The message is not used: nothing is shown to the user.
[[noreturn]] void pngRaiseError(png_structp png, png_const_charp message);

}  // namespace imgconv
