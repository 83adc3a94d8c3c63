# JUCE's modules compile once into ka_juce; the engine, user interface, shell,
# tests and benchmarks link it instead of compiling the module sources again.
add_library(ka_juce STATIC)

target_link_libraries(ka_juce
    PRIVATE
        juce::juce_core
        juce::juce_events
        juce::juce_data_structures
        juce::juce_graphics
        juce::juce_gui_basics
        juce::juce_gui_extra
        juce::juce_audio_basics
        juce::juce_audio_devices
        juce::juce_audio_formats
        juce::juce_audio_processors
        juce::juce_audio_utils
        juce::juce_dsp
    PUBLIC
        juce::juce_recommended_config_flags
        juce::juce_recommended_warning_flags)

target_compile_definitions(ka_juce
    PUBLIC
        JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
        JUCE_STANDALONE_APPLICATION=1
        JUCE_DISPLAY_SPLASH_SCREEN=0
        JUCE_REPORT_APP_USAGE=0
        JUCE_USE_FLAC=0
        JUCE_USE_OGGVORBIS=0
        JUCE_USE_MP3AUDIOFORMAT=0
        JUCE_WEB_BROWSER=0
        JUCE_USE_CURL=1
        JUCE_LOAD_CURL_SYMBOLS_LAZILY=0
        JUCE_MODAL_LOOPS_PERMITTED=1
        JUCE_ALSA=1
        JUCE_JACK=1
        JUCE_APPLICATION_NAME_STRING="${PROJECT_NAME}"
        JUCE_APPLICATION_VERSION_STRING="${PROJECT_VERSION}")

# Hand the modules' include paths and definitions to everything that links ka_juce.
# The paths are system ones, so a warning about JUCE's headers never shows in our
# build and a warning that does show is about our code.
target_include_directories(ka_juce SYSTEM INTERFACE
    $<TARGET_PROPERTY:ka_juce,INCLUDE_DIRECTORIES>)
target_compile_definitions(ka_juce INTERFACE
    $<TARGET_PROPERTY:ka_juce,COMPILE_DEFINITIONS>)

find_package(PkgConfig REQUIRED)
# Debian's JUCE uses the system's image libraries and leaves linking them, and
# curl, to the application.
target_link_libraries(ka_juce PUBLIC juce::pkgconfig_JUCE_CURL_LINUX_DEPS juce::pkgconfig_JUCE_IMG_LINUX_DEPS)

# The modules' own sources are not ours to fix: they are compiled without warnings.
# JUCE's recommended warnings still reach our own code through the PUBLIC link.
target_compile_options(ka_juce PRIVATE -w)
set_target_properties(ka_juce PROPERTIES CXX_VISIBILITY_PRESET hidden)
