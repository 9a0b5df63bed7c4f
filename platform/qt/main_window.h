#pragma once

#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "platform/platform.h"

namespace lanzhou::platform::qt {

class PathField;
class PictureBox;

// MainWindow built from its design: every control at its place with its
// designed name as object name, a fixed client area, no maximise button,
// centred on the primary screen. Raises the window's events through the
// bindings it was given.
class MainWindow : public QWidget {
  public:
    // closed runs when the window has been closed (close box, Esc, close()).
    MainWindow(const EventBindings& bindings, std::function<void()> closed);

    // The widget of a control that has a window; nullptr for components.
    QWidget* widget(Control control) const;
    PathField* pathField() const;
    PictureBox* pictureBox() const;
    QTimer& aboutTimer() { return aboutTimer_; }
    QMenu& popupMenu() { return *popupMenu_; }

    // Writes a check box or radio button without its click event; radio
    // buttons are set one by one, never as a group.
    void setChecked(Control control, bool checked);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void buildControls();
    QWidget* makeControl(const ControlDesign& design, QWidget* parent);
    void connectButtons();
    void widenToFit(Control control);
    void buildMenu();
    void keepOneRadioChecked(Control clicked);
    bool isFreeClientArea(QPoint position) const;

    const EventBindings& bindings_;
    std::function<void()> closed_;
    std::array<QWidget*, kControlCount> widgets_{};
    QTimer aboutTimer_;
    QMenu* popupMenu_ = nullptr;
};

}  // namespace lanzhou::platform::qt
