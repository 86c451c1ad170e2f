#include "view/WheelSteps.h"

#include <cstddef>

#include "res/resource.h"
#include "view/ImageGeometry.h"

namespace {

// A value this close to a step counts as that step (a free zoom computed
// from whole pixels is rarely exact).
constexpr double kOnStep = 0.5;

constexpr int kZoomSteps[] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
constexpr int kAlphaSteps[] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100};

// The step `notches` steps away from value, as far as the steps go; 0 when
// not even one step lies that way.
template <std::size_t N> int StepAway(const int (&steps)[N], double value, int notches)
{
    int found = 0;
    for (; notches > 0; --notches) {
        int next = 0;
        for (int step : steps) {
            if (step > value + kOnStep) {
                next = step;
                break;
            }
        }
        if (next == 0)
            break;
        found = next;
        value = next;
    }
    for (; notches < 0; ++notches) {
        int next = 0;
        for (std::size_t i = N; i-- > 0;) {
            if (steps[i] < value - kOnStep) {
                next = steps[i];
                break;
            }
        }
        if (next == 0)
            break;
        found = next;
        value = next;
    }
    return found;
}

} // namespace

int TakeWheelNotches(int* pRemainder, int delta)
{
    if ((delta > 0 && *pRemainder < 0) || (delta < 0 && *pRemainder > 0))
        *pRemainder = 0;
    *pRemainder += delta;
    const int notches = *pRemainder / WHEEL_DELTA;
    *pRemainder -= notches * WHEEL_DELTA;
    return notches;
}

double DisplayedZoomPercent(int W, int H, int mode, int value, double freeZoom)
{
    if (mode == ZOOM_PERCENT)
        return value;
    if (mode == ZOOM_ANY)
        return freeZoom * 100.0;
    const SIZE zoomed = ComputeZoomedSize(W, H, mode, value, freeZoom);
    if (W > 0)
        return zoomed.cx * 100.0 / W;
    return 0.0;
}

UINT ZoomCommandForWheel(double percent, int notches)
{
    const int step = StepAway(kZoomSteps, percent, notches);
    return step ? static_cast<UINT>(ID_ZOOM_ANY + step / 10) : 0;
}

UINT AlphaCommandForWheel(int alpha, int notches)
{
    const int step = StepAway(kAlphaSteps, alpha, notches);
    if (step == 0)
        return 0;
    return step == 100 ? static_cast<UINT>(ID_ALPHA_NONE) : static_cast<UINT>(ID_ALPHA_BASE + step / 10);
}
