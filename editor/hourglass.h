// The editor's mouse pointer rule: remember the pointer, show the hourglass while data is
// read or written, and put the remembered pointer back on every path.
#pragma once

#include <QGuiApplication>

class Hourglass {
public:
    Hourglass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QGuiApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass &) = delete;
    Hourglass &operator=(const Hourglass &) = delete;
    // The default pointer until the scope ends (while a modal form is up).
    void ShowDefault() { QGuiApplication::changeOverrideCursor(Qt::ArrowCursor); }
};
