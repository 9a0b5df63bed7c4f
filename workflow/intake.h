#pragma once

#include <string>

#include "platform/platform.h"

namespace lanzhou::workflow {

// Files dropped on 编辑框1: the path goes into the field, a shortcut (".lnk")
// is replaced by its target with ICO checked, the file's icon becomes the
// preview (none: no preview), and a name ending ".jpg", ".png" or ".ico"
// shows the file's own bytes instead and checks that format alone.
void onFileDropped(platform::Platform& platform, const std::string& paths);

// When the text of 编辑框1 ends in `extension`: the file's bytes become the
// preview and the three format boxes are set to ico, png and jpg.
void matchExtension(platform::Platform& platform, const std::string& extension, int ico, int png,
                    int jpg);

// Whether the last four bytes of `text` (all of it when shorter) are
// `extension`, byte for byte and case-sensitively.
bool endsInExtension(const std::string& text, const std::string& extension);

}  // namespace lanzhou::workflow
