#pragma once
// The shared setup state of the running program.

#include "install/SetupState.h"

class TFormMain;

extern TSetupState Setup;

// Creates the fourteen wizard pages in their order and hands each to the main
// window's AddPage; the window is their host.
void CreatePages(TFormMain& form);
