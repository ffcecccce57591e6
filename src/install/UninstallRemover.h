#pragma once
#include <string>
#include <vector>

#include "install/UninstallPlan.h"
#include "platform/Platform.h"

// The uninstaller's removal of what a plan names, and its closing message.

// Carries out the steps and returns what is still there, one line per item.
// What is already gone counts as removed. A folder is opened as itself and
// everything in it goes through its handle, so that a folder swapped for a
// link meanwhile redirects nothing: a folder that is a link, or that is no
// longer where its path says, is not entered. Links (reparse points) inside
// a folder are removed themselves, never what they lead to.
std::vector<std::string> CarryOut(TPlatform& os, const TUninstallPlan& plan);

// The closing message: what stayed and which lines were left alone, the
// first 20 of each and then how many more; empty when there is nothing to
// report.
std::string UninstallReport(const TUninstallPlan& plan, const std::vector<std::string>& stayed);
