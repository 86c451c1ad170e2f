#include "support/MetafileBytes.h"

namespace {

void Le16(MetafileBytes& b, std::uint32_t v)
{
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

void Le32(MetafileBytes& b, std::uint32_t v)
{
    Le16(b, v & 0xFFFF);
    Le16(b, v >> 16);
}

MetafileBytes Joined(const std::vector<MetafileBytes>& records, const MetafileBytes& eof)
{
    MetafileBytes body;
    for (const MetafileBytes& r : records)
        body.insert(body.end(), r.begin(), r.end());
    body.insert(body.end(), eof.begin(), eof.end());
    return body;
}

} // namespace

MetafileBytes EmfRecord(std::uint32_t type, std::initializer_list<std::uint32_t> params)
{
    MetafileBytes b;
    Le32(b, type);
    Le32(b, static_cast<std::uint32_t>(8 + 4 * params.size()));
    for (std::uint32_t p : params)
        Le32(b, p);
    return b;
}

MetafileBytes Emf(const std::vector<MetafileBytes>& records, std::uint32_t handles)
{
    const MetafileBytes body = Joined(records, EmfRecord(14, {0, 16, 20}));
    MetafileBytes b;
    for (std::uint32_t v : {1u, 88u, 0u, 0u, 39u, 29u, 0u, 0u, 1058u, 793u, 0x464D4520u, 0x10000u})
        Le32(b, v);
    Le32(b, static_cast<std::uint32_t>(88 + body.size()));
    Le32(b, static_cast<std::uint32_t>(records.size() + 2));
    Le16(b, handles);
    Le16(b, 0);
    for (std::uint32_t v : {0u, 0u, 0u, 1024u, 768u, 320u, 240u})
        Le32(b, v);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

MetafileBytes WmfRecord(std::uint32_t function, std::initializer_list<std::uint32_t> params)
{
    MetafileBytes b;
    Le32(b, static_cast<std::uint32_t>(3 + params.size()));
    Le16(b, function);
    for (std::uint32_t p : params)
        Le16(b, p);
    return b;
}

MetafileBytes Wmf(const std::vector<MetafileBytes>& records, std::uint32_t objects, bool placeable)
{
    const MetafileBytes body = Joined(records, WmfRecord(0, {}));
    MetafileBytes b;
    if (placeable) {
        // Key, handle, bounds 0,0-40,30 at 96 units per inch, reserved, checksum.
        const std::uint32_t words[] = {0xCDD7, 0x9AC6, 0, 0, 0, 40, 30, 96, 0, 0};
        std::uint32_t checksum = 0;
        for (std::uint32_t w : words) {
            Le16(b, w);
            checksum ^= w;
        }
        Le16(b, checksum);
    }
    Le16(b, 1);
    Le16(b, 9);
    Le16(b, 0x300);
    Le32(b, static_cast<std::uint32_t>((18 + body.size()) / 2));
    Le16(b, objects);
    Le32(b, 8);
    Le16(b, 0);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

const std::vector<MetafileBytes>& EmfShapes()
{
    static const std::vector<MetafileBytes> records = {
        EmfRecord(39, {1, 0, 0x3060C0, 0}), EmfRecord(37, {1}), EmfRecord(37, {0x80000007}),
        EmfRecord(43, {2, 2, 30, 20}),      EmfRecord(40, {1}),
    };
    return records;
}

const std::vector<MetafileBytes>& WmfShapes()
{
    static const std::vector<MetafileBytes> records = {
        WmfRecord(0x020C, {30, 40}), WmfRecord(0x02FC, {0, 0x60C0, 0x30, 0}),
        WmfRecord(0x012D, {0}),      WmfRecord(0x041B, {20, 30, 2, 2}),
        WmfRecord(0x01F0, {0}),
    };
    return records;
}

MetafileBytes With32(MetafileBytes bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
    return bytes;
}
