#include "app/unbuilt_handlers.h"

namespace lanzhou::app {

void checkForUpdate(platform::Platform&) {}
void prepareUpdateDocument(platform::Platform&) {}

}  // namespace lanzhou::app
