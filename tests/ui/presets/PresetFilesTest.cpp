// Preset files that are not what they seem: what the scan lists, how far "+" and "-"
// get past a bad one, and what a save keeps of a file the user protected or linked.

#include "tests/common/ChildRun.h"
#include "tests/common/MessageLoop.h"
#include "tests/ui/presets/PresetTestSupport.h"
#include "ui/presets/ListPresetsView.h"
#include "ui/presets/PresetFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{
using namespace KA::Test;
using KA::PresetLibrary;

struct stat statOf (const juce::File& file, bool followLinks = true)
{
    struct stat info {};
    (followLinks ? ::stat : ::lstat) (file.getFullPathName().toRawUTF8(), &info);
    return info;
}

/** A, B, C and D in the user folder, A to D at indexes 6 to 9. */
struct Files : public ::testing::Test
{
    Files()
    {
        for (auto [name, level] : { std::pair { "A.xml", 1.0f }, { "B.xml", 2.0f }, { "C.xml", 3.0f }, { "D.xml", 4.0f } })
            PresetFolders::write (user (name), level);
    }

    juce::File user (const char* name) const { return dirs.user.getChildFile (name); }
    int indexOf (const char* name) const { return library.findIndex (user (name).getFullPathName()); }
    juce::String entries() const
    {
        juce::StringArray names;
        for (int i = library.getNumFactoryEntries() + 1; i < library.getNumEntries(); ++i)
            names.add (juce::File (library.getEntry (i)).getRelativePathFrom (dirs.user));
        return names.joinIntoString (",");
    }

    PresetFolders dirs;
    RedeVaPlugin processor;
    PresetLibrary library { processor, dirs.folders() };
};

TEST_F (Files, OnlyRegularFilesAreListedAndOnesThatTurnIntoAFifoOrADeviceAreRefusedWithoutBlocking)
{
    ::mkfifo (user ("F.xml").getFullPathName().toRawUTF8(), 0644);
    user ("F.xml").createSymbolicLink (user ("G.xml"), true);
    juce::File ("/dev/zero").createSymbolicLink (user ("Z.xml"), true);
    library.setPresetPath ({});
    EXPECT_EQ (entries(), "A.xml,B.xml,C.xml,D.xml");

    // Files swapped between the listing and the load, as another program may do.
    for (auto [swap, target] : { std::pair { "B.xml", juce::File ("/dev/zero") }, { "C.xml", user ("F.xml") } })
    {
        user (swap).deleteFile();
        target.createSymbolicLink (user (swap), true);

        const auto index = indexOf (swap);
        EXPECT_EQ (runInChild ([&]
                               {
                                   const auto loaded = library.loadPresetAtIndex (index);
                                   return loaded.failed() && loaded.getErrorMessage() == "It is not a regular file.";
                               }),
                   ChildEnd::passed) << swap;
    }
}

//==============================================================================
struct StepCase { const char* name; std::function<void (const juce::File&)> spoil; };

class StepPast : public Files, public ::testing::WithParamInterface<std::tuple<StepCase, int>> {};

TEST_P (StepPast, ABadPresetInEitherDirectionAndKeepsTheLastGoodOne)
{
    const auto& [spoil, step] = GetParam();
    library.setPresetPath ({});
    const auto from = step > 0 ? "A.xml" : "C.xml";
    const auto beyond = step > 0 ? "C.xml" : "A.xml";
    ASSERT_TRUE (library.loadPresetAtIndex (indexOf (from)).wasOk());
    const auto state = processor.copyFlushedState().createXml()->toString();
    spoil.spoil (user ("B.xml"));

    // Each press goes on from the one that failed: a second press does not retry it.
    ASSERT_EQ (library.getStepIndex (step), indexOf ("B.xml"));
    EXPECT_TRUE (library.loadPresetAtIndex (library.getStepIndex (step)).failed());
    EXPECT_EQ (processor.copyFlushedState().createXml()->toString(), state);
    EXPECT_EQ (library.getActiveIndex(), indexOf (from));
    EXPECT_EQ (currentPresetOf (processor), user (from).getFullPathName());

    ASSERT_EQ (library.getStepIndex (step), indexOf (beyond));
    ASSERT_TRUE (library.loadPresetAtIndex (library.getStepIndex (step)).wasOk());
    EXPECT_EQ (currentPresetOf (processor), user (beyond).getFullPathName());
    EXPECT_EQ (library.getStepIndex (-step), indexOf ("B.xml"));
}

INSTANTIATE_TEST_SUITE_P (Cases, StepPast, ::testing::Combine (::testing::Values (
    StepCase { "Damaged", [] (auto& f) { f.replaceWithText ("<DRRoreRurediriz><PARAM"); } },
    StepCase { "DeletedOnDisk", [] (auto& f) { f.deleteFile(); } }), ::testing::Values (1, -1)),
    [] (const auto& p) { return std::string (std::get<0> (p.param).name) + (std::get<1> (p.param) > 0 ? "Forward" : "Backward"); });

