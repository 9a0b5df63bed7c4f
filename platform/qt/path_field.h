#pragma once

#include <QLineEdit>

#include "platform/platform.h"

namespace lanzhou::platform::qt {

// 编辑框1, the single-line path field. Once file drops are enabled it takes
// local files dropped on it (拖放对象1) and raises fileDropped with their
// paths; other drops it refuses.
class PathField : public QLineEdit {
  public:
    PathField(const EventBindings& bindings, QWidget* parent);

    void enableFileDrop();

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    const EventBindings& bindings_;
};

}  // namespace lanzhou::platform::qt
