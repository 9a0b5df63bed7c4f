#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lanzhou::test {

// Plays the person at the real window's save dialog and message boxes: while
// it lives, a timer looks every few milliseconds for a dialog or box that
// has opened (inside its own event loop) and answers it as scripted. Every
// box and dialog it meets is recorded.
class QtPerson : public QObject {
  public:
    struct SeenBox {
        std::string title;
        std::string text;  // as shown: lines end in "\n"
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
        Qt::WindowModality modality;
        bool owned;
    };
    struct SeenDialog {
        QString folder;  // where it opened
        QString name;    // the name it showed
        QStringList filters;
    };

    QtPerson();

    // The next dialogs: confirm with this name typed in (a full path), confirm
    // with the name it shows, or cancel.
    void typeAtNextDialog(const QString& name);
    void keepNameAtNextDialog();
    void cancelNextDialog();
    // The next box: `meanwhile` runs at once, `press` follows a little later.
    // A box without script gets its default button.
    void atNextBox(QMessageBox::StandardButton press, std::function<void()> meanwhile = {});
    // The next box is left alone until it closes itself.
    void leaveNextBox();

    const std::vector<SeenBox>& boxes() const { return boxes_; }
    const std::vector<SeenDialog>& dialogs() const { return dialogs_; }
    // Each box as "title: text".
    std::vector<std::string> messages() const;

  private:
    struct DialogAnswer {
        enum { Type, Keep, Cancel } what;
        QString name;
    };
    struct BoxAnswer {
        std::optional<QMessageBox::StandardButton> press;
        std::function<void()> meanwhile;
    };

    void look();
    bool seen(QWidget* widget) const;

    QTimer timer_;
    std::deque<DialogAnswer> dialogScript_;
    std::deque<BoxAnswer> boxScript_;
    std::vector<QPointer<QWidget>> met_;
    std::vector<SeenBox> boxes_;
    std::vector<SeenDialog> dialogs_;
};

}  // namespace lanzhou::test
