#include "image/ImageHeader.h"

#include "image/DdsCheck.h"
#include "image/JpegXrCheck.h"
#include "image/MetafileCheck.h"

bool IsImageRefused(const unsigned char* data, std::size_t size)
{
    return IsImageTooLarge(data, size) || HasOffsetBeyondData(data, size) || HasUnsafeMetafileRecords(data, size) ||
           HasUnsafeJpegXrContainer(data, size) || HasUnsafeDdsHeader(data, size);
}
