#pragma once
// The page that hosts Ruffle for a Flash object (tomeric-flash://player/
// player.html). It loads ruffle.js from the scheme and offers the engine a
// small controller, window.tomericFlash: load(config), play(), pause(),
// rewind(). What happens in the page (the movie ready or failing, a movie's
// fscommand calls) reaches the engine through the page's prompt() call,
// recognised by kRufflePromptMarker and answered by the engine.

#include <QByteArray>
#include <QString>

namespace tomeric {

inline constexpr char kRufflePromptMarker[] = "__tomeric_flash__:";

QByteArray RufflePlayerPage();

} // namespace tomeric
