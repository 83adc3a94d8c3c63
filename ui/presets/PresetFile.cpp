#include "ui/presets/PresetFile.h"

#include "engine/files/RegularFileReader.h"
#include "engine/xml/GuardedXml.h"
#include "ui/dialogs/FolderConfinement.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace KA
{
namespace
{
    juce::String describe (FileReadFailure failure)
    {
        switch (failure)
        {
            case FileReadFailure::none:       break;
            case FileReadFailure::missing:    return "The file is missing.";
            case FileReadFailure::notRegular: return "It is not a regular file.";
            case FileReadFailure::tooLarge:   return "The file is too large to be a preset.";
            case FileReadFailure::unreadable: return "The file can't be read.";
        }

        return {};
    }

    juce::String describe (GuardedXml::Refusal refusal)
    {
        switch (refusal)
        {
            case GuardedXml::Refusal::none:              break;
            case GuardedXml::Refusal::damaged:           return "The file is damaged.";
            case GuardedXml::Refusal::otherEncoding:     return "The file is in another encoding than UTF-8.";
            case GuardedXml::Refusal::unexpectedContent: return "The file holds what presets never hold.";
            case GuardedXml::Refusal::wrongShape:        return "The file is not a preset of this product.";
            case GuardedXml::Refusal::tooLarge:          return "The file is too large to be a preset.";
        }

        return {};
    }

    juce::Result failWith (int error)
    {
        switch (error)
        {
            case ENOENT:
            case ENOTDIR: return juce::Result::fail ("The folder is missing.");
            case EACCES:
            case EPERM:
            case EROFS:   return juce::Result::fail ("The folder is read-only.");
            case ENOSPC:
            case EDQUOT:  return juce::Result::fail ("The disk is full.");
            case ENAMETOOLONG: return juce::Result::fail ("The name is too long.");
            default:      return juce::Result::fail ("The file could not be written.");
        }
    }

    const juce::String temporarySuffix (".tmp");

    /** The most bytes a file name may have in the folder: its own file system says
        (NAME_MAX where the folder can't be asked). */
    size_t longestName (const juce::File& folder)
    {
        const auto limit = ::pathconf (folder.getFullPathName().toRawUTF8(), _PC_NAME_MAX);
        return (size_t) (limit > 0 ? limit : NAME_MAX);
    }

    /** ".NAME.xml.tmp", or ".NAME.xml2.tmp" and so on. A preset whose own name nearly
        fills the limit gets its NAME cut to fit: a name taken by another preset's
        temporary file is stepped around like any other. */
    juce::File temporaryName (const juce::File& target, size_t limit, int attempt)
    {
        const auto ending = target.getFileExtension() + (attempt > 1 ? juce::String (attempt) : juce::String()) + temporarySuffix;
        auto name = target.getFileNameWithoutExtension();

        while (name.isNotEmpty() && ("." + name + ending).getNumBytesAsUTF8() > limit)
            name = name.dropLastCharacters (1);

        return target.getSiblingFile ("." + name + ending);
    }

    /** Creates a new hidden temporary file beside the target, under the first of its
        names not taken (by anything, a link to nowhere included). */
    int createTemporary (const juce::File& target, size_t nameLimit, mode_t mode, juce::File& temporary)
    {
        for (int attempt = 1; attempt <= 100; ++attempt)
        {
            temporary = temporaryName (target, nameLimit, attempt);
            const auto fd = ::open (temporary.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);

            if (fd >= 0 || errno != EEXIST)
                return fd;
        }

        return -1;
    }

    // Written before the rename, so the new file is whole and on disk when it replaces the old
    // one. A file this call did not create is never removed: the name may be another save's.
    juce::Result writeAll (const juce::File& target, size_t nameLimit, const juce::MemoryBlock& bytes, const struct stat* keep,
                           juce::File& temporary)
    {
        // Private until it has the mode the user gave the preset, which may be narrower.
        const auto fd = createTemporary (target, nameLimit, keep != nullptr ? 0600 : 0644, temporary);

        if (fd < 0)
            return failWith (errno);

        const auto path = temporary.getFullPathName().toRawUTF8();

        auto error = 0;

        // The mode as the user left it (the umask may narrow what open gives), and for root,
        // who can write anyone's presets, the owner too, so the file stays the user's.
        if (keep != nullptr)
        {
            if (::fchmod (fd, keep->st_mode & 07777) != 0)
                error = errno;
            else if (::geteuid() == 0 && ::fchown (fd, keep->st_uid, keep->st_gid) != 0)
                error = errno;
        }

        const auto* data = static_cast<const char*> (bytes.getData());

        for (size_t done = 0; done < bytes.getSize() && error == 0;)
        {
            const auto n = ::write (fd, data + done, bytes.getSize() - done);

            if (n >= 0)
                done += (size_t) n;
            else if (errno != EINTR)
                error = errno;
        }

        if (error == 0 && ::fsync (fd) != 0)
            error = errno;

        if (::close (fd) != 0 && error == 0)
            error = errno;

        if (error == 0)
            return juce::Result::ok();

        ::unlink (path);
        return failWith (error);
    }
} // namespace

std::unique_ptr<juce::XmlElement> readPresetDocument (const juce::File& file, const juce::String& rootTag, juce::String* whyNot)
{
    juce::String reason;
    std::unique_ptr<juce::XmlElement> document;
    const auto read = readRegularFile (file, maxPresetFileBytes);

    if (! read.wasOk())
    {
        reason = describe (read.failure);
    }
    else
    {
        auto refusal = GuardedXml::Refusal::none;
        document = GuardedXml::parse (static_cast<const char*> (read.bytes.getData()), read.bytes.getSize(),
                                      GuardedXml::Shape::state, rootTag, &refusal);
        reason = describe (refusal);
    }

    if (whyNot != nullptr)
        *whyNot = reason;

    return document;
}

juce::Result writePresetDocument (const juce::XmlElement& document, const juce::File& target, const juce::File& confiningFolder)
{
    auto written = target;
    struct stat info;

    if (target.isSymbolicLink())
    {
        // Replacing the link would cut it from its target, which then never sees a save again.
        written = resolveLinks (target);

        if (written == juce::File() || ! isInsideFolder (target, confiningFolder))
            return juce::Result::fail ("The file is a link that leads outside the preset folder.");
    }

    // Refused before anything is written: no file of that name can exist.
    const auto nameLimit = longestName (written.getParentDirectory());

    if (written.getFileName().getNumBytesAsUTF8() > nameLimit)
        return juce::Result::fail ("The name is too long.");

    if (written.isDirectory())
        return juce::Result::fail ("A folder has the preset's name.");

    const auto folder = written.getParentDirectory();

    if (! folder.isDirectory())
        return juce::Result::fail ("The folder is missing.");

    const auto exists = ::stat (written.getFullPathName().toRawUTF8(), &info) == 0;

    if (exists && ! S_ISREG (info.st_mode))
        return juce::Result::fail ("It is not a regular file.");

    // Judged by the mode bits, not by access(): root may write anything, yet a file the
    // user made read-only is one the user wants kept.
    if (exists && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return juce::Result::fail ("The file is read-only.");

    juce::MemoryOutputStream text;
    document.writeTo (text, {});

    // Hidden and without the preset extension, so no scan lists it.
    juce::File temporary;

    if (auto result = writeAll (written, nameLimit, text.getMemoryBlock(), exists ? &info : nullptr, temporary); result.failed())
        return result;

    if (std::rename (temporary.getFullPathName().toRawUTF8(), written.getFullPathName().toRawUTF8()) != 0)
    {
        const auto error = errno;
        temporary.deleteFile();
        return failWith (error);
    }

    return juce::Result::ok();
}

bool isLeftoverTemporaryFile (const juce::File& file)
{
    // ".NAME.xml.tmp", or ".NAME.xml2.tmp" and so on when an older one was in the way.
    const auto name = file.getFileName();

    if (! name.startsWithChar ('.') || ! name.endsWith (temporarySuffix))
        return false;

    const auto stem = name.dropLastCharacters (temporarySuffix.length()).trimCharactersAtEnd ("0123456789");
    return stem.length() > 1 + 4 && stem.endsWith (".xml");
}
} // namespace KA
