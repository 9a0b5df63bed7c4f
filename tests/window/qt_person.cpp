#include "tests/window/qt_person.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

namespace lanzhou::test {

namespace {

constexpr int kLookEveryMs = 20;
// Long enough for what happens meanwhile to be handled by the box's loop.
constexpr int kPressAfterMs = 100;

}  // namespace

QtPerson::QtPerson() {
    connect(&timer_, &QTimer::timeout, this, [this] { look(); });
    timer_.start(kLookEveryMs);
}

void QtPerson::typeAtNextDialog(const QString& name) {
    dialogScript_.push_back({DialogAnswer::Type, name});
}

void QtPerson::keepNameAtNextDialog() {
    dialogScript_.push_back({DialogAnswer::Keep, {}});
}

void QtPerson::cancelNextDialog() {
    dialogScript_.push_back({DialogAnswer::Cancel, {}});
}

void QtPerson::atNextBox(QMessageBox::StandardButton press, std::function<void()> meanwhile) {
    boxScript_.push_back({press, std::move(meanwhile)});
}

void QtPerson::leaveNextBox() {
    boxScript_.push_back({std::nullopt, {}});
}

std::vector<std::string> QtPerson::messages() const {
    std::vector<std::string> shown;
    for (const SeenBox& box : boxes_) shown.push_back(box.title + ": " + box.text);
    return shown;
}

bool QtPerson::seen(QWidget* widget) const {
    for (const QPointer<QWidget>& met : met_)
        if (met == widget) return true;
    return false;
}

void QtPerson::look() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible() || seen(widget)) continue;
        if (auto* dialog = qobject_cast<QFileDialog*>(widget)) {
            met_.emplace_back(dialog);
            auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            dialogs_.push_back({dialog->directory().absolutePath(),
                                nameField != nullptr ? nameField->text() : QString(),
                                dialog->nameFilters()});
            if (dialogScript_.empty()) {
                ADD_FAILURE() << "a save dialog opened that the test did not expect";
                dialog->reject();
                continue;
            }
            const DialogAnswer answer = dialogScript_.front();
            dialogScript_.pop_front();
            if (answer.what == DialogAnswer::Cancel) {
                dialog->reject();
                continue;
            }
            if (answer.what == DialogAnswer::Type && nameField != nullptr)
                nameField->setText(answer.name);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(widget)) {
            met_.emplace_back(box);
            boxes_.push_back({box->windowTitle().toStdString(), box->text().toStdString(),
                              box->standardButtons(), box->icon(), box->windowModality(),
                              box->parentWidget() != nullptr});
            BoxAnswer answer{box->defaultButton() != nullptr
                                 ? box->standardButton(box->defaultButton())
                                 : QMessageBox::Ok,
                             {}};
            if (!boxScript_.empty()) {
                answer = boxScript_.front();
                boxScript_.pop_front();
            }
            if (answer.meanwhile) answer.meanwhile();
            if (!answer.press) continue;
            const QMessageBox::StandardButton press = *answer.press;
            QTimer::singleShot(kPressAfterMs, box, [box, press] {
                if (QAbstractButton* button = box->button(press)) button->click();
            });
        }
    }
}

}  // namespace lanzhou::test
