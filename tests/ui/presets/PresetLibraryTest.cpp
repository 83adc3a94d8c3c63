// The preset library without a window: numbering and tree over real folders,
// loads, saves and deletes with the bytes on disk checked.

#include "tests/ui/presets/PresetTestSupport.h"
#include "ui/presets/PresetFile.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using namespace KA::Test;
using KA::PresetLibrary;
using KA::PresetTreeNode;

juce::String dumpTree (const PresetTreeNode& node, int depth = 0)
{
    juce::String text;

    for (const auto& child : node.children)
    {
        EXPECT_EQ (child->parent, &node);
        text << juce::String::repeatedString ("  ", depth) << child->caption << (child->isFolder ? "/" : "")
             << " " << child->id << (child->hasOwnColour ? " own " : " ") << child->colour.toDisplayString (true)
             << " " << child->justification.getFlags() << "\n" << dumpTree (*child, depth + 1);
    }

    return text;
}

struct Library : public ::testing::Test
{
    Library()
    {
        for (auto name : { "b.xml", "A.xml", "Live/x.xml", "Preset.XML", "notes.txt" })
            PresetFolders::write (dirs.user.getChildFile (name), 1.0f);

        dirs.user.createSymbolicLink (user ("Live/loop"), true);
    }

    juce::File user (const char* name) const { return dirs.user.getChildFile (name); }

    PresetFolders dirs;
    RedeVaPlugin processor;
    PresetLibrary library { processor, dirs.folders() };
};

TEST_F (Library, NumbersAndTreeOfTheWorkedExample)
{
    PresetTreeNode root;
    PresetTreeNode* open = nullptr;
    library.setPresetPath (user ("Live/x.xml").getFullPathName(), &root, &open);

    const juce::StringArray entries { "Default", "Slap Bass", "Bass Warming", "Rock Mid Boost", "Pell Varossi Motown",
                                      "Juno Kastrel Metal Scoop", user ("Live/x.xml").getFullPathName(),
                                      user ("A.xml").getFullPathName(), user ("b.xml").getFullPathName() };
    ASSERT_EQ (library.getNumEntries(), entries.size());

    for (int i = 0; i < entries.size(); ++i)
        EXPECT_EQ (library.getEntry (i), entries[i]) << i;

    EXPECT_EQ (library.getFirstUserPresetIndex(), 6);
    EXPECT_EQ (dumpTree (root).toStdString(),
               "Default 0 00000000 36\n"
               "Factory Presets/ 0 own 503EFFB1 36\n"
               "  Slap Bass 1 503E79B1 1\n"
               "  Bass Warming 2 503E79B1 1\n"
               "  Rock Mid Boost 3 503E79B1 1\n"
               "  Pell Varossi Motown 4 503E79B1 1\n"
               "  Juno Kastrel Metal Scoop 5 503E79B1 1\n"
               "Live/ 0 own 503E79B1 36\n"
               "  x 6 own 503E79B1 1\n"
               "A 7 503E79B1 1\n"
               "b 8 503E79B1 1\n");
    ASSERT_NE (open, nullptr);
    EXPECT_EQ (open->caption, "Live");
}

TEST_F (Library, SharedPresetsHiddenFilesAndLinksFollowedOnce)
{
    for (auto name : { "s.xml", "Sub/t.xml" })
        PresetFolders::write (dirs.shared.getChildFile (name), 1.0f);

    for (auto name : { ".h.xml", "B.xml", "a/q.xml", "Zed/r.xml", "Zed/D.XML" })
        PresetFolders::write (user (name), 1.0f);

    user ("a").createSymbolicLink (user ("Zed/back"), true); // met before the real folder
    dirs.user.createSymbolicLink (user ("a/up"), true);      // loops back to the root

    PresetTreeNode root;
    library.setPresetPath ("Bass Warming", &root);

    juce::StringArray relative;

    for (int i = 6; i < library.getNumEntries(); ++i)
        relative.add (juce::File (library.getEntry (i)).getRelativePathFrom (dirs.base));

    EXPECT_EQ (relative.joinIntoString (",").toStdString(), "shared/Sub/t.xml,shared/s.xml,user/Live/x.xml,user/Zed/back/q.xml,user/Zed/r.xml,"
                                              "user/a/q.xml,user/.h.xml,user/A.xml,user/B.xml,user/b.xml");
    EXPECT_EQ (library.getFirstUserPresetIndex(), 8);
    EXPECT_EQ (dumpTree (*root.children[1]).fromFirstOccurrenceOf ("Scoop 5 503E79B1 1\n", false, false).toStdString(),
               "Sub/ 0 own 50AAAAAA 36\n"
               "  t 6 503E79B1 1\n"
               "s 7 503E79B1 1\n");
}

