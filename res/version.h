// The version of KEP, read by the resource script (the version resource),
// by the tests and by tools/release.sh (the name of the zip). The manifest
// (kep.manifest) carries the same four numbers in its assemblyIdentity.
// clang-format off
#ifndef KEP_VERSION_H
#define KEP_VERSION_H

#define KEP_VERSION_MAJOR       1
#define KEP_VERSION_MINOR       0
#define KEP_VERSION_PATCH       0
#define KEP_VERSION_TEXT        "1.0.0"

#endif
