#pragma once

namespace lanzhou::workflow {

// Image index of the last dropped file's icon in its icon list, -1 for none.
extern int lastIconIndex;

}  // namespace lanzhou::workflow
