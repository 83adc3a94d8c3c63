#include "ui/lookandfeel/TrueTypeFace.h"

namespace KA
{
namespace
{
    uint32_t readBigEndian (const uint8_t* p, int numBytes)
    {
        uint32_t value = 0;

        for (int i = 0; i < numBytes; ++i)
            value = (value << 8) | p[i];

        return value;
    }
} // namespace

bool clearTypographicMetricsFlag (juce::MemoryBlock& data)
{
    // The table directory: a 12-byte header (table count at 4), then 16-byte
    // records of tag, checksum, offset and length.
    auto* bytes = static_cast<uint8_t*> (data.getData());
    const auto size = data.getSize();

    if (size < 12)
        return false;

    const auto numTables = readBigEndian (bytes + 4, 2);

    for (size_t i = 0; i < numTables && 12 + 16 * (i + 1) <= size; ++i)
    {
        const auto* record = bytes + 12 + 16 * i;

        if (std::memcmp (record, "OS/2", 4) != 0)
            continue;

        const auto offset = (size_t) readBigEndian (record + 8, 4);
        const auto length = (size_t) readBigEndian (record + 12, 4);
        constexpr size_t fsSelection = 62;

        if (length < fsSelection + 2 || offset > size || size - offset < fsSelection + 2)
            return false;

        bytes[offset + fsSelection + 1] &= (uint8_t) ~0x80u;   // bit 7 of a big-endian 16-bit field
        return true;
    }

    return false;
}

juce::Typeface::Ptr createTrueTypeFace (const void* data, size_t size)
{
    juce::MemoryBlock copy (data, size);
    clearTypographicMetricsFlag (copy);
    return juce::Typeface::createSystemTypefaceFor (copy.getData(), copy.getSize());
}
} // namespace KA
