#include "engine/SettingsFile.h"
#include "tests/common/ChildRun.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST (SettingsFile, DamagedFileGoesAsideStaleTemporaryGoesAFailedSaveIsReported)
{
    const auto options = KA::SettingsFile::makeOptions ("KA Settings Test", "Preferences");
    const auto file = options.getDefaultFile();
    const auto folder = file.getParentDirectory();
    const auto temporary = file.getSiblingFile (file.getFileNameWithoutExtension() + "_temp0a1b" + file.getFileExtension());
    const juce::String damaged ("<PROPERTIES><?pi x?>text</PROPERTIES>");
    folder.createDirectory();
    file.replaceWithText (damaged);
    temporary.replaceWithText ("<PROP");

    juce::StringArray reports;
    const auto report = [&] (const juce::String& message) { reports.add (message); };

    {
        juce::ApplicationProperties properties;
        KA::SettingsFile::open (properties, options, report);
        EXPECT_FALSE (temporary.exists());

        const auto aside = folder.findChildFiles (juce::File::findFiles, false, file.getFileName() + ".damaged-*");
        ASSERT_EQ (aside.size(), 1);
        EXPECT_EQ (aside[0].loadFileAsString(), damaged);
        ASSERT_EQ (reports.size(), 1);
        EXPECT_TRUE (reports[0].contains (file.getFullPathName()) && reports[0].contains (aside[0].getFullPathName())) << reports[0];

        // The run starts empty; what it sets is saved and read by the next one.
        properties.getUserSettings()->setValue ("a", 1);
        EXPECT_TRUE (KA::SettingsFile::save (properties, report));
    }

    juce::ApplicationProperties properties;
    KA::SettingsFile::open (properties, options, report);
    EXPECT_EQ (properties.getUserSettings()->getValue ("a"), "1");
    EXPECT_EQ (reports.size(), 1);

    // A file where the folder belongs: the save fails and says where and why.
    folder.deleteRecursively();
    folder.replaceWithText ("in the way");
    properties.getUserSettings()->setValue ("a", 2);
    EXPECT_FALSE (KA::SettingsFile::save (properties, report));
    ASSERT_EQ (reports.size(), 2);
    EXPECT_TRUE (reports[1].startsWith ("The settings file " + file.getFullPathName() + " could not be saved: ")) << reports[1];
    EXPECT_TRUE (reports[1].fromFirstOccurrenceOf ("saved: ", false, false).length() > 1) << reports[1];

    properties.closeFiles();
    folder.deleteFile();
}

TEST (SettingsFile, AFifoInItsPlaceIsMovedAsideWithoutWaitingForAWriter)
{
    const auto options = KA::SettingsFile::makeOptions ("KA Settings Fifo Test", "Preferences");
    const auto file = options.getDefaultFile();
    file.getParentDirectory().createDirectory();
    ASSERT_EQ (::mkfifo (file.getFullPathName().toRawUTF8(), 0644), 0);

    // In a child: opening a FIFO for reading waits for a writer, which never comes.
    EXPECT_EQ (KA::Test::runInChild ([&]
                                     {
                                         juce::ApplicationProperties properties;
                                         KA::SettingsFile::open (properties, options, [] (const juce::String&) {});
                                         return ! file.exists() && properties.getUserSettings()->getAllProperties().size() == 0;
                                     }),
               KA::Test::ChildEnd::passed);

    // The child moved the FIFO aside, as it is: nothing of the user's is lost.
    const auto aside = file.getParentDirectory().findChildFiles (juce::File::findFiles, false, file.getFileName() + ".damaged-*");
    ASSERT_EQ (aside.size(), 1);
    struct stat info;
    ASSERT_EQ (::lstat (aside[0].getFullPathName().toRawUTF8(), &info), 0);
    EXPECT_TRUE (S_ISFIFO (info.st_mode));
    aside[0].deleteFile();
}
