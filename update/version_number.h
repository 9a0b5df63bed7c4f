#pragma once

#include <string>

namespace update {

// The version of this program: shown in 版本号标签, and the one an offered
// version is compared with.
constexpr double kOwnVersion = 3.2;

// A version text in code page 936 as a number. Full-width ASCII forms count
// as their ASCII characters, the full-width space as a space; then a leading
// decimal number is read (white space skipped, an optional sign, digits, an
// optional fraction and exponent; what follows is ignored), the same in every
// locale. Text without a leading number gives 0.
double versionNumber(const std::string& gbkText);

// True when `version` exceeds the own version by more than 1e-7.
bool isNewerVersion(double version);

}  // namespace update
