#pragma once

#include <dirent.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <string>

// A private folder for one fuzzing process, made its TMPDIR, so that the
// library's temporary files land there and a leftover is noticed at once.
namespace lanzhou::fuzz {

inline const std::string& privateFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/lanzhou-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) std::abort();
        setenv("TMPDIR", made, 1);
        return std::string(made);
    }();
    return folder;
}

// Aborts (a finding) when a file of the library's temporary-file prefix is
// still in the folder: every conversion must delete what it made.
inline void expectNoTemporaryFiles() {
    DIR* dir = opendir(privateFolder().c_str());
    if (dir == nullptr) return;
    while (dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "RZQCLASS", 8) == 0) {
            std::fprintf(stderr, "temporary file left behind: %s\n", entry->d_name);
            std::abort();
        }
    }
    closedir(dir);
}

inline bool writeWhole(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace lanzhou::fuzz
