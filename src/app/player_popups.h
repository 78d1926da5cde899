#pragma once
// What the pop-ups of the player (windows/popup_commands.h) see of the main
// window: the page area on the screen, the dialog font, the publication's
// pointer and pictures, and in a driven run the line sink and the queued
// answers.

#include "windows/popup_commands.h"

namespace tomeric {

class TWorkForm;

TPopUpHost MakePopUpHost(TWorkForm& form);

} // namespace tomeric
