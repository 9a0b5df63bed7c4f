#pragma once

#include <sys/types.h>

#include <cstdio>

#include "imgconv/path_string.h"

namespace imgconv {

// A new file written beside its target and put in the target's place only
// once it is complete, so that a failed write (a full disk, a decoder error)
// leaves the user's file as it was, and a picture converted onto itself
// keeps its source until the new file is whole. The file is created in the
// target's own folder, so that the final rename stays on one file system.
class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // An uncommitted file is deleted.
    ~OutputFile() { discard(); }

    // Creates the new file for `target`. 0 when the target's folder does not
    // exist or cannot take a new file, or when the target exists and is not
    // a regular file we may write.
    int create(const char* target);
    // The stream to write to; null unless created.
    std::FILE* stream() const { return stream_; }
    // Writes the file out to the disk and renames it over the target. 1 on
    // success; on failure the new file is deleted and the target untouched.
    int commit();
    // Closes and deletes the new file; the target is untouched. Safe to call
    // at any time.
    int discard();

  private:
    int resolveTarget(const char* target);
    int openTemporary(mode_t mode);

    std::FILE* stream_ = nullptr;
    PathString target_;
    PathString temporary_;
};

}  // namespace imgconv
