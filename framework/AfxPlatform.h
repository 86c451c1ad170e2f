// What the program runs on, where that makes a difference.
#pragma once

#include <windows.h>

// TRUE when the program runs under Wine (ntdll exports wine_get_version).
// Looked up once. Only the framework's stand-ins for what Wine gets wrong
// ask it.
BOOL AfxIsRunningOnWine();
