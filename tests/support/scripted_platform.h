#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace lanzhou::test {

// The platform as a test plays it: the person answers boxes and dialogs as
// scripted, the desktop is what the test sets, and time is virtual. While a
// box is "open" virtual time runs on to the next scripted moment: timers tick,
// the person acts, the box times out. Files and the instance claim are the
// real ones. Everything the handlers show is recorded.
class ScriptedPlatform : public platform::Platform {
  public:
    using BoxResult = platform::BoxResult;
    using Control = platform::Control;
    using MenuItem = platform::MenuItem;

    // What the person does at one box: press a button after some time (or
    // leave the box alone), and other things meanwhile, at times after it opened.
    struct AtBox {
        std::optional<BoxResult> press;
        std::int64_t afterMs = 0;
        std::vector<std::pair<std::int64_t, std::function<void()>>> meanwhile;
    };

    struct BoxRecord {
        platform::MessageBox request;
        std::vector<std::string> texts;  // the text shown first, then each replacement
        BoxResult result = BoxResult::Ok;
        std::int64_t openedAtMs = 0;
        std::int64_t closedAtMs = 0;
    };

    struct DialogRun {
        std::string fileName;
        std::string filter;
    };

    struct TrayIconSet {
        platform::Bytes ico;
        std::string tip;
    };

    struct StartedProcess {
        std::string program;
        std::vector<std::string> args;
    };

    ScriptedPlatform();

    // --- The person's script, taken in order by the next boxes, dialogs and menus.
    void atNextBox(AtBox script);
    void pressAtNextBox(BoxResult button, std::int64_t afterMs = 0);
    // A path confirms the next save dialog with it; nothing cancels it.
    void answerNextDialog(std::optional<std::string> chosenPath);
    void chooseAtNextMenu(MenuItem item);
    // What the person does while the message loop runs; then the window is closed.
    void setSession(std::function<void()> session) { session_ = std::move(session); }

    // --- The person's actions on the window. Each runs its handler, then what the
    // handler left to the message loop. MainWindow's own events are refused while a
    // task-modal box is open; tray events pass.
    void rightClickFreeArea();
    void trayEvent(int code);
    void dropFiles(const std::string& paths);
    // A click as the person makes it: a check box toggles, a radio button checks
    // itself and unchecks the others, then the click's handler runs.
    void click(Control control);
    void chooseMenuItem(MenuItem item);
    // Virtual time passes with no box open: due timers tick.
    void advance(std::int64_t ms);

    // --- The desktop.
    void placeExecutable(const std::string& folder, const std::string& fileName);
    void setTrayAvailable(bool available) { trayAvailable_ = available; }
    void setCursor(platform::Point at) { cursor_ = at; }
    void setStartProcessResult(bool started) { startResult_ = started; }
    void setWindowPixels(platform::WindowHandle window, platform::RgbaImage pixels);
    void destroyWindow(platform::WindowHandle window);
    void setScreenDepth(int bits) { screenDepth_ = bits; }
    void setThemedIcon(const std::string& nameOrPath, platform::RgbaImage image);

    // --- What happened.
    std::int64_t now() const { return now_; }
    const std::vector<BoxRecord>& boxes() const { return boxes_; }
    const std::vector<DialogRun>& dialogRuns() const { return dialogRuns_; }
    const std::vector<platform::Point>& popups() const { return popups_; }
    const std::vector<TrayIconSet>& trayIcons() const { return trayIcons_; }
    const std::vector<StartedProcess>& startedProcesses() const { return started_; }
    const std::vector<std::string>& currentFolders() const { return currentFolders_; }
    const std::vector<std::int64_t>& pauses() const { return pauses_; }
    std::string toolTip(Control control) const { return state(control).toolTip; }
    bool fileDropEnabled(Control control) const { return state(control).dropEnabled; }
    bool minimized() const { return minimized_; }
    bool processEnded() const { return ended_; }
    int exitActionsRun() const { return exitActionsRun_; }
    int refusedEvents() const { return refusedEvents_; }
    int pendingEventRounds() const { return pendingEventRounds_; }

