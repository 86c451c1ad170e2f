// The view's one block transfer through a rotation and mirror.
//
// PlgBlt under Wine gets seven of the eight axis-aligned transforms wrong
// (quarter turns come out stretched, 180 degrees and the mirror one pixel
// off) and still returns TRUE. ParallelogramBlt calls the real PlgBlt on
// Windows; under Wine it reads the source, moves the pixels itself
// (PixelTransform.h) and puts them on the destination in one
// SetDIBitsToDevice, pixel for pixel what Windows paints.
#pragma once

#include <windows.h>

// PlgBlt without mask: copies the width x height rectangle at (xSrc, ySrc)
// of hdcSrc onto the parallelogram pts of hdcDest. Under Wine an axis-
// aligned transfer of the same size is done here, touching only what the
// destination's clipping lets through (for a picture larger than the screen,
// the visible part); a scaled one is moved here and then stretched; anything
// else goes to the system's PlgBlt. Scratch buffers are kept per thread
// between calls.
BOOL ParallelogramBlt(HDC hdcDest, const POINT pts[3], HDC hdcSrc, int xSrc, int ySrc, int width, int height);
