#pragma once

#include <string>

#include "platform/platform.h"
#include "workflow/save_cases.h"

namespace lanzhou::workflow {

// Makes the output of a save case as the file `output`:
//   ICO, original size: the preview as an ICO file (ico_wrapping.h);
//   ICO, N x N: the opaque N x N capture of 图片框1 as an ICO file;
//   PNG or JPG, original size: the file named in 编辑框1, converted;
//   PNG or JPG, N x N: the capture's BMP bytes in an intermediate file in
//     the temporary folder, converted, the intermediate removed.
// True only when the output is there and complete; a failed output leaves
// whatever had that name as it was.
bool makeSaveOutput(platform::Platform& platform, const SaveCase& saveCase,
                    const std::string& output);

}  // namespace lanzhou::workflow
