#pragma once

namespace KA
{
class PluginProcessor;

/** Parses the five built-in preset documents and hands them, named, to the
    processor in their fixed order. A document that does not parse is skipped. */
void addFactoryPresets (PluginProcessor& processor);
} // namespace KA
