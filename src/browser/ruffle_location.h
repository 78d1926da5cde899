#pragma once
// Where the player finds Ruffle, the Flash Player emulator that plays the
// Flash objects' movies (its self-hosted web build: ruffle.js and its
// WebAssembly). In order: the folder named by the environment variable
// TOMERIC_RUFFLE_DIR when it is set (only that one, so it can also turn
// Ruffle off), the installed copy beside the program
// (<prefix>/share/tomeric-player/ruffle), and the copy in the build folder.

#include <QString>

namespace tomeric {

// The folder holding ruffle.js; empty when there is none.
QString RuffleFolder();

} // namespace tomeric
