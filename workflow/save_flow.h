#pragma once

#include "platform/platform.h"

namespace lanzhou::workflow {

// Click on 按钮1保存 (and the end of a click on 选择框1ico): without a
// picture in 图片框1 only the message "保存不能为空"; otherwise each save case
// whose format box and size radio are checked runs, tested in the cases'
// order against the controls as they are at that moment: a message box of
// an earlier case leaves the window usable, and what the user changes
// meanwhile decides which cases follow.
void onSaveClicked(platform::Platform& platform);

}  // namespace lanzhou::workflow