TEST_F (Library, NeverCreatesTheSharedFolderButMakesTheUserFolder)
{
    dirs.user.deleteRecursively();
    library.setPresetPath ({});

    EXPECT_FALSE (dirs.shared.exists());
    EXPECT_TRUE (dirs.user.isDirectory());
    EXPECT_TRUE (PresetLibrary::defaultFolders ("P").shared.getFullPathName().startsWith ("/usr/"));
    EXPECT_EQ (PresetLibrary::defaultFolders ("P").user,
               juce::File::getSpecialLocation (juce::File::userDocumentsDirectory).getChildFile ("P"));
}

//==============================================================================
struct StartCase
{
    const char* name;
    std::function<juce::String (const juce::File& user, const juce::File& base)> currentPreset;
    int slotA;
    const char* shown;
};

class StartPreset : public Library, public ::testing::WithParamInterface<StartCase> {};

TEST_P (StartPreset, ComesFromTheStoredCurrentPreset)
{
    PresetFolders::write (dirs.base.getChildFile ("elsewhere/Out.xml"), 1.0f);
    processor.parameters.state.setProperty ("CurrentPreset", GetParam().currentPreset (dirs.user, dirs.base), nullptr);
    library.setPresetPath (currentPresetOf (processor));

    EXPECT_EQ (library.chooseStartPreset(), GetParam().shown);
    EXPECT_EQ (library.getCurrentIndex (0), GetParam().slotA);
    EXPECT_EQ (library.getCurrentIndex (1), 0);
}

INSTANTIATE_TEST_SUITE_P (
    Texts, StartPreset,
    ::testing::Values (
        StartCase { "FactoryName", [] (auto&, auto&) { return juce::String ("Pell Varossi Motown"); }, 4, "Pell Varossi Motown" },
        StartCase { "FullPath", [] (auto& u, auto&) { return u.getChildFile ("A.xml").getFullPathName(); }, 7, "A" },
        StartCase { "HomeRelative", [] (auto& u, auto&) { return "~/" + u.getChildFile ("Live/x.xml").getRelativePathFrom (juce::File ("~")); }, 6, "x" },
        StartCase { "MissingFile", [] (auto& u, auto&) { return u.getChildFile ("Gone.xml").getFullPathName(); }, 0, "Default" },
        StartCase { "OutsideBothRoots", [] (auto&, auto& b) { return b.getChildFile ("elsewhere/Out.xml").getFullPathName(); }, 0, "Out" },
        StartCase { "Nothing", [] (auto&, auto&) { return juce::String(); }, 0, "Default" }),
    [] (const auto& p) { return std::string (p.param.name); });

//==============================================================================
TEST_F (Library, StepsWrapAroundFromBothEndsAndFromNoPreset)
{
    library.setPresetPath ({});
    library.chooseStartPreset();
    const auto last = library.getNumEntries() - 1;

    struct Step { int from, step, to; };

    for (const auto& s : { Step { 0, 1, 1 }, Step { 0, -1, last }, Step { last, 1, 0 }, Step { last, -1, last - 1 } })
    {
        ASSERT_TRUE (library.loadPresetAtIndex (s.from).wasOk());
        EXPECT_EQ (library.getStepIndex (s.step), s.to) << s.from << " " << s.step;
    }

    // After a deletion the slot has no preset: "+" goes to 0, "-" to the last index.
    ASSERT_TRUE (library.loadPresetAtIndex (7).wasOk());
    ASSERT_TRUE (library.deletePresetFile (user ("A.xml")).wasOk());
    EXPECT_EQ (library.getActiveIndex(), -1);
    EXPECT_EQ (library.getStepIndex (1), 0);
    EXPECT_EQ (library.getStepIndex (-1), library.getNumEntries() - 1);
}

