// The record structure of a metafile, checked before any player sees it.
//
// A metafile is a list of drawing records that the system plays back, and
// the players trust them (Wine's do): a record whose size does not move the
// player on (0 bytes, or a word count whose byte count wraps) makes it loop
// forever, and an object index beyond the metafile's object table reads and
// writes outside the table. Pictures with such records are refused.
//
// Pure byte reading, bounds-checked everywhere: no Windows calls.
#pragma once

#include <cstddef>

// True for an enhanced metafile (EMF) or a Windows metafile (WMF, with or
// without the placeable header) that a player must not be given:
//  - a header that is cut short, or whose total size (EMF nBytes, WMF
//    mtSize) reaches beyond the data;
//  - a record that does not lie within that size, or is shorter than a
//    record header (EMF: 8 bytes and a multiple of 4; WMF: 3 words), or too
//    short for the object index it carries;
//  - an object index at or beyond the header's object count (EMF nHandles,
//    WMF mtNoObjects); EMF stock objects (high bit set) may be selected.
// The records are read up to the end-of-file record. Anything else is false.
bool HasUnsafeMetafileRecords(const unsigned char* data, std::size_t size);
