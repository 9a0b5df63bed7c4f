#include "workflow/module_state.h"

namespace lanzhou::workflow {

int lastIconIndex = -1;

}  // namespace lanzhou::workflow
