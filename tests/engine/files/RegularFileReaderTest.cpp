// Reading files from disk: only regular files, never past the caller's bound,
// whatever size the file reports, and never waiting on a FIFO.

#include "engine/files/RegularFileReader.h"
#include "tests/common/ChildRun.h"
#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{
using KA::FileReadFailure;
using namespace KA::Test;

struct ReadCase
{
    const char* name;
    std::function<juce::File (const juce::File& folder)> make;
    size_t limit;
    FileReadFailure failure;
};

class ReadRegularFile : public ::testing::TestWithParam<ReadCase> {};

juce::File textFile (const juce::File& folder, int length)
{
    auto file = folder.getChildFile ("f");
    file.replaceWithText (juce::String::repeatedString ("x", length));
    return file;
}

juce::File linkTo (const juce::File& folder, const char* target)
{
    auto link = folder.getChildFile ("link");
    juce::File (target).createSymbolicLink (link, true);
    return link;
}

juce::File fifo (const juce::File& folder)
{
    auto file = folder.getChildFile ("fifo");
    ::mkfifo (file.getFullPathName().toRawUTF8(), 0644);
    return file;
}
} // namespace

TEST_P (ReadRegularFile, GivesTheWholeFileOrSaysWhyNot)
{
    const auto folder = makeTemporaryFolder ("read");
    const auto file = GetParam().make (folder);
    const auto limit = GetParam().limit;
    const auto expected = GetParam().failure;

    // In a child: if the checks ever go, a FIFO blocks and a device reads for ever.
    EXPECT_EQ (runInChild ([&]
                           {
                               const auto read = KA::readRegularFile (file, limit);
                               return read.failure == expected
                                   && (! read.wasOk() || read.bytes.getSize() == (size_t) file.loadFileAsString().getNumBytesAsUTF8())
                                   && (read.wasOk() || read.bytes.getSize() == 0);
                           }),
               ChildEnd::passed);
}

INSTANTIATE_TEST_SUITE_P (Files, ReadRegularFile, ::testing::Values (
    ReadCase { "Empty", [] (auto& d) { return textFile (d, 0); }, 8, FileReadFailure::none },
    ReadCase { "AtTheLimit", [] (auto& d) { return textFile (d, 40000); }, 40000, FileReadFailure::none },
    ReadCase { "OneOverTheLimit", [] (auto& d) { return textFile (d, 40001); }, 40000, FileReadFailure::tooLarge },
    ReadCase { "LinkToAFile", [] (auto& d) { textFile (d, 5); return linkTo (d, d.getChildFile ("f").getFullPathName().toRawUTF8()); }, 8, FileReadFailure::none },
    ReadCase { "Missing", [] (auto& d) { return d.getChildFile ("gone"); }, 8, FileReadFailure::missing },
    ReadCase { "LinkToNothing", [] (auto& d) { return linkTo (d, "/nonexistent/x"); }, 8, FileReadFailure::missing },
    ReadCase { "Folder", [] (auto& d) { return d; }, 8, FileReadFailure::notRegular },
    ReadCase { "Fifo", [] (auto& d) { return fifo (d); }, 8, FileReadFailure::notRegular },
    ReadCase { "LinkToAFifo", [] (auto& d) { fifo (d); return linkTo (d, d.getChildFile ("fifo").getFullPathName().toRawUTF8()); }, 8, FileReadFailure::notRegular },
    ReadCase { "LinkToAnEndlessDevice", [] (auto& d) { return linkTo (d, "/dev/zero"); }, 8, FileReadFailure::notRegular }),
    [] (const auto& p) { return std::string (p.param.name); });

TEST (ReadRegularFile, ReadsByLengthNotByReportedSize)
{
    // The kernel's own files report a size of 0 and have content of any length.
    const juce::File status ("/proc/self/status");
    ASSERT_EQ (status.getSize(), 0);

    const auto whole = KA::readRegularFile (status, 1 << 20);
    ASSERT_TRUE (whole.wasOk());
    EXPECT_TRUE (whole.bytes.toString().contains ("Name:"));

    const auto bounded = KA::readRegularFile (status, 16);
    EXPECT_EQ (bounded.failure, FileReadFailure::tooLarge);
}
