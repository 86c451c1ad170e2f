// The order of the step keys: the file types, the natural order, the place
// of the shown picture and the wrap at both ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/PictureTypes.h"
#include "view/FolderStepping.h"

namespace {

using Names = std::vector<std::wstring>;

TEST(FolderStepping, TheOpenFilterListsItsThirteenExtensionsAndNotTheCatchAll)
{
    const std::vector<std::string> expected = {"bmp", "dib",  "rle", "jpg", "jpeg", "jpe", "png",
                                               "tif", "tiff", "gif", "emf", "wmf",  "ico"};
    EXPECT_EQ(ExtensionsOfFilter(kOpenFilter), expected);
    EXPECT_EQ(ExtensionsOfFilter("All (*.*)|*.*||"), std::vector<std::string>());
    EXPECT_EQ(ExtensionsOfFilter("X|*.PNG;*.a.b||"), (std::vector<std::string>{"png", "a.b"}));
}

TEST(FolderStepping, OnlyListedExtensionsWithLettersFolded)
{
    const std::vector<std::string> extensions = ExtensionsOfFilter(kOpenFilter);
    const struct {
        const wchar_t* name;
        bool listed;
    } cases[] = {{L"a.jpg", true},         {L"A.JPEG", true},
                 {L"caf\u00e9.Png", true}, {L"x.tiff", true},
                 {L"x.txt", false},        {L"png", false},
                 {L"x.png.txt", false},    {L"x.pngx", false},
                 {L"x.", false},           {L"archive.tif.bak", false},
                 {L".ico", true}};
    for (const auto& c : cases)
        EXPECT_EQ(HasListedExtension(c.name, extensions), c.listed) << std::string(c.name, c.name + wcslen(c.name));
}

TEST(FolderStepping, NaturalOrderPutsNineBeforeTenAndFoldsCaseWithAFixedTieBreak)
{
    Names names = {L"img10.png",    L"img9.png", L"IMG2.png", L"img1.png", L"b.png",
                   L"img1.png.png", L"a10b.png", L"a9b.png",  L"Img2.png"};
    SortNaturally(names);
    const Names expected = {L"a9b.png",  L"a10b.png", L"b.png",    L"img1.png", L"img1.png.png",
                            L"IMG2.png", L"Img2.png", L"img9.png", L"img10.png"};
    EXPECT_EQ(names, expected);
}

TEST(FolderStepping, PlaceOfTheShownPictureListedFoldedOrWhereItWouldStand)
{
    const Names sorted = {L"img1.png", L"img2.png", L"img9.png", L"img10.png"};
    const struct {
        const wchar_t* name;
        int index;
        bool listed;
    } cases[] = {{L"img9.png", 2, true}, {L"IMG10.PNG", 3, true},  {L"img5.png", 2, false},
                 {L"a.png", 0, false},   {L"img11.png", 4, false}, {L"img9.txt", 3, false}};
    for (const auto& c : cases) {
        const StepPosition pos = PositionInList(sorted, c.name);
        EXPECT_EQ(pos.index, c.index) << std::string(c.name, c.name + wcslen(c.name));
        EXPECT_EQ(pos.listed, c.listed) << std::string(c.name, c.name + wcslen(c.name));
    }
}

TEST(FolderStepping, StepsWrapAroundAtBothEndsFromListedAndUnlistedPlaces)
{
    const struct {
        StepPosition pos;
        int count;
        StepKind kind;
        int target;
    } cases[] = {
        {{0, true}, 4, StepKind::Next, 1},
        {{3, true}, 4, StepKind::Next, 0},
        {{0, true}, 4, StepKind::Previous, 3},
        {{2, true}, 4, StepKind::Previous, 1},
        {{2, true}, 4, StepKind::First, 0},
        {{0, true}, 4, StepKind::Last, 3},
        {{0, true}, 1, StepKind::Next, 0},
        {{0, true}, 1, StepKind::Previous, 0},
        // Not listed: the name stands just before index.
        {{2, false}, 4, StepKind::Next, 2},
        {{2, false}, 4, StepKind::Previous, 1},
        {{4, false}, 4, StepKind::Next, 0},
        {{0, false}, 4, StepKind::Previous, 3},
        {{0, false}, 0, StepKind::Next, -1},
        {{0, false}, 0, StepKind::First, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StepTarget(c.pos, c.count, c.kind), c.target)
            << "from " << c.pos.index << (c.pos.listed ? "" : " (unlisted)") << " of " << c.count << ", kind "
            << static_cast<int>(c.kind);
}

} // namespace
