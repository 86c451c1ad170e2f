// How far a metafile's shapes reach beyond its own picture.
//
// Wine's GDI works out an ellipse, an arc, a polygon or a curve over its
// whole size before any clipping, in time and memory that grow with it: a
// 40 x 30 picture with an ellipse 16 million units wide keeps the window busy
// for minutes at a small zoom. Such pictures are refused; shapes that reach
// a little beyond the picture (and are clipped) are ordinary.
#pragma once

#include <cstddef>

// Shapes may reach this many times the picture's own width or height.
constexpr double kMaxShapeToPictureRatio = 64.0;

// True when an EMF or placeable WMF holds a shape (a box, arc, ellipse,
// rectangle, polygon, polyline or curve) whose size on the device is more than
// kMaxShapeToPictureRatio times the picture's. The metafile is played onto a
// memory DC with its coordinate mapping and nothing else, and each shape is
// measured where the mapping puts it. Any other data is false.
// The records must have passed HasUnsafeMetafileRecords first.
bool HasShapesFarBeyondPicture(const unsigned char* data, std::size_t size);
