#pragma once
// SendMenuCommand on other programs: their menus as the accessibility bus
// (AT-SPI over D-Bus) shows them. The program's application is found on
// that bus by its process (or, failing that, by the title of its window),
// its menu bar is walked along the menu path, and the last item found is
// invoked through its accessible action, as a menu command would be.
//
// GTK programs are on the bus by default; Qt programs when accessibility
// is on (the programs the player starts have it on). Without a session
// bus, without at-spi2-core, or for programs that are not on the bus, the
// program has no menu as far as the player can tell.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace tomeric {

class TAtSpiMenus {
public:
    enum class TOutcome {
        oChosen,      // every step was found; the item was invoked
        oFirstAbsent, // the first item is not in the menu bar: nothing is done
        oNoMenu,      // the program shows no menu bar
        oStepAbsent,  // an item after the first is not in its menu
    };

    TAtSpiMenus();
    ~TAtSpiMenus();

    // Follows `path` ("Fichier,Ouvrir", positions from 1 allowed) in the
    // menu bar of the program `processId` or of the window titled
    // `windowTitle`; `raise` brings the program forward before the item is
    // invoked.
    TOutcome Choose(int64_t processId, const QString& windowTitle, const QString& path,
                    const std::function<void()>& raise);

    // A caption as a menu path step is compared with it: cut at the first
    // tab, without "&" and without "..." (or "…"), trimmed.
    static QString CaptionKey(QString caption);

private:
    struct TBus;
    std::unique_ptr<TBus> bus_;
};

} // namespace tomeric
