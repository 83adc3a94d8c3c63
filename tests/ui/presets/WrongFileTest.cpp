// Save and Delete act only on the file the bar shows for the active slot,
// whatever renumbered the index in between, starting from either slot.

#include "tests/ui/presets/PresetTestSupport.h"
#include "ui/presets/PresetFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace
{
using namespace KA::Test;
using KA::PresetLibrary;

struct Sequence
{
    PresetFolders dirs;
    RedeVaPlugin processor;
    PresetLibrary library { processor, dirs.folders() };
    int slot = 0;

    juce::File user (const char* name) const { return dirs.user.getChildFile (name); }
    int other() const { return 1 - slot; }

    void load (const char* name)
    {
        ASSERT_TRUE (library.loadPresetAtIndex (library.findIndex (user (name).getFullPathName())).wasOk()) << name;
    }

    /** Sets a value no file holds, then saves. */
    void saveNew()
    {
        setValue (processor, "Level", 9.0f);
        ASSERT_TRUE (library.save().wasOk());
    }
};

struct WrongFileCase
{
    const char* name;
    std::function<void (Sequence&)> run;
    const char* changed; // the one file whose bytes may differ afterwards
    bool deleted;
};

class WrongFile : public ::testing::TestWithParam<std::tuple<WrongFileCase, int>> {};

TEST_P (WrongFile, OnlyTheShownFileIsTouched)
{
    const auto& [sequenceCase, startSlot] = GetParam();
    Sequence s;

    for (auto [name, level] : { std::pair { "A.xml", 1.0f }, { "b.xml", 2.0f }, { "Live/x.xml", 3.0f } })
        PresetFolders::write (s.user (name), level);

    s.library.setPresetPath ({});
    s.library.chooseStartPreset();
    s.slot = startSlot;
    s.library.switchToSlot (startSlot);

    std::map<juce::String, juce::String> before;
    auto snapshotFiles = [&s]
    {
        std::map<juce::String, juce::String> bytes;

        for (const auto& f : s.dirs.user.findChildFiles (juce::File::findFiles, true, "*", juce::File::FollowSymlinks::no))
            bytes[f.getRelativePathFrom (s.dirs.user)] = f.loadFileAsString();

        return bytes;
    };

    sequenceCase.run (s);
    before = snapshotFiles();
    before.erase (sequenceCase.changed);

    // The step under test: the bar names a file; Save or Delete must act on it.
    const auto shown = s.library.getCurrentPresetDisplayName();
    EXPECT_EQ (shown + ".xml", juce::File (sequenceCase.changed).getFileName());

    if (sequenceCase.deleted)
    {
        juce::File named;
        ASSERT_EQ (s.library.checkDelete (named), PresetLibrary::DeleteCheck::ask);
        EXPECT_EQ (named, s.user (sequenceCase.changed));
        ASSERT_TRUE (s.library.deletePresetFile (named).wasOk());
        EXPECT_FALSE (s.user (sequenceCase.changed).exists());
    }
    else
    {
        s.saveNew();
        auto written = KA::readPresetDocument (s.user (sequenceCase.changed), "DRRoreRurediriz");
        ASSERT_NE (written, nullptr);
        EXPECT_EQ (written->getChildByAttribute ("id", "Level")->getDoubleAttribute ("value"), 9.0);
    }

    auto after = snapshotFiles();
    after.erase (sequenceCase.changed);
    EXPECT_EQ (after, before);
}

const WrongFileCase cases[] = {
    { "AfterSwitch", [] (Sequence& s)
      {
          s.load ("b.xml");
          s.library.switchToSlot (s.other());
          s.load ("A.xml");
          s.library.switchToSlot (s.slot);
      }, "b.xml", false },
    { "AfterStore", [] (Sequence& s)
      {
          s.load ("b.xml");
          s.library.switchToSlot (s.other());
          s.load ("A.xml");
          s.library.storeSnapshot();
          s.library.switchToSlot (s.slot); // brings A's state back, and with it its name
      }, "A.xml", false },
    { "AfterSaveAsInTheOtherSlot", [] (Sequence& s)
      {
          s.load ("b.xml");
          s.library.switchToSlot (s.other());
          ASSERT_TRUE (s.library.saveAs (s.user ("a0")).wasOk()); // numbered before b
          s.library.switchToSlot (s.slot);
      }, "b.xml", false },
    { "AfterADeletionRenumbers", [] (Sequence& s)
      {
          s.load ("b.xml");
          s.library.switchToSlot (s.other());
          s.load ("A.xml");
          ASSERT_TRUE (s.library.deletePresetFile (s.user ("A.xml")).wasOk());
          s.library.switchToSlot (s.slot);
      }, "b.xml", false },
    { "AfterARebuildInsertsAFileBefore", [] (Sequence& s)
      {
          s.load ("b.xml");
          PresetFolders::write (s.user ("B0.xml"), 5.0f);
          s.library.setPresetPath (s.library.getEntry (s.library.getActiveIndex()));
      }, "b.xml", false },
    { "DeleteAfterSwitch", [] (Sequence& s)
      {
          s.load ("Live/x.xml");
          s.library.switchToSlot (s.other());
          s.load ("b.xml");
          s.library.switchToSlot (s.slot);
      }, "Live/x.xml", true },
    { "DeleteAfterARebuild", [] (Sequence& s)
      {
          s.load ("b.xml");
          PresetFolders::write (s.user ("B0.xml"), 5.0f);
          s.library.setPresetPath ({});
      }, "b.xml", true },
};

INSTANTIATE_TEST_SUITE_P (Sequences, WrongFile, ::testing::Combine (::testing::ValuesIn (cases), ::testing::Values (0, 1)),
                          [] (const auto& p) { return std::string (std::get<0> (p.param).name) + (std::get<1> (p.param) == 0 ? "_SlotA" : "_SlotB"); });
} // namespace
