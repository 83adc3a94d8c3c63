#include "shell/StandaloneFilterApp.h"

static juce::JUCEApplicationBase* createApplication()
{
    return new KA::StandaloneFilterApp();
}

int main (int argc, char* argv[])
{
    juce::JUCEApplicationBase::createInstance = &createApplication;
    return juce::JUCEApplicationBase::main (argc, const_cast<const char**> (argv));
}