//==============================================================================
TEST_F (Files, SaveKeepsTheModeAndOwnerAndRefusesAFileWithoutWritePermission)
{
    library.setPresetPath ({});
    ASSERT_TRUE (library.loadPresetAtIndex (indexOf ("A.xml")).wasOk());
    ::chmod (user ("A.xml").getFullPathName().toRawUTF8(), 0640);

    if (::geteuid() == 0)
    {
        ASSERT_EQ (::chown (user ("A.xml").getFullPathName().toRawUTF8(), 4321, 8765), 0);
    }

    const auto before = statOf (user ("A.xml"));
    setValue (processor, "Level", -7.0f);
    ASSERT_TRUE (library.save().wasOk());
    EXPECT_NE (statOf (user ("A.xml")).st_ino, before.st_ino) << "rewritten by a rename";
    EXPECT_EQ (statOf (user ("A.xml")).st_mode, before.st_mode);
    EXPECT_EQ (statOf (user ("A.xml")).st_uid, before.st_uid);
    EXPECT_EQ (statOf (user ("A.xml")).st_gid, before.st_gid);

    // Read-only: refused also for root, whom the kernel would let write.
    ::chmod (user ("A.xml").getFullPathName().toRawUTF8(), 0444);
    const auto bytes = user ("A.xml").loadFileAsString();
    setValue (processor, "Level", 5.0f);
    const auto saved = library.save();
    EXPECT_EQ (saved.getErrorMessage(), "The file is read-only.");
    EXPECT_EQ (user ("A.xml").loadFileAsString(), bytes);
    EXPECT_EQ (statOf (user ("A.xml")).st_mode & 07777, 0444u);
    EXPECT_EQ (dirs.user.findChildFiles (juce::File::findFiles, false, ".*").size(), 0) << "no temporary file left";
}

struct LinkCase { const char* name; const char* target; const char* failure; };

class LinkedPreset : public Files, public ::testing::WithParamInterface<LinkCase> {};

TEST_P (LinkedPreset, IsWrittenThroughToATargetInsideTheFolderAndStaysALink)
{
    const auto target = dirs.base.getChildFile (GetParam().target);
    PresetFolders::write (target, 1.0f);
    target.createSymbolicLink (user ("L.xml"), true);

    if (juce::String (GetParam().name) == "TargetFolderMissing")
        target.getParentDirectory().deleteRecursively();

    library.setPresetPath ({});
    const auto index = library.findIndex (user ("L.xml").getFullPathName());

    // A link to nothing is not listed; Save As reaches it.
    if (index > 0)
    {
        ASSERT_TRUE (library.loadPresetAtIndex (index).wasOk());
    }

    const auto before = target.existsAsFile() ? target.loadFileAsString() : juce::String();
    setValue (processor, "Level", -3.0f);
    const auto saved = index > 0 ? library.save() : library.saveAs (user ("L.xml"));

    EXPECT_EQ (saved.getErrorMessage(), GetParam().failure);
    EXPECT_TRUE (user ("L.xml").isSymbolicLink());
    EXPECT_EQ (user ("L.xml").getLinkedTarget(), target);

    if (saved.wasOk())
    {
        EXPECT_TRUE (target.loadFileAsString().contains ("value=\"-3.0\""));
    }
    else if (target.existsAsFile())
    {
        EXPECT_EQ (target.loadFileAsString(), before);
    }
}

// The longest name a file can have: its temporary file's name must still fit.
const std::string longestName = "user/" + std::string (251, 'n') + ".xml";

INSTANTIATE_TEST_SUITE_P (Targets, LinkedPreset, ::testing::Values (
    LinkCase { "InsideTheFolder", "user/Real/t.xml", "" },
    LinkCase { "WithTheLongestName", longestName.c_str(), "" },
    LinkCase { "OutsideTheFolder", "elsewhere/t.xml", "The file is a link that leads outside the preset folder." },
    LinkCase { "TargetFolderMissing", "user/Gone/t.xml", "The folder is missing." }),
    [] (const auto& p) { return std::string (p.param.name); });

