#pragma once
// The program entry of qxplay5: options, container discovery, the main
// window's creation and the event loop. Returns the exit status.

namespace tomeric {

int RunPlayer(int argc, char** argv);

} // namespace tomeric
