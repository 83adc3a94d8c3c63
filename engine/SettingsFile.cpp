#include "engine/SettingsFile.h"

#include "engine/xml/GuardedXml.h"

#include <iostream>

namespace KA
{
namespace
{
    // juce::TemporaryFile names its file "<name>_temp<hex digits><extension>" beside the target.
    void removeStaleTemporaryFiles (const juce::File& file)
    {
        const auto prefix = file.getFileNameWithoutExtension() + "_temp";
        const auto extension = file.getFileExtension();

        for (const auto& candidate : file.getParentDirectory().findChildFiles (juce::File::findFiles, false,
                                                                                prefix + "*" + extension))
        {
            const auto name = candidate.getFileName();
            const auto middle = name.substring (prefix.length(), name.length() - extension.length());

            if (middle.isNotEmpty() && middle.containsOnly ("0123456789abcdefABCDEF"))
                candidate.deleteFile();
        }
    }

    juce::String describeWriteFailure (const juce::File& file)
    {
        if (const auto folder = file.getParentDirectory().createDirectory(); folder.failed())
            return "its folder " + file.getParentDirectory().getFullPathName() + " cannot be made: " + folder.getErrorMessage();

        if (file.isDirectory())
            return "a folder of that name is in the way";

        juce::TemporaryFile probe (file);
        juce::FileOutputStream out (probe.getFile());

        if (out.failedToOpen())
            return out.getStatus().getErrorMessage();

        return "the file could not be written";
    }
} // namespace

juce::PropertiesFile::Options SettingsFile::makeOptions (const juce::String& applicationName,
                                                         const juce::String& osxLibrarySubFolder)
{
    juce::PropertiesFile::Options options;
    options.applicationName = applicationName;
    options.filenameSuffix = "settings";
    options.folderName = {};
    options.osxLibrarySubFolder = osxLibrarySubFolder;
    options.commonToAllUsers = false;
    options.ignoreCaseOfKeyNames = false;
    options.doNotSave = false;
    options.millisecondsBeforeSaving = 3000;
    options.storageFormat = juce::PropertiesFile::storeAsXML;
    options.processLock = nullptr;
    return options;
}

void SettingsFile::reportOnStandardError (const juce::String& message)
{
    std::cerr << message << std::endl;
}

void SettingsFile::open (juce::ApplicationProperties& properties, const juce::PropertiesFile::Options& options,
                         const Report& report)
{
    const auto file = options.getDefaultFile();
    removeStaleTemporaryFiles (file);

    // juce::PropertiesFile parses the file as it is constructed, so the guard comes first.
    if (file.existsAsFile() && ! GuardedXml::checkFile (file, GuardedXml::Shape::settingsFile))
    {
        const auto name = file.getFileName() + ".damaged-" + juce::Time::getCurrentTime().formatted ("%Y%m%d-%H%M%S");
        auto aside = file.getSiblingFile (name);

        for (int i = 2; aside.exists(); ++i)
            aside = file.getSiblingFile (name + "-" + juce::String (i));

        if (! file.moveFileTo (aside))
        {
            report ("The settings file " + file.getFullPathName() + " cannot be read and cannot be moved aside;"
                    " this run neither reads nor writes it.");
            return;
        }

        report ("The settings file " + file.getFullPathName() + " could not be read; it was moved to "
                + aside.getFullPathName() + " and the defaults are used.");
    }

    properties.setStorageParameters (options);
    properties.getUserSettings();
}

bool SettingsFile::save (juce::ApplicationProperties& properties, const Report& report)
{
    if (properties.saveIfNeeded())
        return true;

    const auto file = properties.getStorageParameters().getDefaultFile();
    report ("The settings file " + file.getFullPathName() + " could not be saved: " + describeWriteFailure (file) + ".");
    return false;
}
} // namespace KA
