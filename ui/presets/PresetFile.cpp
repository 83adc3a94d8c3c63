#include "ui/presets/PresetFile.h"

#include "engine/xml/GuardedXml.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace KA
{
std::unique_ptr<juce::XmlElement> readPresetDocument (const juce::File& file, const juce::String& rootTag)
{
    if (! file.existsAsFile() || file.getSize() > maxPresetFileBytes)
        return {};

    juce::MemoryBlock bytes;

    if (! file.loadFileAsData (bytes) || bytes.getSize() == 0 || (juce::int64) bytes.getSize() > maxPresetFileBytes)
        return {};

    return GuardedXml::parse (static_cast<const char*> (bytes.getData()), bytes.getSize(), GuardedXml::Shape::state, rootTag);
}

namespace
{
    bool flushToDisk (const juce::File& file)
    {
        const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY);

        if (fd < 0)
            return false;

        const auto synced = ::fsync (fd) == 0;
        ::close (fd);
        return synced;
    }
}

juce::Result writePresetDocument (const juce::XmlElement& document, const juce::File& target)
{
    if (target.isDirectory())
        return juce::Result::fail ("a folder has the preset's name");

    const auto folder = target.getParentDirectory();

    if (! folder.isDirectory())
        return juce::Result::fail ("the folder is missing");

    // Hidden and without the preset extension, so no scan lists it.
    const auto temporary = folder.getNonexistentChildFile ("." + target.getFileName(), ".tmp", false);
    bool written = false;

    {
        juce::FileOutputStream out (temporary);

        if (out.openedOk())
        {
            document.writeTo (out, {});
            out.flush();
            written = out.getStatus().wasOk();
        }
    }

    if (written && flushToDisk (temporary)
        && std::rename (temporary.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) == 0)
        return juce::Result::ok();

    temporary.deleteFile();
    return juce::Result::fail ("the file could not be written");
}
} // namespace KA
