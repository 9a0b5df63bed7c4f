#pragma once

// MainWindow as designed: its controls by their designed names, where they
// sit, what they read at start, and the items of its popup menu.

#include <cstddef>

namespace lanzhou::platform {

enum class Control {
    MainWindow,   // caption, visible, window handle
    版本号标签,   // label: caption
    时钟1关于,    // timer: period
    编辑框1,      // single-line path field: text, window handle; drop target
    拖放对象1,    // drop-target component of 编辑框1
    图片框1,      // picture box: picture, window handle
    通用对话框1,  // save dialog: file name, filter
    分组框1,      // group box holding the choices
    单选框432,    // radio buttons: checked
    单选框564,
    单选框6128,
    单选框1原大小,
    选择框1ico,  // check boxes: checked
    选择框2png,
    选择框3jpg,
    按钮1保存,  // push button
};

enum class ControlKind {
    Window,
    Label,
    Timer,
    PathField,
    DropTarget,
    PictureBox,
    SaveDialog,
    GroupBox,
    RadioButton,
    CheckBox,
    PushButton,
};

struct ControlDesign {
    Control control;
    const char* name;
    ControlKind kind;
    // Positions are relative to the parent's client area; components without a
    // window have parent MainWindow and size 0.
    Control parent;
    int x, y, width, height;
    const char* text;
};

// The designed outer size is 230 x 316 with a usual 3-px frame and 22-px title bar.
constexpr int kClientWidth = 224;
constexpr int kClientHeight = 288;

inline constexpr ControlDesign kMainWindowDesign[] = {
    {Control::MainWindow, "MainWindow", ControlKind::Window, Control::MainWindow, 0, 0,
     kClientWidth, kClientHeight, "澜舟"},
    {Control::版本号标签, "版本号标签", ControlKind::Label, Control::MainWindow, 128, -1, 80, 16,
     ""},
    {Control::时钟1关于, "时钟1关于", ControlKind::Timer, Control::MainWindow, 0, 0, 0, 0, ""},
    {Control::编辑框1, "编辑框1", ControlKind::PathField, Control::MainWindow, 8, 16, 208, 24, ""},
    {Control::拖放对象1, "拖放对象1", ControlKind::DropTarget, Control::MainWindow, 0, 0, 0, 0, ""},
    {Control::图片框1, "图片框1", ControlKind::PictureBox, Control::MainWindow, 8, 48, 208, 96, ""},
    {Control::通用对话框1, "通用对话框1", ControlKind::SaveDialog, Control::MainWindow, 0, 0, 0, 0,
     ""},
    {Control::分组框1, "分组框1", ControlKind::GroupBox, Control::MainWindow, 8, 152, 208, 128,
     "设置"},
    {Control::单选框432, "单选框432", ControlKind::RadioButton, Control::分组框1, 24, 24, 64, 16,
     "32*32"},
    {Control::单选框564, "单选框564", ControlKind::RadioButton, Control::分组框1, 24, 48, 64, 16,
     "64*64"},
    {Control::单选框6128, "单选框6128", ControlKind::RadioButton, Control::分组框1, 24, 72, 64, 16,
     "128*128"},
    {Control::单选框1原大小, "单选框1原大小", ControlKind::RadioButton, Control::分组框1, 24, 96,
     72, 16, "原大小"},
    {Control::选择框1ico, "选择框1ico", ControlKind::CheckBox, Control::分组框1, 120, 24, 64, 16,
     "Ico格式"},
    {Control::选择框2png, "选择框2png", ControlKind::CheckBox, Control::分组框1, 120, 48, 64, 16,
     "Png格式"},
    {Control::选择框3jpg, "选择框3jpg", ControlKind::CheckBox, Control::分组框1, 120, 72, 64, 16,
     "Jpg格式"},
    {Control::按钮1保存, "按钮1保存", ControlKind::PushButton, Control::分组框1, 118, 96, 64, 24,
     "保存"},
};

inline constexpr std::size_t kControlCount = sizeof(kMainWindowDesign) / sizeof(ControlDesign);

constexpr bool designFollowsEnumeration() {
    for (std::size_t i = 0; i < kControlCount; ++i)
        if (static_cast<std::size_t>(kMainWindowDesign[i].control) != i) return false;
    return true;
}
static_assert(designFollowsEnumeration(), "one row per control, in the enumeration's order");

constexpr const ControlDesign& designOf(Control control) {
    return kMainWindowDesign[static_cast<std::size_t>(control)];
}

// The popup menu, the hidden top-level item "菜单" of the window's menu.
enum class MenuItem { 检测升级, 隐藏, 关于 };

inline constexpr const char* kMenuTitle = "菜单";
inline constexpr const char* kUpgradeSubmenuText = "升级";

constexpr const char* menuItemText(MenuItem item) {
    switch (item) {
        case MenuItem::检测升级:
            return "检测升级";
        case MenuItem::隐藏:
            return "隐藏";
        case MenuItem::关于:
            return "关于";
    }
    return "";
}

}  // namespace lanzhou::platform
