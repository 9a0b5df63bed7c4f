#include "platform/qt/picture_box.h"

#include <QPainter>

#include "platform/qt/pictures.h"

namespace lanzhou::platform::qt {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);
}

void PictureBox::stopMovie() {
    movie_.reset();
    movieSource_.reset();
}

void PictureBox::setBytes(const QByteArray& bytes) {
    stopMovie();
    bytes_ = bytes;
    still_ = decodeImage(bytes_);
    if (isAnimated(bytes_)) {
        movieSource_ = std::make_unique<QBuffer>();
        movieSource_->setData(bytes_);
        movie_ = std::make_unique<QMovie>(movieSource_.get());
        connect(movie_.get(), &QMovie::frameChanged, this, [this] { update(); });
        movie_->start();
    }
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QImage frame = movie_ ? movie_->currentImage() : still_;
    if (frame.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(contentsRect(), frame);
}

}  // namespace lanzhou::platform::qt
