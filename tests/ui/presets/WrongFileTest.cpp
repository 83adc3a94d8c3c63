// Save and Delete act only on the file the bar shows for the active slot, whatever
// renumbered the index in between, starting from either slot.

#include "tests/ui/presets/PresetTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace
{
using namespace KA::Test;

struct Sequence
{
    PresetFolders dirs;
    RedeVaPlugin processor;
    KA::PresetLibrary library { processor, dirs.folders() };
    int slot = 0;

    juce::File user (const char* name) const { return dirs.user.getChildFile (name); }
    void load (const char* name) { ASSERT_TRUE (library.loadPresetAtIndex (library.findIndex (user (name).getFullPathName())).wasOk()); }
    void toOther() { library.switchToSlot (1 - slot); }
    void back() { library.switchToSlot (slot); }

    std::map<juce::String, juce::String> files() const
    {
        std::map<juce::String, juce::String> bytes;

        for (const auto& f : dirs.user.findChildFiles (juce::File::findFiles, true, "*", juce::File::FollowSymlinks::no))
            bytes[f.getRelativePathFrom (dirs.user)] = f.loadFileAsString();

        return bytes;
    }
};

struct WrongFileCase { const char* name; std::function<void (Sequence&)> run; const char* shown; bool deleteIt; };

class WrongFile : public ::testing::TestWithParam<std::tuple<WrongFileCase, int>> {};

TEST_P (WrongFile, OnlyTheShownFileIsTouched)
{
    const auto& [c, startSlot] = GetParam();
    Sequence s;

    for (auto [name, level] : { std::pair { "A.xml", 1.0f }, { "b.xml", 2.0f }, { "Live/x.xml", 3.0f } })
        PresetFolders::write (s.user (name), level);

    s.library.setPresetPath ({});
    s.library.chooseStartPreset();
    s.library.switchToSlot (s.slot = startSlot);
    c.run (s);

    auto before = s.files();
    before.erase (c.shown);
    EXPECT_EQ (s.library.getCurrentPresetDisplayName() + ".xml", s.user (c.shown).getFileName()) << "what the bar shows";

    if (c.deleteIt)
    {
        juce::File named;
        ASSERT_EQ (s.library.checkDelete (named), KA::PresetLibrary::DeleteCheck::ask);
        ASSERT_EQ (named, s.user (c.shown));
        ASSERT_TRUE (s.library.deletePresetFile (named).wasOk());
        EXPECT_FALSE (named.exists());
    }
    else
    {
        setValue (s.processor, "Level", 9.0f);
        ASSERT_TRUE (s.library.save().wasOk());
        EXPECT_TRUE (s.user (c.shown).loadFileAsString().contains ("<PARAM id=\"Level\" value=\"9.0\"/>"));
    }

    auto after = s.files();
    after.erase (c.shown);
    EXPECT_EQ (after, before);
}

const WrongFileCase cases[] = {
    { "AfterSwitch", [] (Sequence& s) { s.load ("b.xml"); s.toOther(); s.load ("A.xml"); s.back(); }, "b.xml", false },
    // "=>" in the other slot stores A's state; switching back brings it, and its name, here.
    { "AfterStore", [] (Sequence& s) { s.load ("b.xml"); s.toOther(); s.load ("A.xml"); s.library.storeSnapshot(); s.back(); }, "A.xml", false },
    { "AfterSaveAsInTheOtherSlot", [] (Sequence& s) { s.load ("b.xml"); s.toOther(); ASSERT_TRUE (s.library.saveAs (s.user ("a0")).wasOk()); s.back(); }, "b.xml", false },
    { "AfterADeletionRenumbers", [] (Sequence& s) { s.load ("b.xml"); s.toOther(); s.load ("A.xml"); ASSERT_TRUE (s.library.deletePresetFile (s.user ("A.xml")).wasOk()); s.back(); }, "b.xml", false },
    { "AfterARebuildInsertsAFileBefore", [] (Sequence& s) { s.load ("b.xml"); PresetFolders::write (s.user ("B0.xml"), 5.0f); s.library.setPresetPath ({}); }, "b.xml", false },
    { "DeleteAfterSwitch", [] (Sequence& s) { s.load ("Live/x.xml"); s.toOther(); s.load ("b.xml"); s.back(); }, "Live/x.xml", true },
    { "DeleteAfterARebuild", [] (Sequence& s) { s.load ("b.xml"); PresetFolders::write (s.user ("B0.xml"), 5.0f); s.library.setPresetPath ({}); }, "b.xml", true },
};

INSTANTIATE_TEST_SUITE_P (Sequences, WrongFile, ::testing::Combine (::testing::ValuesIn (cases), ::testing::Values (0, 1)),
                          [] (const auto& p) { return std::string (std::get<0> (p.param).name) + (std::get<1> (p.param) == 0 ? "_SlotA" : "_SlotB"); });
} // namespace
