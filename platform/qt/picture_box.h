#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QFrame>
#include <QImage>
#include <QMovie>
#include <memory>

namespace lanzhou::platform::qt {

// 图片框1: holds image file bytes and shows them stretched over its whole
// client area, inside a one-pixel border on the button-face colour. An
// animated picture plays.
class PictureBox : public QFrame {
  public:
    explicit PictureBox(QWidget* parent);

    const QByteArray& bytes() const { return bytes_; }
    // Replaces the picture and redraws; bytes no reader understands still count as the picture.
    void setBytes(const QByteArray& bytes);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void stopMovie();

    QByteArray bytes_;
    QImage still_;
    std::unique_ptr<QBuffer> movieSource_;
    std::unique_ptr<QMovie> movie_;
};

}  // namespace lanzhou::platform::qt
