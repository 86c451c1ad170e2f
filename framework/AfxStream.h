// A stream over a global memory block for the decoders.
//
// Under Wine the system's stream over a global block, moved beyond the end of
// its data, reads memory that is not its own: a few bytes past the end come
// back as stray data, far past it the process faults. A decoder seeks
// wherever a damaged picture's offsets say. So under Wine the system's stream
// is wrapped in one whose reads stop at the end of the data, as they do on
// Windows; on Windows the system's stream is used as it is.
#pragma once

#include <windows.h>
#include <objidl.h>

// CreateStreamOnHGlobal, with reads that never go beyond the data.
HRESULT AfxCreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, IStream** ppStream);

// Wraps pInner (taking over the caller's reference) in a stream whose reads
// stop at the end of the data; what the platform stand-in does under Wine.
// Without memory for the wrapper, pInner itself comes back.
IStream* AfxWrapBoundedReadStream(IStream* pInner);
