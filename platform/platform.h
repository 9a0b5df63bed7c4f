#pragma once

// What the handlers see of the desktop: the window's controls and their
// properties, the boxes, dialog, menu and tray icon, pictures, files and the
// process. No toolkit type appears here; texts are UTF-8, picture bytes are
// the complete bytes of an image file.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace lanzhou::platform {

using Bytes = std::vector<std::uint8_t>;

// Names one window of the program; 0 names none (and, to grabWindow, the screen).
using WindowHandle = std::uintptr_t;
constexpr WindowHandle kNoWindow = 0;

struct Point {
    int x = 0;
    int y = 0;
};

// Pixels as rows from the top, four bytes each: red, green, blue, alpha
// (not premultiplied). Empty when width or height is 0.
struct RgbaImage {
    int width = 0;
    int height = 0;
    Bytes pixels;

    bool empty() const { return width <= 0 || height <= 0; }
};

enum class BoxButtons { Ok, OkCancel, YesNo };
enum class BoxIcon { None, Information, Question, Warning };
// The button pressed, or TimedOut when the box closed itself.
enum class BoxResult { Ok, Cancel, Yes, No, TimedOut };

struct MessageBox {
    std::string text;
    std::string title;
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
    // Closes the box after this many milliseconds; 0 keeps it open.
    int timeoutMs = 0;
    // Blocks input to MainWindow while open; otherwise the window stays usable
    // and its events run their handlers in the middle of the caller's.
    bool taskModal = false;
};

// The handlers of the window's events; an empty function leaves its event unhandled.
struct EventBindings {
    std::function<void()> mainWindowCreated;
    // Right button pressed on MainWindow's free client area (not on a control).
    std::function<void()> mainWindowRightMouseDown;
    // 1 left button released, 2 left button double-clicked, 3 context request.
    std::function<void(int code)> trayEvent;
    // 拖放对象1: files dropped on 编辑框1; several files give each path followed by "\r\n".
    std::function<void(const std::string& paths)> fileDropped;
    std::function<void()> icoClicked;   // 选择框1ico
    std::function<void()> pngClicked;   // 选择框2png
    std::function<void()> jpgClicked;   // 选择框3jpg
    std::function<void()> saveClicked;  // 按钮1保存
    std::function<void(MenuItem item)> menuChosen;
    std::function<void()> aboutTimerTick;  // 时钟1关于
};

class Platform {
  public:
    virtual ~Platform() = default;

    // --- The window and its message loop.
    // Sets the handlers of every event; call before loadMainWindow.
    virtual void bind(const EventBindings& bindings) = 0;
    // Builds MainWindow in its designed state, runs the created event, then shows it centred.
    virtual void loadMainWindow() = 0;
    // Handles events until MainWindow is closed (close box, Esc), then runs the exit actions.
    virtual void runMessageLoop() = 0;
    // Handles the events that are waiting now, once, and returns.
    virtual void processPendingEvents() = 0;
    // Blocks the user-interface thread for ms milliseconds; no event is handled meanwhile.
    virtual void pause(int ms) = 0;
    // Adds an action run once when the program ends normally (loop end or endProcess).
    virtual void addExitAction(std::function<void()> action) = 0;
    // Runs the exit actions and ends the process with exit code 0. The real program never
    // returns from it; a test double does, so every caller returns right after the call.
    virtual void endProcess() = 0;

