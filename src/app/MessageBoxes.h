#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

namespace ds {

// Everything a message box shows and how it may be closed.
struct MessageBoxRequest {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    QMessageBox::StandardButton escapeButton = QMessageBox::Ok;
};

// The one place where the program's message boxes are made, so that tests
// can answer them and read what they say without a person at the screen.
namespace MessageBoxes {

// Shows the box modally and returns the button that closed it. The box runs
// a nested event loop, so timers and network replies keep being served while
// it waits. An empty title shows the program's title.
QMessageBox::StandardButton show(QWidget* parent, const MessageBoxRequest& request);

// A box with the text, an OK button, no icon and the program's title.
void inform(QWidget* parent, const QString& text);

// While a hook is set it answers every box instead of a real one; an empty
// hook brings the real boxes back.
using Hook = std::function<QMessageBox::StandardButton(const MessageBoxRequest&)>;
void setHook(Hook hook);

} // namespace MessageBoxes
} // namespace ds
