#pragma once

#include <string>

#include "iconlist/icon_theme.h"

namespace lanzhou::test {

// The icon theme for the tests, installed while the object lives: the name
// "lanzhou-sample" is PngSuite's 32 x 32 RGBA picture basn6a08.png, an
// absolute path is read from disk; both decoded by libpng.
class ScopedThemeLookup {
  public:
    ScopedThemeLookup();
    ~ScopedThemeLookup();
    ScopedThemeLookup(const ScopedThemeLookup&) = delete;
    ScopedThemeLookup& operator=(const ScopedThemeLookup&) = delete;

    static std::string samplePath();

  private:
    IconThemeLookup previous_;
};

// A PNG file on disk, decoded.
Bitmap readPng(const std::string& path);

}  // namespace lanzhou::test
