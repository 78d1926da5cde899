#include "app/x11_pointer.h"

#include <QGuiApplication>

#ifdef TOMERIC_HAVE_XTEST
// The X headers define macros (Bool, None, Status) that clash with Qt's
// names: they come last, in this file alone.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#endif

namespace tomeric {

bool ClickThroughXTest(const std::function<void()>& hold)
{
#ifdef TOMERIC_HAVE_XTEST
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!display || !XTestQueryExtension(display, &event, &error, &major, &minor))
        return false;
    constexpr unsigned kLeftButton = 1;
    XTestFakeButtonEvent(display, kLeftButton, True, CurrentTime);
    XFlush(display);
    hold();
    XTestFakeButtonEvent(display, kLeftButton, False, CurrentTime);
    XFlush(display);
    return true;
#else
    (void)hold;
    return false;
#endif
}

} // namespace tomeric
