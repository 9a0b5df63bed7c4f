#include "app/module_state.h"

namespace lanzhou::app {

int aboutCountdown = kAboutCountdownStart;
int lastIconIndex = -1;

}  // namespace lanzhou::app
