// Small enhanced metafiles (EMF) and Windows metafiles (WMF) built record by
// record, for the tests of the metafile check and of the view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

using MetafileBytes = std::vector<unsigned char>;

// One EMF record: type, size, then the 32-bit parameters.
MetafileBytes EmfRecord(std::uint32_t type, std::initializer_list<std::uint32_t> params);
// The 88-byte header (a 40 x 30 picture, nHandles as given), the records and
// the end-of-file record.
MetafileBytes Emf(const std::vector<MetafileBytes>& records, std::uint32_t handles = 2);

// One WMF record: size in words, function, then the 16-bit parameters.
MetafileBytes WmfRecord(std::uint32_t function, std::initializer_list<std::uint32_t> params);
// The placeable header (when asked), the 9-word header (mtNoObjects as
// given), the records and the end-of-file record.
MetafileBytes Wmf(const std::vector<MetafileBytes>& records, std::uint32_t objects = 1, bool placeable = true);

// The records a small picture is drawn with: a brush made (object 1 of an
// EMF, 0 of a WMF), selected and used for a rectangle; the EMF also selects a
// stock pen; then the brush is deleted.
const std::vector<MetafileBytes>& EmfShapes();
const std::vector<MetafileBytes>& WmfShapes();
// Where the brush's SELECTOBJECT record starts in Emf(EmfShapes()) and in
// Wmf(WmfShapes()).
constexpr std::size_t kEmfSelectAt = 88 + 24;
constexpr std::size_t kWmfSelectAt = 22 + 18 + 10 + 14;

// A copy of bytes with the 32-bit little-endian value v at offset at.
MetafileBytes With32(MetafileBytes bytes, std::size_t at, std::uint32_t v);
