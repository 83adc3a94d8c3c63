// The preset library without a window, over real folders: numbering and tree,
// the start preset, stepping, and the bytes that load, save and delete leave on disk.

#include "tests/ui/presets/PresetTestSupport.h"
#include "ui/presets/PresetFile.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using namespace KA::Test;
using KA::PresetLibrary;
using KA::ListTreeViewItem;

/** Caption, "/" for folders, id, "own" colour flag, colour and justification, one node a line. */
std::string dumpTree (const ListTreeViewItem& node, int depth = 0)
{
    std::string text;

    for (const auto* child : node.children)
    {
        EXPECT_EQ (child->parent, &node);
        text += (juce::String::repeatedString ("  ", depth) + child->caption + (child->isFolder ? "/ " : " ") + juce::String (child->id)
                 + (child->hasOwnColour ? " own " : " ") + child->colour.toDisplayString (true) + " "
                 + juce::String (child->justification.getFlags()) + "\n").toStdString()
              + dumpTree (*child, depth + 1);
    }

    return text;
}

double levelIn (const juce::File& file)
{
    auto xml = KA::readPresetDocument (file, "DRRoreRurediriz");
    return xml != nullptr ? xml->getChildByAttribute ("id", "Level")->getDoubleAttribute ("value") : -1000.0;
}

/** A user folder with a sub-folder, mixed-case names, with files that must not be listed and a link loop. */
struct Library : public ::testing::Test
{
    Library()
    {
        for (auto name : { "b.xml", "A.xml", "Live/x.xml", "Preset.XML", "notes.txt" })
            PresetFolders::write (user (name), 1.0f);

        dirs.user.createSymbolicLink (user ("Live/loop"), true);
    }

    juce::File user (const char* name) const { return dirs.user.getChildFile (name); }

    PresetFolders dirs;
    RedeVaPlugin processor;
    PresetLibrary library { processor, dirs.folders() };
};

TEST_F (Library, NumbersFactoryThenUserPresetsInTreeOrderAndOpensTheCurrentFolder)
{
    KA::ListTreeViewData root;
    ListTreeViewItem* open = nullptr;
    library.setPresetPath (user ("Live/x.xml").getFullPathName(), &root, &open);

    const juce::StringArray entries { "Default", "Slap Bass", "Bass Warming", "Rock Mid Boost", "Pell Varossi Motown", "Juno Kastrel Metal Scoop",
                                      user ("Live/x.xml").getFullPathName(), user ("A.xml").getFullPathName(), user ("b.xml").getFullPathName() };
    ASSERT_EQ (library.getNumEntries(), entries.size());

    for (int i = 0; i < entries.size(); ++i)
        EXPECT_EQ (library.getEntry (i), entries[i]) << i;

    EXPECT_EQ (library.getFirstUserPresetIndex(), 6);
    EXPECT_EQ (dumpTree (root), "Default 0 00000000 36\nFactory Presets/ 0 own 503EFFB1 36\n  Slap Bass 1 503E79B1 1\n  Bass Warming 2 503E79B1 1\n"
                                "  Rock Mid Boost 3 503E79B1 1\n  Pell Varossi Motown 4 503E79B1 1\n  Juno Kastrel Metal Scoop 5 503E79B1 1\n"
                                "Live/ 0 own 503E79B1 36\n  x 6 own 503E79B1 1\nA 7 503E79B1 1\nb 8 503E79B1 1\n");
    ASSERT_NE (open, nullptr);
    EXPECT_EQ (open->caption, "Live");
}

TEST_F (Library, SharedPresetsHiddenFilesAndLinksFollowedOnceWithoutMakingTheSharedFolder)
{
    PresetLibrary elsewhere (processor, { dirs.base.getChildFile ("new"), dirs.shared });
    elsewhere.setPresetPath ({});
    EXPECT_TRUE (dirs.base.getChildFile ("new").isDirectory());
    EXPECT_FALSE (dirs.shared.exists());
    EXPECT_TRUE (PresetLibrary::defaultFolders ("P").shared.getFullPathName().startsWith ("/usr/"));

    for (auto name : { "s.xml", "Sub/t.xml" })
        PresetFolders::write (dirs.shared.getChildFile (name), 1.0f);

    for (auto name : { ".h.xml", "B.xml", "a/q.xml", "Zed/r.xml", "Zed/D.XML" })
        PresetFolders::write (user (name), 1.0f);

    user ("a").createSymbolicLink (user ("Zed/back"), true); // met before the real folder
    dirs.user.createSymbolicLink (user ("a/up"), true);      // loops back to the root

    KA::ListTreeViewData root;
    library.setPresetPath ("Bass Warming", &root);
    juce::StringArray relative;

    for (int i = 6; i < library.getNumEntries(); ++i)
        relative.add (juce::File (library.getEntry (i)).getRelativePathFrom (dirs.base));

    EXPECT_EQ (relative.joinIntoString (",").toStdString(), "shared/Sub/t.xml,shared/s.xml,user/Live/x.xml,user/Zed/back/q.xml,user/Zed/r.xml,"
                                                            "user/a/q.xml,user/.h.xml,user/A.xml,user/B.xml,user/b.xml");
    EXPECT_EQ (library.getFirstUserPresetIndex(), 8);
    EXPECT_EQ (dumpTree (*root.children[1]).substr (dumpTree (*root.children[1]).find ("Sub/")), "Sub/ 0 own 50AAAAAA 36\n  t 6 503E79B1 1\ns 7 503E79B1 1\n");
}

