// Averaging a picture into a thumbnail box as its rows come in, top to
// bottom, so that a picture read a band at a time never needs a bitmap of
// its whole size. Pure arithmetic, tested without a window.
#pragma once

#include <cstdint>
#include <vector>

class CBoxShrinker {
public:
    // A W x H picture of 24-bit (bytesPerPixel 3) or 32-bit (4) pixels, blue
    // first, into a w x h box of opaque 0xFFRRGGBB pixels (rows w pixels
    // apart). A box pixel covers the source columns [x * W / w, (x + 1) * W / w)
    // and rows likewise, at least one of each, so a box larger than the
    // picture repeats its pixels.
    CBoxShrinker(int W, int H, int nBytesPerPixel, std::uint32_t* pBox, int w, int h);

    // The next count rows of the picture, stride bytes apart; each box row
    // is written once the last row it covers has come.
    void AddRows(const std::uint8_t* pRows, long long nStride, int count);

private:
    // The box rows covering source row sy: [first, last), all covering the
    // same source rows (one box row when shrinking, the rows repeating one
    // source row when enlarging).
    int RowStart(int y) const;
    int RowEnd(int y) const;
    void AddRow(const std::uint8_t* pRow);
    void WriteBoxRows();

    int m_W, m_H, m_nBytesPerPixel;
    std::uint32_t* m_pBox;
    int m_w, m_h;
    std::vector<int> m_x0, m_x1;       // the column span of each box column
    std::vector<std::uint64_t> m_sums; // blue, green, red of each box column
    int m_nSourceRow = 0;              // the next source row to come
    int m_nBoxRow = 0;                 // the first box row not yet written
};