    // --- Control properties (controls.h says which control has which).
    // Text of 编辑框1; caption of MainWindow and 版本号标签; the label of the other controls.
    virtual std::string text(Control control) = 0;
    virtual void setText(Control control, const std::string& text) = 0;
    // MainWindow shown or hidden; hiding also removes its taskbar button.
    virtual bool visible(Control control) = 0;
    virtual void setVisible(Control control, bool visible) = 0;
    // Check boxes and radio buttons: 1 when checked, else 0; writing 1 checks, any other value
    // unchecks.
    virtual int checked(Control control) = 0;
    virtual void setChecked(Control control, int value) = 0;
    // 图片框1: the image file bytes it shows (BMP, ICO, JPEG, PNG, GIF), stretched; empty: none.
    virtual Bytes picture(Control control) = 0;
    virtual void setPicture(Control control, const Bytes& bytes) = 0;
    // 通用对话框1: the name it opens with; after a confirmed run the chosen full path.
    virtual std::string fileName(Control control) = 0;
    virtual void setFileName(Control control, const std::string& name) = 0;
    // 通用对话框1: file types as labels and patterns alternating, separated by "|".
    virtual std::string filter(Control control) = 0;
    virtual void setFilter(Control control, const std::string& filter) = 0;
    // 时钟1关于: 0 stops the timer; a positive value (re)starts it ticking every period ms.
    virtual int period(Control control) = 0;
    virtual void setPeriod(Control control, int ms) = 0;
    // The window of a control that has one (MainWindow, 编辑框1, 图片框1, ...); the same all run.
    virtual WindowHandle windowHandle(Control control) = 0;
    // A plain rectangular hint shown when the pointer rests on the control.
    virtual void setToolTip(Control control, const std::string& tip) = 0;
    // From now on files dropped on the control raise fileDropped.
    virtual void enableFileDrop(Control control) = 0;
    // MainWindow shrinks to its taskbar button and stays visible.
    virtual void minimize(Control control) = 0;

    // --- Boxes, the save dialog, the popup menu.
    // Shows a box without owner window and waits until it closes; events go on meanwhile.
    virtual BoxResult messageBox(const MessageBox& box) = 0;
    // Runs 通用对话框1 (a save dialog, no replace question of its own); true when the user
    // confirmed, which makes the file name the chosen full path. While the file name is empty
    // it opens in the folder of the file named in 编辑框1, else in the home folder.
    virtual bool runSaveDialog(Control dialog) = 0;
    // Shows the items of 菜单 with their top-left corner at a screen point and returns when the
    // menu closes; the chosen item's menuChosen runs from the message loop afterwards.
    virtual void popupMenu(Point topLeft) = 0;
    // The open top-level window of this program titled exactly title, or kNoWindow.
    virtual WindowHandle findTopLevelWindow(const std::string& title) = 0;
    // Replaces the message text of a message box; other windows are left alone.
    virtual void setMessageText(WindowHandle box, const std::string& text) = 0;
    // Posts one key press (13: Return, which presses a box's default button) and returns at once.
    virtual void postKeyDown(WindowHandle window, int keyCode) = 0;

    // --- The notification-area icon (always there, also where no tray shows it).
    // Sets image (from ICO file bytes) and tip together.
    virtual void setTrayIcon(const Bytes& icoBytes, const std::string& tip) = 0;
    // Whether the desktop shows tray icons at all.
    virtual bool trayAvailable() = 0;

    // --- Pictures and the screen.
    virtual Point cursorPosition() = 0;
    // Decodes picture bytes with the reader that shows the preview; empty when none can.
    virtual RgbaImage decodePicture(const Bytes& bytes) = 0;
    // What a window shows now, its border included; kNoWindow: the primary screen; a
    // destroyed window: empty.
    virtual RgbaImage grabWindow(WindowHandle window) = 0;
    // Bits per pixel of the primary screen.
    virtual int screenDepth() = 0;
    // A desktop icon by theme name or absolute path, at most size x size; empty when unknown.
    virtual RgbaImage themedIcon(const std::string& nameOrPath, int size) = 0;

    // --- The process.
    // The executable's file name without folder, and its folder without trailing "/".
    virtual std::string executableFileName() = 0;
    virtual std::string executableFolder() = 0;
    virtual bool setCurrentFolder(const std::string& folder) = 0;
    // Starts program with these arguments as a child of this process, no shell, not waited
    // for; true when it started.
    virtual bool startProcess(const std::string& program, const std::vector<std::string>& args) = 0;

    // --- The same real operations under every platform.
    // True when no other process of this user holds the name; the claim lasts until this
    // process ends, however it ends.
    bool claimInstance(const std::string& name);
    // The whole file; empty when it cannot be read.
    Bytes readFile(const std::string& path);
    // Creates or replaces the file with the bytes (empty bytes: an empty file).
    bool writeFile(const std::string& path, const Bytes& bytes);
    bool deleteFile(const std::string& path);
    bool fileExists(const std::string& path);
    bool isDirectory(const std::string& path);
    bool createDirectory(const std::string& path);
    // Replaces to atomically when both are on one file system.
    bool renameFile(const std::string& from, const std::string& to);
    // Mode 0755: everybody may run it, only the owner write it.
    bool setExecutable(const std::string& path);
};

}  // namespace lanzhou::platform
