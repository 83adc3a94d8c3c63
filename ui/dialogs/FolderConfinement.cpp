#include "ui/dialogs/FolderConfinement.h"

#include <climits>
#include <deque>
#include <sys/stat.h>
#include <unistd.h>

namespace KA
{
namespace
{
    // The same bound the kernel puts on one lookup.
    constexpr int maxLinksFollowed = 40;

    void pushComponentsInFront (std::deque<juce::String>& queue, const juce::String& path)
    {
        auto parts = juce::StringArray::fromTokens (path, "/", {});
        for (int i = parts.size(); --i >= 0;)
            queue.push_front (parts[i]);
    }

    juce::String joined (const juce::StringArray& components)
    {
        return "/" + components.joinIntoString ("/");
    }
} // namespace

juce::File resolveLinks (const juce::File& file)
{
    const auto path = file.getFullPathName();
    if (! path.startsWithChar ('/'))
        return {};

    // Walks the path the way the kernel does, one component at a time, so a
    // ".." after a link leaves the link's target, not the link.
    std::deque<juce::String> queue;
    pushComponentsInFront (queue, path);
    juce::StringArray resolved;
    int linksFollowed = 0;

    while (! queue.empty())
    {
        const auto component = queue.front();
        queue.pop_front();

        if (component.isEmpty() || component == ".")
            continue;

        if (component == "..")
        {
            resolved.strings.removeLast();
            continue;
        }

        resolved.add (component);
        const auto candidate = joined (resolved);

        struct stat info;
        if (::lstat (candidate.toRawUTF8(), &info) != 0 || ! S_ISLNK (info.st_mode))
            continue;

        char target[PATH_MAX];
        const auto length = ::readlink (candidate.toRawUTF8(), target, sizeof (target) - 1);

        if (length <= 0 || ++linksFollowed > maxLinksFollowed)
            return {};

        const auto targetPath = juce::String::fromUTF8 (target, (int) length);
        resolved.strings.removeLast();

        if (targetPath.startsWithChar ('/'))
            resolved.clear();

        pushComponentsInFront (queue, targetPath);
    }

    return juce::File (joined (resolved));
}

bool isInsideFolder (const juce::File& file, const juce::File& folder)
{
    const auto resolvedFolder = resolveLinks (folder);
    const auto resolvedFile = resolveLinks (file);

    return resolvedFolder != juce::File() && resolvedFile != juce::File()
        && resolvedFile.isAChildOf (resolvedFolder);
}

juce::String literalRelativePath (const juce::String& relativePath)
{
    return relativePath.startsWithChar ('~') ? "./" + relativePath : relativePath;
}

juce::File childFile (const juce::File& folder, const juce::String& relativePath)
{
    return folder.getChildFile (literalRelativePath (relativePath));
}

juce::File withExtension (const juce::File& file, const juce::String& extension)
{
    return childFile (file.getParentDirectory(), file.getFileNameWithoutExtension() + extension);
}
} // namespace KA
