#include "workflow/save_flow.h"

#include <string>

#include "workflow/save_cases.h"
#include "workflow/save_messages.h"
#include "workflow/save_output.h"

namespace lanzhou::workflow {

using platform::Control;

namespace {

constexpr Control kFormatBoxes[] = {Control::选择框1ico, Control::选择框2png, Control::选择框3jpg};
constexpr Control kSizeRadios[] = {Control::单选框1原大小, Control::单选框432, Control::单选框564,
                                   Control::单选框6128};

bool applies(platform::Platform& platform, const SaveCase& saveCase) {
    return platform.checked(saveCase.formatBox) == 1 && platform.checked(saveCase.sizeRadio) == 1;
}

// Only the case's own format box and size radio stay checked, so that no
// later case applies unless the user changes the choice meanwhile.
void keepOnlyChoiceOf(platform::Platform& platform, const SaveCase& saveCase) {
    for (Control box : kFormatBoxes)
        if (box != saveCase.formatBox) platform.setChecked(box, 0);
    for (Control radio : kSizeRadios)
        if (radio != saveCase.sizeRadio) platform.setChecked(radio, 0);
}

void runSaveCase(platform::Platform& platform, const SaveCase& saveCase) {
    keepOnlyChoiceOf(platform, saveCase);
    platform.setFilter(Control::通用对话框1, saveCase.filter);
    if (saveCase.noPictureText != nullptr && platform.picture(Control::图片框1).empty()) {
        showSaveMessage(platform, saveCase.noPictureText);
        return;
    }
    // A cancelled dialog ends the case: nothing written, nothing said.
    if (!platform.runSaveDialog(Control::通用对话框1)) return;

    // The dialog keeps the base name, so the next save starts from it.
    platform.setFileName(Control::通用对话框1,
                         platform.fileName(Control::通用对话框1) + saveCase.suffix);
    const std::string output = platform.fileName(Control::通用对话框1) + saveCase.extension;
    // The dialog asked about the name the user typed; this is the name written.
    if (platform.fileExists(output) && !confirmReplace(platform, output)) return;

    const bool made = makeSaveOutput(platform, saveCase, output);
    showSaveMessage(platform, made ? saveCase.successText : saveCase.failureText);
}

}  // namespace

void onSaveClicked(platform::Platform& platform) {
    if (platform.picture(Control::图片框1).empty()) {
        showSaveMessage(platform, "保存不能为空", "保存");
        return;
    }
    for (const SaveCase& saveCase : kSaveCases)
        if (applies(platform, saveCase)) runSaveCase(platform, saveCase);
}

}  // namespace lanzhou::workflow
