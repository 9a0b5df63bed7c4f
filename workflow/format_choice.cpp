#include "workflow/format_choice.h"

#include "workflow/save_flow.h"

namespace lanzhou::workflow {

using platform::Control;

void setFormatBoxes(platform::Platform& platform, int ico, int png, int jpg) {
    platform.setChecked(Control::选择框1ico, ico);
    platform.setChecked(Control::选择框2png, png);
    platform.setChecked(Control::选择框3jpg, jpg);
}

void onIcoClicked(platform::Platform& platform) {
    setFormatBoxes(platform, 1, 0, 0);
    onSaveClicked(platform);
}

void onPngClicked(platform::Platform& platform) {
    setFormatBoxes(platform, 0, 1, 0);
}

void onJpgClicked(platform::Platform& platform) {
    setFormatBoxes(platform, 0, 0, 1);
}

}  // namespace lanzhou::workflow
