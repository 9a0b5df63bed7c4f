#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/qt/decode_picture.h"

namespace lanzhou::test {

using platform::BoxButtons;
using platform::BoxResult;
using platform::ControlKind;
using platform::designOf;
using platform::kMainWindowDesign;
using platform::kNoWindow;
using platform::WindowHandle;

namespace {

constexpr int kReturnKey = 13;
// A box still open after an hour of virtual time would never close.
constexpr std::int64_t kLongestBoxMs = 3600 * 1000;

BoxResult defaultButton(BoxButtons buttons) {
    return buttons == BoxButtons::YesNo ? BoxResult::Yes : BoxResult::Ok;
}

bool isRadio(platform::Control control) {
    return designOf(control).kind == ControlKind::RadioButton;
}

}  // namespace

ScriptedPlatform::ScriptedPlatform() = default;

ScriptedPlatform::ControlState& ScriptedPlatform::state(Control control) {
    return controls_[static_cast<std::size_t>(control)];
}

const ScriptedPlatform::ControlState& ScriptedPlatform::state(Control control) const {
    return controls_[static_cast<std::size_t>(control)];
}

void ScriptedPlatform::atNextBox(AtBox script) {
    boxScript_.push_back(std::move(script));
}

void ScriptedPlatform::pressAtNextBox(BoxResult button, std::int64_t afterMs) {
    atNextBox({button, afterMs, {}});
}

void ScriptedPlatform::answerNextDialog(std::optional<std::string> chosenPath) {
    dialogScript_.push_back(std::move(chosenPath));
}

void ScriptedPlatform::chooseAtNextMenu(MenuItem item) {
    menuScript_.push_back(item);
}

void ScriptedPlatform::placeExecutable(const std::string& folder, const std::string& fileName) {
    executableFolder_ = folder;
    executableName_ = fileName;
}

void ScriptedPlatform::setWindowPixels(WindowHandle window, platform::RgbaImage pixels) {
    windowPixels_[window] = std::move(pixels);
}

void ScriptedPlatform::destroyWindow(WindowHandle window) {
    destroyed_[window] = true;
}

void ScriptedPlatform::setThemedIcon(const std::string& nameOrPath, platform::RgbaImage image) {
    themedIcons_[nameOrPath] = std::move(image);
}

// --- Events.

bool ScriptedPlatform::taskModalBoxOpen() const {
    return std::any_of(openBoxes_.begin(), openBoxes_.end(),
                       [](const OpenBox& box) { return box.taskModal; });
}

void ScriptedPlatform::runPosted() {
    while (!posted_.empty()) {
        std::function<void()> event = std::move(posted_.front());
        posted_.pop_front();
        event();
    }
}

void ScriptedPlatform::deliver(const std::function<void()>& event) {
    if (event) event();
    runPosted();
}

void ScriptedPlatform::deliverToWindow(const std::function<void()>& event) {
    if (taskModalBoxOpen()) {
        ++refusedEvents_;
        return;
    }
    deliver(event);
}

void ScriptedPlatform::rightClickFreeArea() {
    deliverToWindow([this] {
        if (bindings_.mainWindowRightMouseDown) bindings_.mainWindowRightMouseDown();
    });
}

void ScriptedPlatform::trayEvent(int code) {
    deliver([this, code] {
        if (bindings_.trayEvent) bindings_.trayEvent(code);
    });
}

void ScriptedPlatform::dropFiles(const std::string& paths) {
    if (!state(Control::编辑框1).dropEnabled) {
        ++refusedEvents_;
        return;
    }
    deliverToWindow([this, paths] {
        if (bindings_.fileDropped) bindings_.fileDropped(paths);
    });
}

void ScriptedPlatform::click(Control control) {
    deliverToWindow([this, control] {
        switch (designOf(control).kind) {
            case ControlKind::RadioButton:
                for (const auto& design : kMainWindowDesign)
                    if (isRadio(design.control))
                        state(design.control).checked = design.control == control ? 1 : 0;
                return;
            case ControlKind::CheckBox:
                state(control).checked ^= 1;
                break;
            default:
                break;
        }
        const std::function<void()>* handler = nullptr;
        switch (control) {
            case Control::选择框1ico:
                handler = &bindings_.icoClicked;
                break;
            case Control::选择框2png:
                handler = &bindings_.pngClicked;
                break;
            case Control::选择框3jpg:
                handler = &bindings_.jpgClicked;
                break;
            case Control::按钮1保存:
                handler = &bindings_.saveClicked;
                break;
            default:
                break;
        }
        if (handler != nullptr && *handler) (*handler)();
    });
}

void ScriptedPlatform::chooseMenuItem(MenuItem item) {
    deliverToWindow([this, item] {
        if (bindings_.menuChosen) bindings_.menuChosen(item);
    });
}

void ScriptedPlatform::tick() {
    nextTickAt_ += period_;
    if (bindings_.aboutTimerTick) bindings_.aboutTimerTick();
    runPosted();
}

void ScriptedPlatform::advance(std::int64_t ms) {
    const std::int64_t until = now_ + ms;
    while (period_ > 0 && nextTickAt_ <= until) {
        now_ = nextTickAt_;
        tick();
    }
    now_ = until;
}

// --- The window and its loop.

void ScriptedPlatform::loadMainWindow() {
    for (const auto& design : kMainWindowDesign) {
        ControlState fresh;
        fresh.text = design.text;
        state(design.control) = fresh;
    }
    period_ = 0;
    if (bindings_.mainWindowCreated) bindings_.mainWindowCreated();
    runPosted();
    if (!ended_) state(Control::MainWindow).visible = true;
}

void ScriptedPlatform::runMessageLoop() {
    if (!ended_ && !windowClosed_) {
        if (session_) deliver(session_);
        windowClosed_ = true;
        state(Control::MainWindow).visible = false;
    }
    runExitActions();
}

void ScriptedPlatform::processPendingEvents() {
    ++pendingEventRounds_;
    runPosted();
    // Ticks that fell due while the thread was blocked arrive as one.
    if (period_ > 0 && nextTickAt_ <= now_) {
        nextTickAt_ = now_;
        tick();
    }
}

void ScriptedPlatform::pause(int ms) {
    pauses_.push_back(ms);
    now_ += std::max(ms, 0);
}

void ScriptedPlatform::addExitAction(std::function<void()> action) {
    exitActions_.push_back(std::move(action));
}

void ScriptedPlatform::runExitActions() {
    std::vector<std::function<void()>> actions;
    actions.swap(exitActions_);
    for (const auto& action : actions) {
        action();
        ++exitActionsRun_;
    }
}

void ScriptedPlatform::endProcess() {
    if (ended_) return;
    ended_ = true;
    runExitActions();
}

// --- Properties.

void ScriptedPlatform::setVisible(Control control, bool visible) {
    state(control).visible = visible;
    if (control == Control::MainWindow && visible) minimized_ = false;
}

void ScriptedPlatform::setChecked(Control control, int value) {
    state(control).checked = value == 1 ? 1 : 0;
}

int ScriptedPlatform::period(Control control) {
    return control == Control::时钟1关于 ? period_ : 0;
}

void ScriptedPlatform::setPeriod(Control control, int ms) {
    if (control != Control::时钟1关于) return;
    period_ = std::max(ms, 0);
    if (period_ > 0) nextTickAt_ = now_ + period_;
}

WindowHandle ScriptedPlatform::windowHandle(Control control) {
    return static_cast<WindowHandle>(control) + 1;
}

void ScriptedPlatform::minimize(Control control) {
    if (control == Control::MainWindow) minimized_ = true;
}

// --- Boxes, dialog, menu.

ScriptedPlatform::OpenBox* ScriptedPlatform::openBox(WindowHandle handle) {
    for (OpenBox& box : openBoxes_)
        if (box.handle == handle) return &box;
    return nullptr;
}

BoxResult ScriptedPlatform::messageBox(const platform::MessageBox& request) {
    const std::size_t record = boxes_.size();
    boxes_.push_back({request, {request.text}, BoxResult::Ok, now_, now_});
    const WindowHandle handle = nextBoxHandle_++;
    openBoxes_.push_back({handle, record, request.taskModal});

    AtBox person;
    if (!boxScript_.empty()) {
        person = std::move(boxScript_.front());
        boxScript_.pop_front();
    }
    std::sort(person.meanwhile.begin(), person.meanwhile.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::size_t nextAction = 0;
    const std::int64_t opened = now_;

    BoxResult result = defaultButton(request.buttons);
    for (;;) {
        if (openBox(handle)->returnPosted) break;
        std::int64_t next = opened + kLongestBoxMs;
        enum { None, Tick, Action, Press, Timeout } what = None;
        const auto consider = [&](std::int64_t at, decltype(what) kind) {
            if (at < next) {
                next = at;
                what = kind;
            }
        };
        // At equal times: a tick, then the person's action, the press, the time-out.
        if (period_ > 0) consider(std::max(nextTickAt_, now_), Tick);
        if (nextAction < person.meanwhile.size())
            consider(opened + person.meanwhile[nextAction].first, Action);
        if (person.press) consider(opened + person.afterMs, Press);
        if (request.timeoutMs > 0) consider(opened + request.timeoutMs, Timeout);
        if (what == None) {
            ADD_FAILURE() << "the box \"" << request.title << "\" never closes";
            break;
        }
        now_ = std::max(now_, next);
        if (what == Tick) {
            tick();
        } else if (what == Action) {
            deliver(person.meanwhile[nextAction++].second);
        } else if (what == Press) {
            result = *person.press;
            break;
        } else {
            result = BoxResult::TimedOut;
            break;
        }
    }
    openBoxes_.erase(std::find_if(openBoxes_.begin(), openBoxes_.end(),
                                  [handle](const OpenBox& box) { return box.handle == handle; }));
    boxes_[record].result = result;
    boxes_[record].closedAtMs = now_;
    return result;
}

bool ScriptedPlatform::runSaveDialog(Control dialog) {
    dialogRuns_.push_back({state(dialog).fileName, state(dialog).filter});
    if (dialogScript_.empty()) {
        ADD_FAILURE() << "a save dialog ran that the test did not expect";
        return false;
    }
    const std::optional<std::string> chosen = dialogScript_.front();
    dialogScript_.pop_front();
    if (!chosen) return false;
    state(dialog).fileName = *chosen;
    return true;
}

void ScriptedPlatform::popupMenu(platform::Point topLeft) {
    popups_.push_back(topLeft);
    if (menuScript_.empty()) return;
    const MenuItem item = menuScript_.front();
    menuScript_.pop_front();
    posted_.push_back([this, item] {
        if (bindings_.menuChosen) bindings_.menuChosen(item);
    });
}

WindowHandle ScriptedPlatform::findTopLevelWindow(const std::string& title) {
    for (auto box = openBoxes_.rbegin(); box != openBoxes_.rend(); ++box)
        if (boxes_[box->record].request.title == title) return box->handle;
    if (state(Control::MainWindow).visible && state(Control::MainWindow).text == title)
        return windowHandle(Control::MainWindow);
    return kNoWindow;
}

void ScriptedPlatform::setMessageText(WindowHandle box, const std::string& text) {
    if (OpenBox* open = openBox(box)) boxes_[open->record].texts.push_back(text);
}

void ScriptedPlatform::postKeyDown(WindowHandle window, int keyCode) {
    OpenBox* open = openBox(window);
    if (open != nullptr && keyCode == kReturnKey) open->returnPosted = true;
}

void ScriptedPlatform::setTrayIcon(const platform::Bytes& icoBytes, const std::string& tip) {
    trayIcons_.push_back({icoBytes, tip});
}

// --- Pictures, screen, process.

platform::RgbaImage ScriptedPlatform::decodePicture(const platform::Bytes& bytes) {
    return platform::qt::decodePicture(bytes);
}

platform::RgbaImage ScriptedPlatform::grabWindow(WindowHandle window) {
    if (destroyed_.count(window) != 0) return {};
    const auto found = windowPixels_.find(window);
    return found == windowPixels_.end() ? platform::RgbaImage() : found->second;
}

platform::RgbaImage ScriptedPlatform::themedIcon(const std::string& nameOrPath, int) {
    const auto found = themedIcons_.find(nameOrPath);
    return found == themedIcons_.end() ? platform::RgbaImage() : found->second;
}

bool ScriptedPlatform::setCurrentFolder(const std::string& folder) {
    currentFolders_.push_back(folder);
    return true;
}

bool ScriptedPlatform::startProcess(const std::string& program,
                                    const std::vector<std::string>& args) {
    started_.push_back({program, args});
    return startResult_;
}

}  // namespace lanzhou::test