    // --- Platform.
    void bind(const platform::EventBindings& bindings) override { bindings_ = bindings; }
    void loadMainWindow() override;
    void runMessageLoop() override;
    void processPendingEvents() override;
    void pause(int ms) override;
    void addExitAction(std::function<void()> action) override;
    void endProcess() override;
    std::string text(Control control) override { return state(control).text; }
    void setText(Control control, const std::string& text) override { state(control).text = text; }
    bool visible(Control control) override { return state(control).visible; }
    void setVisible(Control control, bool visible) override;
    int checked(Control control) override { return state(control).checked; }
    void setChecked(Control control, int value) override;
    platform::Bytes picture(Control control) override { return state(control).picture; }
    void setPicture(Control control, const platform::Bytes& bytes) override {
        state(control).picture = bytes;
    }
    std::string fileName(Control control) override { return state(control).fileName; }
    void setFileName(Control control, const std::string& name) override {
        state(control).fileName = name;
    }
    std::string filter(Control control) override { return state(control).filter; }
    void setFilter(Control control, const std::string& filter) override {
        state(control).filter = filter;
    }
    int period(Control control) override;
    void setPeriod(Control control, int ms) override;
    platform::WindowHandle windowHandle(Control control) override;
    void setToolTip(Control control, const std::string& tip) override {
        state(control).toolTip = tip;
    }
    void enableFileDrop(Control control) override { state(control).dropEnabled = true; }
    void minimize(Control control) override;
    BoxResult messageBox(const platform::MessageBox& box) override;
    bool runSaveDialog(Control dialog) override;
    void popupMenu(platform::Point topLeft) override;
    platform::WindowHandle findTopLevelWindow(const std::string& title) override;
    void setMessageText(platform::WindowHandle box, const std::string& text) override;
    void postKeyDown(platform::WindowHandle window, int keyCode) override;
    void setTrayIcon(const platform::Bytes& icoBytes, const std::string& tip) override;
    bool trayAvailable() override { return trayAvailable_; }
    platform::Point cursorPosition() override { return cursor_; }
    platform::RgbaImage decodePicture(const platform::Bytes& bytes) override;
    platform::RgbaImage grabWindow(platform::WindowHandle window) override;
    int screenDepth() override { return screenDepth_; }
    platform::RgbaImage themedIcon(const std::string& nameOrPath, int size) override;
    std::string executableFileName() override { return executableName_; }
    std::string executableFolder() override { return executableFolder_; }
    bool setCurrentFolder(const std::string& folder) override;
    bool startProcess(const std::string& program, const std::vector<std::string>& args) override;

  private:
    struct ControlState {
        std::string text;
        bool visible = false;
        int checked = 0;
        platform::Bytes picture;
        std::string fileName;
        std::string filter;
        std::string toolTip;
        bool dropEnabled = false;
    };

    struct OpenBox {
        platform::WindowHandle handle;
        std::size_t record;
        bool taskModal;
        bool returnPosted = false;
    };

    ControlState& state(Control control);
    const ControlState& state(Control control) const;
    OpenBox* openBox(platform::WindowHandle handle);
    bool taskModalBoxOpen() const;
    // Runs an event of MainWindow unless a task-modal box refuses it.
    void deliverToWindow(const std::function<void()>& event);
    void deliver(const std::function<void()>& event);
    void runPosted();
    void tick();
    void runExitActions();

    platform::EventBindings bindings_;
    std::array<ControlState, platform::kControlCount> controls_;
    std::int64_t now_ = 0;
    int period_ = 0;
    std::int64_t nextTickAt_ = 0;

    std::deque<AtBox> boxScript_;
    std::deque<std::optional<std::string>> dialogScript_;
    std::deque<MenuItem> menuScript_;
    std::deque<std::function<void()>> posted_;
    std::function<void()> session_;
    std::vector<std::function<void()>> exitActions_;

    std::vector<OpenBox> openBoxes_;
    platform::WindowHandle nextBoxHandle_ = 1000;
    std::map<platform::WindowHandle, platform::RgbaImage> windowPixels_;
    std::map<platform::WindowHandle, bool> destroyed_;
    std::map<std::string, platform::RgbaImage> themedIcons_;

    std::vector<BoxRecord> boxes_;
    std::vector<DialogRun> dialogRuns_;
    std::vector<platform::Point> popups_;
    std::vector<TrayIconSet> trayIcons_;
    std::vector<StartedProcess> started_;
    std::vector<std::string> currentFolders_;
    std::vector<std::int64_t> pauses_;

    std::string executableFolder_ = "/opt/lanzhou";
    std::string executableName_ = "lanzhou";
    platform::Point cursor_{400, 300};
    bool trayAvailable_ = true;
    bool startResult_ = true;
    int screenDepth_ = 24;
    bool minimized_ = false;
    bool ended_ = false;
    bool windowClosed_ = false;
    int exitActionsRun_ = 0;
    int refusedEvents_ = 0;
    int pendingEventRounds_ = 0;
};

}  // namespace lanzhou::test
