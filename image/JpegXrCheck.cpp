#include "image/JpegXrCheck.h"

#include <cstdint>

#include "image/ByteReader.h"
#include "image/ImageFormat.h"

namespace {

constexpr std::uint32_t kTransformationTag = 0xBC02;
constexpr std::uint32_t kOrientations = 8;
constexpr std::size_t kEntrySize = 12;

// Bytes per value of the integer field types a transformation may have.
std::uint32_t IntegerSize(std::uint32_t type)
{
    switch (type) {
    case 1: return 1; // BYTE
    case 3: return 2; // SHORT
    case 4: return 4; // LONG
    default: return 0;
    }
}

// The forms the codec reads its descriptive fields in; any other asserts.
enum class FieldForm {
    Text,      // ASCII, ending in a zero byte
    WideText,  // BYTEs holding UTF-16, ending in a zero character
    OneShort,  // one SHORT
    TwoShorts, // two SHORTs
};

bool DescriptiveForm(std::uint32_t tag, FieldForm& form)
{
    switch (tag) {
    case 0x010D: // document name
    case 0x010E: // image description
    case 0x010F: // camera make
    case 0x0110: // camera model
    case 0x011D: // page name
    case 0x0131: // software
    case 0x0132: // date and time
    case 0x013B: // artist
    case 0x013C: // host computer
    case 0x8298: // copyright
        form = FieldForm::Text;
        return true;
    case 0x9C9B: // caption
        form = FieldForm::WideText;
        return true;
    case 0x4746: // rating stars
    case 0x4749: // rating value
        form = FieldForm::OneShort;
        return true;
    case 0x0129: // page number
        form = FieldForm::TwoShorts;
        return true;
    default: return false;
    }
}

// Whether the field at entry has the form the codec reads it in. Values of
// more than four bytes lie at an offset, which must lie inside the file.
bool HasForm(const ByteReader& d, std::uint64_t entry, FieldForm form)
{
    const std::uint32_t type = d.Le16(entry + 2);
    const std::uint64_t count = d.Le32(entry + 4);
    switch (form) {
    case FieldForm::OneShort: return type == 3 && count == 1;
    case FieldForm::TwoShorts: return type == 3 && count == 2;
    case FieldForm::Text:
    case FieldForm::WideText: {
        const bool bWide = form == FieldForm::WideText;
        if (type != (bWide ? 1u : 2u) || count == 0 || (bWide && count % 2 != 0))
            return false;
        const std::uint64_t value = count <= 4 ? entry + 8 : d.Le32(entry + 8);
        if (!d.Has(value, count))
            return false;
        return d.U8(value + count - 1) == 0 && (!bWide || d.U8(value + count - 2) == 0);
    }
    }
    return false;
}

} // namespace

bool HasUnsafeJpegXrContainer(const unsigned char* data, std::size_t size)
{
    if (DetectImageFormat(data, size) != ImageFormat::JpegXr)
        return false;
    const ByteReader d(data, size);
    const std::uint64_t directory = d.Le32(4);
    if (!d.Has(directory, 2))
        return false; // no directory: the codec refuses the file itself
    const std::uint32_t count = d.Le16(directory);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t entry = directory + 2 + std::uint64_t(i) * kEntrySize;
        if (!d.Has(entry, kEntrySize))
            break;
        FieldForm form;
        if (DescriptiveForm(d.Le16(entry), form)) {
            if (!HasForm(d, entry, form))
                return true;
            continue;
        }
        if (d.Le16(entry) != kTransformationTag)
            continue;
        const std::uint32_t valueSize = IntegerSize(d.Le16(entry + 2));
        if (valueSize == 0 || d.Le32(entry + 4) != 1)
            return true;
        // The codec takes the whole value field as the number, whatever the
        // type says: bytes beyond a BYTE or a SHORT count too.
        const std::uint32_t value = d.Le32(entry + 8);
        if (value >= kOrientations)
            return true;
    }
    return false;
}
