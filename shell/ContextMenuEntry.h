// The verb "KEPで画像を開く" on the Explorer context menu of every file: the
// keys "*\shell\KEP" and "*\shell\KEP\command" under HKEY_CLASSES_ROOT. Every
// operation is silent: what it could not do shows only in
// ContextMenuEntryExists.
#pragma once

#include <windows.h>

#include <string>

// The verb's menu text, the default value of "*\shell\KEP".
extern const char kContextMenuVerbText[];

// The default value of the "command" key: the quoted executable path, a blank
// and the quoted "%1" that the shell replaces with the file's path.
std::string ContextMenuCommandText(const std::string& exePath);

// TRUE while the key "*\shell\KEP" exists and can be read (its "command"
// subkey is not looked at). An entry this user may read but not change is
// still on the menu, so it counts.
BOOL ContextMenuEntryExists();

// Creates or overwrites the two keys and their values; always 0. When a key
// or value cannot be written, the keys this call created are removed again,
// so a failed attempt leaves no verb without its command.
int CreateContextMenuEntry();

// Deletes "*\shell\KEP\command", then "*\shell\KEP" ("*\shell" stays);
// always 0. A key with other subkeys, or one this user may not delete, stays.
int DeleteContextMenuEntry();