//==============================================================================
TEST_F (Library, LoadSaveAndDeleteRoundTripsWithTheBytesOnDisk)
{
    library.getEditorSize = [] { return juce::Point<int> (777, 333); };
    PresetFolders::write (user ("A.xml"), 4.5f);
    library.setPresetPath ({});

    ASSERT_TRUE (library.loadPresetAtIndex (7).wasOk());
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 4.5f);
    EXPECT_EQ (currentPresetOf (processor), user ("A.xml").getFullPathName());
    EXPECT_EQ ((int) processor.parameters.state["lastUIWidth"], 777); // the editor's size, not the file's 700
    EXPECT_EQ ((int) processor.parameters.state["lastUIHeight"], 333);

    setValue (processor, "Level", -6.0f);
    ASSERT_TRUE (library.save().wasOk());

    const auto bytes = user ("A.xml").loadFileAsString();
    EXPECT_TRUE (bytes.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<DRRoreRurediriz "));
    EXPECT_EQ (bytes.replace ("\r\n", "").indexOfChar ('\n'), -1);
    EXPECT_EQ (bytes.replace ("\r\n", "").indexOfChar ('\r'), -1);
    EXPECT_EQ (dirs.user.getNumberOfChildFiles (juce::File::findFiles, "*.tmp"), 0) << "no temporary file left behind";

    auto reread = KA::readPresetDocument (user ("A.xml"), "DRRoreRurediriz");
    ASSERT_NE (reread, nullptr);
    EXPECT_EQ (reread->createDocument ({}), processor.copyFlushedState().createXml()->createDocument ({}));

    // Delete renumbers: the old 8 (b) becomes 7; "+" then goes to 0.
    ASSERT_TRUE (library.deletePresetFile (user ("A.xml")).wasOk());
    EXPECT_FALSE (user ("A.xml").exists());
    EXPECT_EQ (library.getEntry (7), user ("b.xml").getFullPathName());
    EXPECT_EQ (library.getNumEntries(), 8);
    EXPECT_EQ (library.getStepIndex (1), 0);
}

TEST_F (Library, SaveWritesNothingForDefaultFactoryAndSharedPresets)
{
    const auto shared = PresetFolders::write (dirs.shared.getChildFile ("s.xml"), 2.0f);
    const auto before = shared.loadFileAsString();
    library.setPresetPath ({});
    setValue (processor, "Level", -9.0f);

    for (int index : { 0, 3, 6 })
    {
        ASSERT_TRUE (library.loadPresetAtIndex (index).wasOk());
        setValue (processor, "Level", -9.0f);
        EXPECT_TRUE (library.save().wasOk());
        EXPECT_EQ (shared.loadFileAsString(), before);
    }

    juce::File ignored;
    EXPECT_EQ (library.checkDelete (ignored), PresetLibrary::DeleteCheck::isFactory);
    EXPECT_EQ (dirs.user.findChildFiles (juce::File::findFiles, true, "*.xml", juce::File::FollowSymlinks::no).size(), 3);
}

TEST_F (Library, SaveAsForcesTheExtensionAndFollowsTheNewFile)
{
    library.setPresetPath ({});

    ASSERT_TRUE (library.loadPresetAtIndex (1).wasOk());

    for (auto typed : { "Funk", "Funk.txt" })
    {
        setValue (processor, "Level", 2.5f);
        ASSERT_TRUE (library.saveAs (user (typed)).wasOk()) << typed;
        EXPECT_FALSE (user ("Funk.txt").exists());
        EXPECT_EQ (library.getEntry (library.getActiveIndex()), user ("Funk.xml").getFullPathName());
        EXPECT_EQ (currentPresetOf (processor), user ("Funk.xml").getFullPathName());
        EXPECT_EQ (library.getDisplayName (library.getActiveIndex()), "Funk");
    }

    EXPECT_FLOAT_EQ (KA::readPresetDocument (user ("Funk.xml"), "DRRoreRurediriz")->getChildByAttribute ("id", "Level")->getDoubleAttribute ("value"), 2.5);
    // The factory preset's root attributes run past 60 characters: the last one wraps.
    EXPECT_TRUE (user ("Funk.xml").loadFileAsString().contains ("\"\r\n" + juce::String::repeatedString (" ", 17) + "name=\"Slap Bass\""));
    EXPECT_TRUE (library.saveAs (dirs.base.getChildFile ("outside")).failed());
    EXPECT_FALSE (dirs.base.getChildFile ("outside.xml").exists());
}