//==============================================================================
struct StartCase { const char* name; std::function<juce::String (const PresetFolders&)> text; int slotA; const char* shown; };

class StartPreset : public Library, public ::testing::WithParamInterface<StartCase> {};

TEST_P (StartPreset, ComesFromTheStoredCurrentPreset)
{
    PresetFolders::write (dirs.base.getChildFile ("elsewhere/Out.xml"), 1.0f);
    processor.parameters.state.setProperty ("CurrentPreset", GetParam().text (dirs), nullptr);
    library.setPresetPath (currentPresetOf (processor));

    EXPECT_EQ (library.chooseStartPreset(), GetParam().shown);
    EXPECT_EQ (library.getCurrentIndex (0), GetParam().slotA);
    EXPECT_EQ (library.getCurrentIndex (1), 0);
}

INSTANTIATE_TEST_SUITE_P (Texts, StartPreset, ::testing::Values (
    StartCase { "FactoryName", [] (auto&) { return juce::String ("Pell Varossi Motown"); }, 4, "Pell Varossi Motown" },
    StartCase { "FullPath", [] (auto& d) { return d.user.getChildFile ("A.xml").getFullPathName(); }, 7, "A" },
    StartCase { "HomeRelative", [] (auto& d) { return "~/" + d.user.getChildFile ("Live/x.xml").getRelativePathFrom (juce::File ("~")); }, 6, "x" },
    StartCase { "MissingFile", [] (auto& d) { return d.user.getChildFile ("Gone.xml").getFullPathName(); }, 0, "Default" },
    StartCase { "OutsideBothRoots", [] (auto& d) { return d.base.getChildFile ("elsewhere/Out.xml").getFullPathName(); }, 0, "Out" }),
    [] (const auto& p) { return std::string (p.param.name); });

TEST_F (Library, StepsWrapAroundFromBothEndsAndFromADeletedPreset)
{
    library.setPresetPath ({});
    const auto last = library.getNumEntries() - 1;

    for (auto [from, step, to] : { std::tuple { 0, 1, 1 }, { 0, -1, last }, { last, 1, 0 }, { last, -1, last - 1 } })
    {
        ASSERT_TRUE (library.loadPresetAtIndex (from).wasOk());
        EXPECT_EQ (library.getStepIndex (step), to) << from << " " << step;
    }

    ASSERT_TRUE (library.loadPresetAtIndex (7).wasOk());
    ASSERT_TRUE (library.deletePresetFile (user ("A.xml")).wasOk());
    EXPECT_EQ (library.getActiveIndex(), -1);
    EXPECT_EQ (library.getEntry (7), user ("b.xml").getFullPathName()); // renumbered
    EXPECT_EQ (library.getStepIndex (1), 0);
    EXPECT_EQ (library.getStepIndex (-1), last - 1);
}

//==============================================================================
TEST_F (Library, LoadSaveAndSaveAsRoundTripsWithTheBytesOnDisk)
{
    library.getEditorSize = [] { return juce::Point<int> (777, 333); };
    PresetFolders::write (user ("A.xml"), 4.5f);
    library.setPresetPath ({});

    ASSERT_TRUE (library.loadPresetAtIndex (7).wasOk());
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 4.5f);
    EXPECT_EQ (currentPresetOf (processor), user ("A.xml").getFullPathName());
    EXPECT_EQ (juce::Point<int> (processor.parameters.state["lastUIWidth"], processor.parameters.state["lastUIHeight"]),
               juce::Point<int> (777, 333)); // the editor's size, not the file's

    setValue (processor, "Level", -6.0f);
    ASSERT_TRUE (library.save().wasOk());
    const auto bytes = user ("A.xml").loadFileAsString();
    EXPECT_TRUE (bytes.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<DRRoreRurediriz "));
    EXPECT_FALSE (bytes.replace ("\r\n", "").containsAnyOf ("\r\n")) << "CR LF line ends only";
    EXPECT_EQ (KA::readPresetDocument (user ("A.xml"), "DRRoreRurediriz")->toString (juce::XmlElement::TextFormat()),
               processor.copyFlushedState().createXml()->toString (juce::XmlElement::TextFormat()));

    // Save As from a factory preset: its root attributes pass 60 characters, so the last wraps.
    ASSERT_TRUE (library.loadPresetAtIndex (1).wasOk());
    EXPECT_EQ (currentPresetOf (processor), "Slap Bass");

    for (auto typed : { "Funk", "Funk.txt" })
    {
        setValue (processor, "Level", 2.5f);
        ASSERT_TRUE (library.saveAs (user (typed)).wasOk()) << typed;
        EXPECT_EQ (library.getEntry (library.getActiveIndex()), user ("Funk.xml").getFullPathName());
        EXPECT_EQ (currentPresetOf (processor), user ("Funk.xml").getFullPathName());
    }

    EXPECT_FALSE (user ("Funk.txt").exists());
    EXPECT_EQ (levelIn (user ("Funk.xml")), 2.5);
    EXPECT_TRUE (user ("Funk.xml").loadFileAsString().contains ("\"\r\n" + juce::String::repeatedString (" ", 17) + "name=\"Slap Bass\""));
    EXPECT_TRUE (library.saveAs (dirs.base.getChildFile ("outside")).failed());
    ASSERT_TRUE (library.saveAs (juce::File (dirs.user.getFullPathName() + "/~x")).wasOk()) << "a name, not the home folder";
    EXPECT_EQ (levelIn (juce::File (dirs.user.getFullPathName() + "/~x.xml")), 2.5);
    EXPECT_EQ (dirs.base.findChildFiles (juce::File::findFiles, true, "*.tmp", juce::File::FollowSymlinks::no).size(), 0);
}

