#pragma once

#include <juce_core/juce_core.h>

namespace KA
{
/** Why a file was not read. */
enum class FileReadFailure
{
    none,
    missing,    // nothing at that path, or a link to nothing
    notRegular, // a folder, a FIFO, a device, a socket
    tooLarge,   // longer than the caller's limit
    unreadable  // no permission, or an error while reading
};

struct FileReadResult
{
    juce::MemoryBlock bytes;
    FileReadFailure failure = FileReadFailure::none;

    bool wasOk() const noexcept { return failure == FileReadFailure::none; }
};

/** The whole content of a regular file of at most maxBytes, the one way the program
    reads files from disk.

    The file is opened without blocking and checked on the open descriptor, so a FIFO
    or a device never holds the message thread, and a file swapped after a check is
    never what gets read. The length is found by reading, at most one byte past the
    limit: the size a file reports need not be its length. */
FileReadResult readRegularFile (const juce::File& file, size_t maxBytes);
} // namespace KA
