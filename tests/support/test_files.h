#pragma once

#include <string>
#include <vector>

namespace lanzhou::test {

// A fresh folder under /tmp that is the process's TMPDIR while the object
// lives; the previous TMPDIR comes back and the folder is removed after.
class ScopedTempDir {
  public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
    std::string previous_;
    bool hadPrevious_ = false;
};

// Entries of `folder` whose names start with `prefix`.
int countEntries(const std::string& folder, const std::string& prefix);

// The names of the entries of `folder`, sorted; empty when it cannot be read.
std::vector<std::string> entryNames(const std::string& folder);

// Sets or, for an empty value, unsets an environment variable for the
// object's lifetime.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::string previous_;
    bool hadPrevious_ = false;
};

std::string readFile(const std::string& path);
bool writeFile(const std::string& path, const std::string& bytes);

// A file of ../shared/fixtures, by its path under that folder.
std::string fixture(const std::string& relative);

}  // namespace lanzhou::test