TEST_F (Library, SaveWritesNothingForDefaultFactoryAndSharedPresets)
{
    const auto shared = PresetFolders::write (dirs.shared.getChildFile ("s.xml"), 2.0f);
    library.setPresetPath ({});

    for (int index : { 0, 3, 6 })
    {
        ASSERT_TRUE (library.loadPresetAtIndex (index).wasOk());
        setValue (processor, "Level", -9.0f);
        EXPECT_TRUE (library.save().wasOk());
    }

    EXPECT_EQ (levelIn (shared), 2.0);
    EXPECT_EQ (dirs.user.findChildFiles (juce::File::findFiles, true, "*.xml", juce::File::FollowSymlinks::no).size(), 3);
}

//==============================================================================
// A write that fails is reported and changes nothing.
struct WriteFailure { const char* name; std::function<juce::Result (PresetLibrary&, const juce::File&)> act; const char* why; };

class FailedWrite : public Library, public ::testing::WithParamInterface<WriteFailure> {};

TEST_P (FailedWrite, IsReportedAndChangesNothing)
{
    library.setPresetPath ({});
    ASSERT_TRUE (library.loadPresetAtIndex (7).wasOk());
    const auto current = currentPresetOf (processor);

    EXPECT_EQ (GetParam().act (library, dirs.user).getErrorMessage(), GetParam().why);
    EXPECT_EQ (library.getActiveIndex(), 7);
    EXPECT_EQ (currentPresetOf (processor), current);
    EXPECT_EQ (dirs.user.findChildFiles (juce::File::findFiles, true, "*.tmp", juce::File::FollowSymlinks::no).size(), 0);
}

INSTANTIATE_TEST_SUITE_P (Cases, FailedWrite, ::testing::Values (
    WriteFailure { "SaveOverAFolder", [] (auto& l, auto& u) { u.getChildFile ("A.xml").deleteFile(); u.getChildFile ("A.xml/in").createDirectory(); return l.save(); },
                   "A folder has the preset's name." },
    WriteFailure { "SaveAsIntoAMissingFolder", [] (auto& l, auto& u) { return l.saveAs (u.getChildFile ("Gone/Funk")); }, "The folder is missing." },
    WriteFailure { "SaveAsOverAFolder", [] (auto& l, auto& u) { u.getChildFile ("Funk.xml").createDirectory(); return l.saveAs (u.getChildFile ("Funk")); },
                   "A folder has the preset's name." },
    WriteFailure { "SaveAsWhereAFileBlocksTheFolder", [] (auto& l, auto& u) { u.getChildFile ("F").replaceWithText ("x"); return l.saveAs (u.getChildFile ("F/Funk")); },
                   "The folder is missing." },
    WriteFailure { "SaveAsANameNoFileCanHave", [] (auto& l, auto& u) { return l.saveAs (u.getChildFile (juce::String::repeatedString ("n", 252))); },
                   "The name is too long." }),
    [] (const auto& p) { return std::string (p.param.name); });

// A preset file that can't be used changes nothing.
class BadPresetFile : public Library, public ::testing::WithParamInterface<const char*> {};

TEST_P (BadPresetFile, ChangesNothing)
{
    library.setPresetPath ({});
    ASSERT_TRUE (library.loadPresetAtIndex (8).wasOk());
    juce::String (GetParam()) == "missing" ? (void) user ("A.xml").deleteFile() : (void) user ("A.xml").replaceWithText (GetParam());
    const auto before = processor.copyFlushedState().createXml()->toString();

    EXPECT_TRUE (library.loadPresetAtIndex (7).failed());
    EXPECT_EQ (processor.copyFlushedState().createXml()->toString(), before);
    EXPECT_EQ (library.getActiveIndex(), 8);
}

INSTANTIATE_TEST_SUITE_P (Files, BadPresetFile, ::testing::Values ("missing", "", "Level = 3", "<DRRoreRurediriz><PARAM id=\"Level\" value=\"3\"",
                                                                   "<Other><PARAM id=\"Level\" value=\"3\"/></Other>",
                                                                   "<DRRoreRurediriz><?x y?>text</DRRoreRurediriz>"));
} // namespace
