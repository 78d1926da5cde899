#pragma once
// One QApplication for the tests that need widgets, cursors or pixmaps.

#include <QApplication>

namespace tomeric::testing {

inline QApplication& GuiApplication()
{
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

} // namespace tomeric::testing