//==============================================================================
// Fault: a write that fails is reported, and nothing changes.
struct WriteFailure
{
    const char* name;
    std::function<juce::Result (PresetLibrary&, const juce::File& user)> act;
};

class FailedWrite : public Library, public ::testing::WithParamInterface<WriteFailure> {};

TEST_P (FailedWrite, IsReportedAndChangesNothing)
{
    library.setPresetPath ({});
    ASSERT_TRUE (library.loadPresetAtIndex (7).wasOk());
    const auto index = library.getActiveIndex();
    const auto current = currentPresetOf (processor);
    setValue (processor, "Level", 7.0f);

    EXPECT_TRUE (GetParam().act (library, dirs.user).failed());
    EXPECT_EQ (library.getActiveIndex(), index);
    EXPECT_EQ (currentPresetOf (processor), current);
    EXPECT_EQ (dirs.user.findChildFiles (juce::File::findFiles, true, "*.tmp", juce::File::FollowSymlinks::no).size(), 0);
}

INSTANTIATE_TEST_SUITE_P (
    Cases, FailedWrite,
    ::testing::Values (
        WriteFailure { "SaveOverAFolder", [] (auto& l, auto& u)
                       {
                           u.getChildFile ("A.xml").deleteFile();
                           u.getChildFile ("A.xml/inside").createDirectory();
                           return l.save();
                       } },
        WriteFailure { "SaveAsIntoAMissingFolder", [] (auto& l, auto& u) { return l.saveAs (u.getChildFile ("Gone/Funk")); } },
        WriteFailure { "SaveAsOverAFolder", [] (auto& l, auto& u)
                       {
                           u.getChildFile ("Funk.xml").createDirectory();
                           return l.saveAs (u.getChildFile ("Funk"));
                       } },
        WriteFailure { "SaveAsIntoAFileWhereAFolderShouldBe", [] (auto& l, auto& u)
                       {
                           u.getChildFile ("Blocked").replaceWithText ("x");
                           return l.saveAs (u.getChildFile ("Blocked/Funk"));
                       } }),
    [] (const auto& p) { return std::string (p.param.name); });

// Fault: a bad preset file changes nothing.
struct BadFile
{
    const char* name;
    const char* text; // nullptr: the file is missing
};

class BadPresetFile : public Library, public ::testing::WithParamInterface<BadFile> {};

TEST_P (BadPresetFile, ChangesNothing)
{
    library.setPresetPath ({});
    ASSERT_TRUE (library.loadPresetAtIndex (8).wasOk());

    if (GetParam().text == nullptr)
        user ("A.xml").deleteFile();
    else
        user ("A.xml").replaceWithText (GetParam().text);

    const auto before = stateText (processor);
    EXPECT_TRUE (library.loadPresetAtIndex (7).failed());
    EXPECT_EQ (stateText (processor), before);
    EXPECT_EQ (library.getActiveIndex(), 8);
}

INSTANTIATE_TEST_SUITE_P (
    Files, BadPresetFile,
    ::testing::Values (BadFile { "Missing", nullptr },
                       BadFile { "Empty", "" },
                       BadFile { "NotXml", "Level = 3" },
                       BadFile { "Truncated", "<DRRoreRurediriz><PARAM id=\"Level\" value=\"3\"" },
                       BadFile { "ForeignRoot", "<Other><PARAM id=\"Level\" value=\"3\"/></Other>" },
                       BadFile { "InnerInstruction", "<DRRoreRurediriz><?x y?>text</DRRoreRurediriz>" }),
    [] (const auto& p) { return std::string (p.param.name); });
} // namespace
