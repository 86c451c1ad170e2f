#include "history/CBoxShrinker.h"

#include <algorithm>

CBoxShrinker::CBoxShrinker(int W, int H, int nBytesPerPixel, std::uint32_t* pBox, int w, int h)
    : m_W(W), m_H(H), m_nBytesPerPixel(nBytesPerPixel), m_pBox(pBox), m_w(w), m_h(h),
      m_x0(static_cast<size_t>(std::max(w, 0))), m_x1(static_cast<size_t>(std::max(w, 0))),
      m_sums(static_cast<size_t>(std::max(w, 0)) * 3)
{
    for (int x = 0; x < w; ++x) {
        m_x0[x] = static_cast<int>(static_cast<long long>(x) * W / w);
        m_x1[x] = std::max(m_x0[x] + 1, static_cast<int>(static_cast<long long>(x + 1) * W / w));
    }
}

int CBoxShrinker::RowStart(int y) const
{
    return static_cast<int>(static_cast<long long>(y) * m_H / m_h);
}

int CBoxShrinker::RowEnd(int y) const
{
    return std::max(RowStart(y) + 1, static_cast<int>(static_cast<long long>(y + 1) * m_H / m_h));
}

void CBoxShrinker::AddRows(const std::uint8_t* pRows, long long nStride, int count)
{
    for (int i = 0; i < count && m_nSourceRow < m_H; ++i) {
        AddRow(pRows + i * nStride);
        ++m_nSourceRow;
        if (m_nBoxRow < m_h && RowEnd(m_nBoxRow) == m_nSourceRow)
            WriteBoxRows();
    }
}

void CBoxShrinker::AddRow(const std::uint8_t* pRow)
{
    for (int x = 0; x < m_w; ++x) {
        std::uint64_t b = 0, g = 0, r = 0;
        for (const std::uint8_t *p = pRow + static_cast<long long>(m_x0[x]) * m_nBytesPerPixel,
                                *end = pRow + static_cast<long long>(m_x1[x]) * m_nBytesPerPixel;
             p < end; p += m_nBytesPerPixel) {
            b += p[0];
            g += p[1];
            r += p[2];
        }
        m_sums[x * 3] += b;
        m_sums[x * 3 + 1] += g;
        m_sums[x * 3 + 2] += r;
    }
}

// Every box row covering exactly the rows summed takes their mean; the sums
// start again for the next rows.
void CBoxShrinker::WriteBoxRows()
{
    const int y0 = RowStart(m_nBoxRow);
    const int y1 = RowEnd(m_nBoxRow);
    std::uint32_t* pFirst = m_pBox + static_cast<size_t>(m_nBoxRow) * m_w;
    for (int x = 0; x < m_w; ++x) {
        const std::uint64_t n = static_cast<std::uint64_t>(m_x1[x] - m_x0[x]) * static_cast<std::uint64_t>(y1 - y0);
        const auto mean = [&](int c) { return static_cast<std::uint32_t>((m_sums[x * 3 + c] + n / 2) / n); };
        pFirst[x] = 0xFF000000u | (mean(2) << 16) | (mean(1) << 8) | mean(0);
    }
    for (++m_nBoxRow; m_nBoxRow < m_h && RowStart(m_nBoxRow) == y0; ++m_nBoxRow)
        std::copy(pFirst, pFirst + m_w, m_pBox + static_cast<size_t>(m_nBoxRow) * m_w);
    std::fill(m_sums.begin(), m_sums.end(), 0);
}
