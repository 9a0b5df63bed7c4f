#include "tests/support/test_files.h"

#include <dirent.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace lanzhou::test {

ScopedTempDir::ScopedTempDir() {
    char pattern[] = "/tmp/lanzhou-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    if (const char* old = getenv("TMPDIR")) {
        hadPrevious_ = true;
        previous_ = old;
    }
    setenv("TMPDIR", path_.c_str(), 1);
}

ScopedTempDir::~ScopedTempDir() {
    if (hadPrevious_)
        setenv("TMPDIR", previous_.c_str(), 1);
    else
        unsetenv("TMPDIR");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

int countEntries(const std::string& folder, const std::string& prefix) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return 0;
    int count = 0;
    while (dirent* entry = readdir(dir))
        if (std::string(entry->d_name).rfind(prefix, 0) == 0) ++count;
    closedir(dir);
    return count;
}

std::vector<std::string> entryNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code unreadable;
    for (const auto& entry : std::filesystem::directory_iterator(folder, unreadable))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) {
        hadPrevious_ = true;
        previous_ = old;
    }
    if (value != nullptr && value[0] != '\0')
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (hadPrevious_)
        setenv(name_.c_str(), previous_.c_str(), 1);
    else
        unsetenv(name_.c_str());
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string fixture(const std::string& relative) {
    return std::string(LANZHOU_FIXTURES_DIR) + "/" + relative;
}

}  // namespace lanzhou::test
