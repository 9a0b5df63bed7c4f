#include "update/updater/updater_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace updater {

UpdaterWindow::UpdaterWindow(const update::UpdaterValues& values) {
    setWindowTitle(QStringLiteral("澜舟升级"));
    auto* layout = new QVBoxLayout(this);

    auto* title = new QLabel(QString::fromStdString(values.fileTitle), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setWordWrap(true);
    layout->addWidget(title);

    layout->addWidget(new QLabel(QStringLiteral("升级说明："), this));
    auto* notes = new QPlainTextEdit(QString::fromStdString(values.releaseNotes), this);
    notes->setReadOnly(true);
    layout->addWidget(notes);

    progress_ = new QProgressBar(this);
    progress_->setRange(0, 0);
    layout->addWidget(progress_);

    status_ = new QLabel(QStringLiteral("正在下载新版本……"), this);
    status_->setWordWrap(true);
    layout->addWidget(status_);

    closeButton_ = new QPushButton(QStringLiteral("关闭"), this);
    closeButton_->setEnabled(false);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(closeButton_);

    resize(360, 280);
}

void UpdaterWindow::showProgress(int64_t received, int64_t total) {
    if (total <= 0) return;
    progress_->setRange(0, 1000);
    progress_->setValue(static_cast<int>(received * 1000 / total));
}

void UpdaterWindow::showStatus(const QString& text) {
    status_->setText(text);
}

void UpdaterWindow::showFailure(const QString& error) {
    progress_->setRange(0, 1);
    progress_->setValue(0);
    status_->setText(QStringLiteral("升级没有完成，原来的程序保持不变。\n") + error);
    closeButton_->setEnabled(true);
}

}  // namespace updater
