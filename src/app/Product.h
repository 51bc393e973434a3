#pragma once

#include <QIcon>
#include <QString>

namespace ds {

// What the program calls itself: the window title doubles as the title of
// every message box that has no title of its own.
QString productTitle();

// The program icon with its 48, 32, 24 and 16 pixel images.
QIcon programIcon();

} // namespace ds
