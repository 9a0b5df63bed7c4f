#include "workflow/intake.h"

#include <algorithm>

#include "iconlist/icon_list.h"
#include "platform/shell_link.h"
#include "workflow/format_choice.h"
#include "workflow/module_state.h"

namespace lanzhou::workflow {

using platform::Control;

namespace {

constexpr std::size_t kExtensionBytes = 4;
constexpr int32_t kIconSide = 32;

struct ExtensionChoice {
    const char* extension;
    int ico, png, jpg;
};

// Tried in this order after the icon preview.
constexpr ExtensionChoice kExtensionTable[] = {
    {".jpg", 0, 0, 1},
    {".png", 0, 1, 0},
    {".ico", 1, 0, 0},
};

}  // namespace

bool endsInExtension(const std::string& text, const std::string& extension) {
    const std::size_t tail = std::min(text.size(), kExtensionBytes);
    return text.compare(text.size() - tail, tail, extension) == 0;
}

void onFileDropped(platform::Platform& platform, const std::string& paths) {
    platform.setText(Control::编辑框1, paths);
    if (endsInExtension(platform.text(Control::编辑框1), ".lnk")) {
        platform.setText(Control::编辑框1, readShortcutTarget(platform.text(Control::编辑框1)));
        setFormatBoxes(platform, 1, 0, 0);
    }

    PictureBytes iconList = createIconList(kIconSide, kIconSide);
    lastIconIndex = addFileIcon(iconList, platform.text(Control::编辑框1));
    platform.setPicture(Control::图片框1, renderIconListImage(iconList, lastIconIndex));

    for (const ExtensionChoice& row : kExtensionTable)
        matchExtension(platform, row.extension, row.ico, row.png, row.jpg);
}

void matchExtension(platform::Platform& platform, const std::string& extension, int ico, int png,
                    int jpg) {
    if (!endsInExtension(platform.text(Control::编辑框1), extension)) return;
    platform.setPicture(Control::图片框1, platform.readFile(platform.text(Control::编辑框1)));
    setFormatBoxes(platform, ico, png, jpg);
}

}  // namespace lanzhou::workflow
