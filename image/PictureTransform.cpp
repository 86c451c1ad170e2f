#include "image/PictureTransform.h"

#include "PixelTransform.h"

#include <initializer_list>

namespace {

int NormalizeRotation(int rotation)
{
    return ((rotation % 4) + 4) % 4;
}

PlgAxes AxesOf(TransformState t, SIZE stored)
{
    const SIZE shown = ShownSize(t, stored);
    POINT pts[3];
    TransformDestinationPoints(t.rotation, t.mirrored, shown.cx, shown.cy, pts);
    PlgAxes axes = {false, false, false};
    RECT bounds;
    GetPlgAxes(pts, &axes, &bounds);
    return axes;
}

} // namespace

void TransformDestinationPoints(int rotation, bool mirrored, int dw, int dh, POINT pts[3])
{
    // For each state, the corners the bitmap's upper-left, upper-right and
    // lower-left corners go to: {x is dw, y is dh} per point.
    static const bool kCorners[2][4][3][2] = {
        {
            // not mirrored
            {{false, false}, {true, false}, {false, true}}, // as stored
            {{true, false}, {true, true}, {false, false}},  // 90 clockwise
            {{true, true}, {false, true}, {true, false}},   // 180
            {{false, true}, {false, false}, {true, true}},  // 90 counter-clockwise
        },
        {
            // mirrored left-right first
            {{true, false}, {false, false}, {true, true}},
            {{true, true}, {true, false}, {false, true}},
            {{false, true}, {true, true}, {false, false}},
            {{false, false}, {false, true}, {true, false}},
        },
    };
    const auto& corners = kCorners[mirrored ? 1 : 0][NormalizeRotation(rotation)];
    for (int i = 0; i < 3; ++i) {
        pts[i].x = corners[i][0] ? dw : 0;
        pts[i].y = corners[i][1] ? dh : 0;
    }
}

TransformState RotateRightState(TransformState state)
{
    return TransformState{NormalizeRotation(state.rotation + 1), state.mirrored};
}

TransformState RotateLeftState(TransformState state)
{
    return TransformState{NormalizeRotation(state.rotation + 3), state.mirrored};
}

// A left-right flip of the screen picture: for a quarter turn that is the
// other quarter turn of the mirrored image.
TransformState FlipHorizontalState(TransformState state)
{
    int rotation = NormalizeRotation(state.rotation);
    if (rotation % 2 != 0)
        rotation ^= 2;
    return TransformState{rotation, !state.mirrored};
}

// A top-bottom flip of the screen picture: for an upright picture that is the
// mirrored image turned by 180 degrees.
TransformState FlipVerticalState(TransformState state)
{
    int rotation = NormalizeRotation(state.rotation);
    if (rotation % 2 == 0)
        rotation ^= 2;
    return TransformState{rotation, !state.mirrored};
}

TransformState ExifOrientationState(int orientation)
{
    // Mirrored (left-right) first, then turned clockwise.
    static const TransformState kStates[8] = {
        {0, false}, // 1 upright
        {0, true},  // 2 mirrored left-right
        {2, false}, // 3 turned 180 degrees
        {2, true},  // 4 mirrored top to bottom
        {3, true},  // 5 transposed
        {1, false}, // 6 turned clockwise
        {1, true},  // 7 transverse
        {3, false}, // 8 turned counter-clockwise
    };
    return orientation >= 1 && orientation <= 8 ? kStates[orientation - 1] : TransformState{0, false};
}

// A state shows turn(r) . mirror(m) of the stored picture. A mirror turns
// a rotation that comes before it the other way round, so then . first is
// turn(r2 -+ r1) . mirror(m2 xor m1).
TransformState Compose(TransformState first, TransformState then)
{
    const int r1 = NormalizeRotation(first.rotation);
    const int rotation = NormalizeRotation(then.rotation + (then.mirrored ? 4 - r1 : r1));
    return TransformState{rotation, first.mirrored != then.mirrored};
}

TransformState Inverse(TransformState t)
{
    for (int rotation = 0; rotation < 4; ++rotation) {
        for (bool mirrored : {false, true}) {
            const TransformState candidate = {rotation, mirrored};
            const TransformState both = Compose(t, candidate);
            if (both.rotation == 0 && !both.mirrored)
                return candidate;
        }
    }
    return TransformState{0, false};
}

SIZE ShownSize(TransformState t, SIZE stored)
{
    return NormalizeRotation(t.rotation) % 2 ? SIZE{stored.cy, stored.cx} : stored;
}

RECT StoredRectOf(TransformState t, SIZE stored, const RECT& shown)
{
    if (stored.cx <= 0 || stored.cy <= 0)
        return shown;
    return MapDestRectToSource(AxesOf(t, stored), stored.cx, stored.cy, shown);
}

void TransformPixelsBy(TransformState t, const void* src, int srcPitch, SIZE stored, void* dst, int dstPitch)
{
    if (stored.cx <= 0 || stored.cy <= 0)
        return;
    TransformPixels(src, srcPitch, stored.cx, stored.cy, dst, dstPitch, AxesOf(t, stored));
}
