#include "platform/qt/message_box.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

namespace lanzhou::platform::qt {

namespace {

QMessageBox::Icon qtIcon(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::None:
            return QMessageBox::NoIcon;
        case BoxIcon::Information:
            return QMessageBox::Information;
        case BoxIcon::Question:
            return QMessageBox::Question;
        case BoxIcon::Warning:
            return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(BoxButtons buttons) {
    switch (buttons) {
        case BoxButtons::Ok:
            return QMessageBox::Ok;
        case BoxButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case BoxButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
    }
    return QMessageBox::Ok;
}

BoxResult defaultAnswer(BoxButtons buttons) {
    return buttons == BoxButtons::YesNo ? BoxResult::Yes : BoxResult::Ok;
}

// What closing the box without a button means: OK where it is the only one.
BoxResult closedAnswer(BoxButtons buttons) {
    switch (buttons) {
        case BoxButtons::Ok:
            return BoxResult::Ok;
        case BoxButtons::OkCancel:
            return BoxResult::Cancel;
        case BoxButtons::YesNo:
            return BoxResult::No;
    }
    return BoxResult::Ok;
}

BoxResult answerOf(QMessageBox::StandardButton pressed, BoxButtons buttons) {
    switch (pressed) {
        case QMessageBox::Ok:
            return BoxResult::Ok;
        case QMessageBox::Cancel:
            return BoxResult::Cancel;
        case QMessageBox::Yes:
            return BoxResult::Yes;
        case QMessageBox::No:
            return BoxResult::No;
        default:
            return closedAnswer(buttons);
    }
}

}  // namespace

QString displayedText(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

BoxResult runMessageBox(const MessageBox& request, bool answerItself) {
    if (answerItself) {
        std::printf("%s\n%s\n", request.title.c_str(), request.text.c_str());
        std::fflush(stdout);
        return defaultAnswer(request.buttons);
    }
    QMessageBox box(qtIcon(request.icon), QString::fromStdString(request.title),
                    displayedText(request.text), qtButtons(request.buttons));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(request.buttons == BoxButtons::YesNo ? QMessageBox::Yes : QMessageBox::Ok);
    box.setWindowModality(request.taskModal ? Qt::ApplicationModal : Qt::NonModal);

    bool timedOut = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &box, [&] {
        timedOut = true;
        box.done(0);
    });
    QEventLoop loop;
    QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
    box.show();
    if (request.timeoutMs > 0) timer.start(request.timeoutMs);
    loop.exec();

    if (timedOut) return BoxResult::TimedOut;
    return answerOf(box.standardButton(box.clickedButton()), request.buttons);
}

}  // namespace lanzhou::platform::qt
