#pragma once

#include <string>

#include "workflow/bitmap.h"

namespace lanzhou::workflow {

// A file of its own in the user's temporary folder ($TMPDIR, else /tmp),
// under a name nobody else had, for a picture on its way to the
// conversion library. The file is removed when the object goes, whatever
// happened to it.
class IntermediateFile {
  public:
    IntermediateFile() = default;
    ~IntermediateFile();
    IntermediateFile(const IntermediateFile&) = delete;
    IntermediateFile& operator=(const IntermediateFile&) = delete;

    // Creates the file, new and exclusively, and writes all of `bytes` into it.
    // False when the folder takes no new file or the bytes do not all fit.
    bool write(const PictureBytes& bytes);
    // Empty until write has created the file.
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace lanzhou::workflow
