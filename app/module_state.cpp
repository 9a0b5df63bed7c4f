#include "app/module_state.h"

namespace lanzhou::app {

int aboutCountdown = kAboutCountdownStart;

}  // namespace lanzhou::app
