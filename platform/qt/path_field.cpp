#include "platform/qt/path_field.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace lanzhou::platform::qt {

namespace {

// Each local file's path followed by "\r\n" when there are several; empty
// when anything dropped is not a local file.
QString droppedPaths(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    QString paths;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) return {};
        paths += url.toLocalFile();
        if (urls.size() > 1) paths += QStringLiteral("\r\n");
    }
    return paths;
}

}  // namespace

PathField::PathField(const EventBindings& bindings, QWidget* parent)
    : QLineEdit(parent), bindings_(bindings) {
    setAcceptDrops(false);
}

void PathField::enableFileDrop() {
    setAcceptDrops(true);
}

void PathField::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedPaths(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void PathField::dragMoveEvent(QDragMoveEvent* event) {
    if (droppedPaths(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void PathField::dropEvent(QDropEvent* event) {
    const QString paths = droppedPaths(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Handled from the message loop, so the program the files came from is not kept waiting.
    QMetaObject::invokeMethod(
        this,
        [this, paths = paths.toStdString()] {
            if (bindings_.fileDropped) bindings_.fileDropped(paths);
        },
        Qt::QueuedConnection);
}

}  // namespace lanzhou::platform::qt
