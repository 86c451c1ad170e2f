// The eight axis-aligned transforms of a picture (quarter turns and
// mirrors): the state the view shows a picture in, the operations on it, the
// orientation a camera records, and where rectangles and pixels go. Free
// functions on points, rectangles and memory, tested without a window.
#pragma once

#include <windows.h>

// The parallelogram a dw x dh display takes the bitmap to: the images of the
// bitmap's upper-left, upper-right and lower-left corners, in that order.
// The picture is the image mirrored left-right (when mirrored), then turned
// clockwise by rotation quarter turns.
void TransformDestinationPoints(int rotation, bool mirrored, int dw, int dh, POINT pts[3]);

// A transform state and the four operations on it; each turns or flips the
// picture as seen on the screen.
struct TransformState {
    int rotation; // 0-3
    bool mirrored;
};
TransformState RotateRightState(TransformState state);
TransformState RotateLeftState(TransformState state);
TransformState FlipHorizontalState(TransformState state);
TransformState FlipVerticalState(TransformState state);

// The state that shows a picture stored with EXIF orientation 1..8 upright
// (tag 0x0112: 2 mirrored left-right, 3 turned 180 degrees, 4 mirrored top
// to bottom, 5 transposed, 6 to be turned clockwise, 7 transverse, 8 to be
// turned counter-clockwise); the identity for any other value.
TransformState ExifOrientationState(int orientation);

// The state that shows the picture `first` shows, with `then` applied to it
// as seen on the screen: Compose(ExifOrientationState(o), user) shows the
// upright picture with the user's own turns and mirror.
TransformState Compose(TransformState first, TransformState then);

// The state that undoes t: Compose(t, Inverse(t)) is the identity.
TransformState Inverse(TransformState t);

// A rectangle of the picture that t shows (coordinates of the shown
// picture), as it lies in the stored picture of size stored.
RECT StoredRectOf(TransformState t, SIZE stored, const RECT& shown);

// The size of the stored picture as t shows it (swapped for quarter turns).
SIZE ShownSize(TransformState t, SIZE stored);

// Moves the 32-bit pixels of a stored picture (top-down, pitch bytes a row)
// into dst as t shows them (ShownSize, rows dstPitch bytes apart).
void TransformPixelsBy(TransformState t, const void* src, int srcPitch, SIZE stored, void* dst, int dstPitch);
