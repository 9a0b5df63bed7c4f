#include "app/module_state.h"

namespace lanzhou::app {

int aboutCountdown = kAboutCountdownStart;
std::unique_ptr<update::UpdateDocument> updateDocument;

}  // namespace lanzhou::app
