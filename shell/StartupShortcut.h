// Registering the current display in the user's Startup folder: a shortcut
// that starts the program at the next logon with the image and the option
// suffix "/left:top:zoom", which the command line reads back.
#pragma once

#include <windows.h>

#include <string>

// The shortcut's arguments: the image path and the suffix, in double quotes
// so that a path with blanks stays one argument.
std::string StartupShortcutArguments(const std::string& imagePath, int left, int top, int zoom);

// The shortcut's file name: "KEP", the image's file name (the path after its
// last backslash, the whole path when it has none) and ".lnk". One shortcut
// per image file name: registering another image of the same name replaces it.
std::string StartupShortcutFileName(const std::string& imagePath);

// Writes the shortcut for the image shown in a frame whose window rectangle
// is rcFrame, at zoom value nZoom. Silent on every failure.
void RegisterStartupShortcut(const std::string& imagePath, const RECT& rcFrame, int nZoom);
