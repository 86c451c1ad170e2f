// Metafiles with ellipses far larger than the window.
//
// Wine's GDI works out an ellipse (and the corners of a rounded rectangle)
// over its whole size before any clipping, in time and memory that grow with
// it: a 40 x 30 picture with an ellipse 16 million units wide, or any ellipse
// at a zoom of a few thousand percent, keeps the window busy for minutes.
// Rectangles, polygons, arcs and curves are clipped first and cost little.
// Text fares the same under a mapping that stretches one way hundreds of
// times more than the other (a picture 40 units wide and 30 high shown
// 40 x 32798 pixels): its glyphs take minutes and gigabytes to render.
#pragma once

#include <windows.h>

#include <cstddef>

// Ellipses may be this many pixels wide or high on the device; beyond that
// they are left out of the picture.
constexpr double kMaxEllipsePixels = 1 << 16;
// Text may be stretched this many times more one way than the other; beyond
// that it is left out of the picture.
constexpr double kMaxTextStretch = 64;

// When an EMF or placeable WMF that holds GDI records only would draw an
// ellipse larger than kMaxEllipsePixels, or text stretched beyond
// kMaxTextStretch, into dest, draws it there on hdc with those ellipses and
// that text left out, and returns true. Returns false, having drawn
// nothing, for every other picture (the decoders then draw it as usual).
// Each ellipse is measured where the metafile's own mapping puts it.
// The records must have passed HasUnsafeMetafileRecords first.
bool DrawMetafileWithoutHugeEllipses(HDC hdc, const unsigned char* data, std::size_t size, const RECT& dest);
