#include "app/unbuilt_handlers.h"

namespace lanzhou::app {

void onFileDropped(platform::Platform&, const std::string&) {}
void onIcoClicked(platform::Platform&) {}
void onPngClicked(platform::Platform&) {}
void onJpgClicked(platform::Platform&) {}
void onSaveClicked(platform::Platform&) {}

}  // namespace lanzhou::app
