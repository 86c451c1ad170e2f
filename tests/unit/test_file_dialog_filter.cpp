// The File Open filter, kept as ANSI text, as the UTF-16 dialog receives it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CFileDialog.h"
#include "image/PictureTypes.h"

namespace {

// The NUL-ended parts of a dialog filter, up to its closing empty part.
std::vector<std::wstring> PartsOf(const std::wstring& filter)
{
    std::vector<std::wstring> parts;
    for (std::size_t start = 0; start < filter.size();) {
        const std::size_t end = filter.find(L'\0', start);
        if (end == std::wstring::npos || end == start)
            break;
        parts.push_back(filter.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

TEST(FileDialogFilter, TheOpenFilterKeepsItsNinePairsAndItsJapaneseTexts)
{
    const std::wstring filter = DialogFilterOfAnsi(kOpenFilter);
    ASSERT_GE(filter.size(), 2u);
    EXPECT_EQ(filter.substr(filter.size() - 2), std::wstring(2, L'\0'));
    const std::vector<std::wstring> parts = PartsOf(filter);
    ASSERT_EQ(parts.size(), 18u);
    EXPECT_EQ(parts[0], L"BMPファイル (*.bmp;*.dib;*.rle)");
    EXPECT_EQ(parts[1], L"*.bmp;*.dib;*.rle");
    EXPECT_EQ(parts[6], L"TIFFファイル(*.tif;*.tiff)");
    EXPECT_EQ(parts[16], L"すべてのファイル (*.*)");
    EXPECT_EQ(parts[17], L"*.*");
}

TEST(FileDialogFilter, AFilterWithoutItsClosingBarsIsClosedAndNoFilterStaysEmpty)
{
    EXPECT_EQ(DialogFilterOfAnsi("All|*.*"), std::wstring(L"All\0*.*\0\0", 9));
    EXPECT_EQ(DialogFilterOfAnsi(nullptr), std::wstring());
    EXPECT_EQ(DialogFilterOfAnsi(""), std::wstring());
}

TEST(FileDialogFilter, AllPicturesComeFirstThenTheClassicFilters)
{
    const std::vector<std::wstring> parts =
        PartsOf(DialogFilterOfAnsi(AllPicturesFilter({"bmp", "dds", "jpg"}).c_str()));
    ASSERT_EQ(parts.size(), 20u);
    EXPECT_EQ(parts[0], L"すべての画像 (*.bmp;*.dds;*.jpg)");
    EXPECT_EQ(parts[1], L"*.bmp;*.dds;*.jpg");
    EXPECT_EQ(parts[2], L"BMPファイル (*.bmp;*.dib;*.rle)");
    EXPECT_EQ(parts[19], L"*.*");
}

TEST(FileDialogFilter, DecoderListsMergeIntoOneSortedSetOfExtensions)
{
    const std::vector<std::wstring> lists = {L"*.BMP;*.DIB;*.RLE", L".jpg,.jpeg,.jfif", L" .dds ", L"*.JPG",
                                             L".bad ext,.\u00e9,*.*,,.a.b"};
    const std::vector<std::string> expected = {"bmp", "dds", "dib", "jfif", "jpe", "jpeg", "jpg", "rle"};
    EXPECT_EQ(MergeExtensions(lists, {"jpe"}), expected);
}

} // namespace
