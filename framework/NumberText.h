// Numbers read from text the user typed (dialog fields, the command line).
#pragma once

// Reads an int the way the C runtime's atoi does: leading white space, an
// optional sign, then decimal digits up to the first other character; no
// digits gives 0. Out-of-range values are clamped to INT_MIN / INT_MAX.
int AtoiLike(const char* text);