//==============================================================================
TEST_F (Files, TemporaryFilesOfAKilledSaveGoAtTheNextScanAndNothingElse)
{
    // Old ones of the writer's names in the user folder's own tree go; the rest stays: other
    // names, a fresh one (another copy of the program may be saving), and what lies in the
    // shared folder or behind a folder link.
    const auto hourAgo = juce::Time::getCurrentTime() - juce::RelativeTime::hours (1);
    const juce::StringArray leftovers { "Sub/.A.xml.tmp", "Sub/.A.xml2.tmp", "Sub/.Live Set.xml13.tmp" };
    const juce::StringArray kept { "notes.tmp", ".x.tmp", ".xml.tmp", ".A.xml.tmp.bak", "A.xml.tmp", "Linked/.L.xml.tmp" };
    const auto fresh = dirs.user.getChildFile (".F.xml.tmp"), shared = dirs.shared.getChildFile (".S.xml.tmp");

    dirs.base.getChildFile ("linked").createDirectory();
    dirs.base.getChildFile ("linked").createSymbolicLink (dirs.user.getChildFile ("Linked"), true);

    auto all = leftovers;
    all.addArray (kept);

    for (const auto& name : all)
    {
        const auto file = dirs.user.getChildFile (name);
        ASSERT_TRUE (file.getParentDirectory().createDirectory() && file.replaceWithText ("<DRRoreRurediriz"));
        file.setLastModificationTime (hourAgo);
    }

    ASSERT_TRUE (fresh.replaceWithText ("<DRRoreRurediriz") && dirs.shared.createDirectory() && shared.replaceWithText ("<D"));
    shared.setLastModificationTime (hourAgo);
    dirs.user.getChildFile (".B.xml.tmp").createDirectory();
    library.setPresetPath ({});

    for (const auto& name : leftovers)
        EXPECT_FALSE (dirs.user.getChildFile (name).exists()) << name;

    for (const auto& name : kept)
        EXPECT_TRUE (dirs.user.getChildFile (name).existsAsFile()) << name;

    EXPECT_TRUE (fresh.existsAsFile() && shared.existsAsFile());
    EXPECT_TRUE (dirs.user.getChildFile (".B.xml.tmp").isDirectory());
}

TEST_F (Files, ASaveStepsAroundWhatHoldsItsTemporaryNameAndLeavesIt)
{
    library.setPresetPath ({});
    ASSERT_TRUE (library.loadPresetAtIndex (indexOf ("A.xml")).wasOk());
    const auto link = user (".A.xml.tmp");
    ASSERT_TRUE (dirs.base.getChildFile ("nowhere").createSymbolicLink (link, true));

    setValue (processor, "Level", 6.0f);
    EXPECT_TRUE (library.save().wasOk());
    EXPECT_TRUE (user ("A.xml").loadFileAsString().contains ("value=\"6.0\""));
    EXPECT_TRUE (link.isSymbolicLink());
    EXPECT_FALSE (user (".A.xml2.tmp").exists()) << "the name taken instead is gone with the rename";
}

//==============================================================================
TEST_F (Files, WhatLinksReachIsBoundedWhileRealFoldersAreListedWhole)
{
    // Two linked trees over the bound between them, and a real folder listed after both.
    const auto big = dirs.base.getChildFile ("big");
    const auto perFolder = PresetLibrary::maxEntriesThroughLinks / 8;

    for (int f = 0; f < 6; ++f)
    {
        const auto folder = big.getChildFile ("f" + juce::String (f));
        folder.createDirectory();

        for (int i = 0; i < perFolder; ++i)
            juce::File (folder.getChildFile (juce::String (i) + ".xml")).create();
    }

    big.createSymbolicLink (user ("L1"), true);
    big.createSymbolicLink (user ("L2"), true); // another name for the same tree is not followed again
    dirs.base.getChildFile ("big2/f").createDirectory();
    dirs.base.getChildFile ("big2").createSymbolicLink (user ("L3"), true);
    PresetFolders::write (user ("Z/z.xml"), 1.0f);

    for (int i = 0; i < perFolder * 3; ++i)
        juce::File (dirs.base.getChildFile ("big2/f/" + juce::String (i) + ".xml")).create();

    library.setPresetPath ({});
    EXPECT_TRUE (library.wereLinkedFoldersCut());

    int throughLinks = 0;

    for (int i = 0; i < library.getNumEntries(); ++i)
        throughLinks += library.getEntry (i).contains ("/L1/") || library.getEntry (i).contains ("/L3/") ? 1 : 0;

    EXPECT_GT (throughLinks, PresetLibrary::maxEntriesThroughLinks / 2);
    EXPECT_LE (throughLinks, PresetLibrary::maxEntriesThroughLinks);
    EXPECT_GE (indexOf ("Z/z.xml"), 0);
    EXPECT_GE (indexOf ("D.xml"), 0);
    EXPECT_FALSE (entries().contains ("L2/"));

    // The bar says so once, when the editor stands, and then lists what it could.
    BarEditor editor (processor, dirs.folders());
    runFor (50);
    EXPECT_EQ (editor.openMessage(), "Some linked folders were not listed: they hold too many files.");
    editor.answer ("Ok");
    editor.getToolBar()->openPresetList();
    EXPECT_NE (dynamic_cast<KA::ListPresetsView*> (editor.getCurrentDialog()), nullptr);

    big.deleteRecursively();
    dirs.base.getChildFile ("big2").deleteRecursively();
    library.setPresetPath ({});
    EXPECT_FALSE (library.wereLinkedFoldersCut());
}
} // namespace
