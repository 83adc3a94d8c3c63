#pragma once

#include <juce_data_structures/juce_data_structures.h>

#include <functional>

namespace KA
{
/** The program's two settings files, the shell's and the processor's global one: the
    options they share, and opening and saving them so that a damaged or unwritable
    file is never lost in silence. */
struct SettingsFile
{
    /** JUCE's XML properties format, saved 3000 ms after a change, per user, without a
        process lock (a save writes a temporary file and renames it over the old one, so
        no reader sees half a file); only the name and the macOS folder differ.
        The suffix is given without a dot: JUCE then appends it to the whole name, where
        ".settings" would replace whatever follows a dot in the name. */
    static juce::PropertiesFile::Options makeOptions (const juce::String& applicationName,
                                                     const juce::String& osxLibrarySubFolder);

    using Report = std::function<void (const juce::String&)>;

    /** Writes one line to standard error. */
    static void reportOnStandardError (const juce::String& message);

    /** Gives the properties these options and opens the file, after the checks JUCE does
        not make: temporary files left by an interrupted save are removed, and a file that
        does not pass the XML guard is moved aside, bytes intact, to a sibling named
        "<file name>.damaged-<date>-<time>", and reported, so the run starts with defaults
        for that file only. A damaged file that cannot be moved is not used at all. */
    static void open (juce::ApplicationProperties& properties, const juce::PropertiesFile::Options& options,
                      const Report& report = reportOnStandardError);

    /** Saves the file if it changed; a failure is reported with the path and the reason. */
    static bool save (juce::ApplicationProperties& properties, const Report& report = reportOnStandardError);
};
} // namespace KA
