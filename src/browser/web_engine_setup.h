#pragma once
// What Qt WebEngine needs before the QApplication exists: the embedded-file
// scheme "tomeric-ie" and the Flash objects' scheme "tomeric-flash"
// registered, shared GL contexts, and, when the player runs as root, the
// engine's sandbox turned off (it cannot start as root); that last one is
// said once on standard error when the first web page or Flash object
// starts the engine.

namespace tomeric {

void PrepareWebEngine();
// The first web page object is being made (the root notice goes out once).
void WebEngineStarting();

} // namespace tomeric
