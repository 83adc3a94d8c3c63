#include "engine/files/RegularFileReader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace KA
{
namespace
{
    FileReadFailure failureOfOpen (int error) noexcept
    {
        return error == ENOENT || error == ENOTDIR || error == ELOOP ? FileReadFailure::missing
                                                                     : FileReadFailure::unreadable;
    }

    struct Descriptor
    {
        explicit Descriptor (int f) noexcept : fd (f) {}
        ~Descriptor() { if (fd >= 0) ::close (fd); }
        Descriptor (const Descriptor&) = delete;
        Descriptor& operator= (const Descriptor&) = delete;

        const int fd;
    };
} // namespace

FileReadResult readRegularFile (const juce::File& file, size_t maxBytes)
{
    FileReadResult result;
    const auto path = file.getFullPathName();

    if (path.isEmpty())
    {
        result.failure = FileReadFailure::missing;
        return result;
    }

    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const Descriptor in (::open (path.toRawUTF8(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));

    if (in.fd < 0)
    {
        result.failure = failureOfOpen (errno);
        return result;
    }

    struct stat info;

    if (::fstat (in.fd, &info) != 0)
    {
        result.failure = FileReadFailure::unreadable;
        return result;
    }

    if (! S_ISREG (info.st_mode))
    {
        result.failure = FileReadFailure::notRegular;
        return result;
    }

    juce::MemoryOutputStream content;
    char buffer[16384];

    for (;;)
    {
        const auto wanted = juce::jmin (sizeof (buffer), maxBytes + 1 - content.getDataSize());
        const auto got = ::read (in.fd, buffer, wanted);

        if (got < 0 && errno == EINTR)
            continue;

        if (got < 0)
        {
            result.failure = FileReadFailure::unreadable;
            return result;
        }

        if (got == 0)
            break;

        content.write (buffer, (size_t) got);

        if (content.getDataSize() > maxBytes)
        {
            result.failure = FileReadFailure::tooLarge;
            return result;
        }
    }

    result.bytes = content.getMemoryBlock();
    return result;
}
} // namespace KA
