#pragma once
// Shared pieces of the dialog tests: one QApplication on the off-screen
// platform, and answering a modal dialog from inside its event loop.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tomeric::testing {

inline QApplication& DialogApplication()
{
    static int argc = 1;
    static char name[] = "test_windows";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Runs `act` on the modal dialog as soon as it is up (polling the event
// loop), so a test can click or press keys in a dialog shown with exec().
inline void WhenModal(std::function<void(QWidget&)> act, int attempts = 200)
{
    QTimer::singleShot(5, [act = std::move(act), attempts] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(*modal);
            return;
        }
        if (attempts > 0)
            WhenModal(act, attempts - 1);
    });
}

} // namespace tomeric::testing
