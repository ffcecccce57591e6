#pragma once
#include <memory>
#include <string>

#include "platform/Platform.h"

// Files and folders made and read through TPlatform, as the runs need them.

// The whole content of a file; raises EPlatformError when it cannot be read.
std::string ReadWholeFile(TPlatform& os, const std::string& path);

// A file made new for writing at path or, where that name is taken (by a
// leftover of an earlier run, or by anything planted there), at path + ".1",
// path + ".2" and so on: never a file that is there already, nor what a link
// at the name points to. The name it was made under goes into made. Raises
// the system's failure when no name is free or the folder takes no file.
std::unique_ptr<TFile> CreateNewFile(TPlatform& os, const std::string& path, std::string& made);

// Creates the folder and every missing parent, each level with protection;
// true when the folder exists afterwards. A path shorter than 3 characters
// (a bare drive) counts as made; a path that is its own folder part
// ("C:\x:") is never made.
bool ForceFolders(TPlatform& os, const std::string& path, TFolderProtection protection);
