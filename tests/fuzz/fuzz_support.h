#pragma once
// What every libFuzzer entry point of tests/fuzz shares: the Qt application
// object the readers expect, made once, and the input as a byte array.

#include <QByteArray>
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace tomeric::fuzz {

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The application object, created on the first input. `Application` is
// QCoreApplication for the headless readers, QGuiApplication (included by
// the target) for those that draw, offscreen, so no display is needed.
template <typename Application = QCoreApplication>
void EnsureApplication()
{
    static Application* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "tomeric_fuzz";
        static char* argv[] = {name, nullptr};
        return new Application(argc, argv);
    }();
    (void)app;
}

} // namespace tomeric::fuzz
