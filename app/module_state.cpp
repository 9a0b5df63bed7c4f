#include "app/module_state.h"

namespace lanzhou::app {

int aboutCountdown = kAboutCountdownStart;
int lastIconIndex = -1;
std::unique_ptr<update::UpdateDocument> updateDocument;

}  // namespace lanzhou::app
