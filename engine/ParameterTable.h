#pragma once

// Every parameter of the product, named once. Plain constant data without JUCE,
// so the artwork generator can share it with the processors, the band design
// and the panel layout.

namespace KA
{

/** The parameters in the order they are created, which is the order hosts,
    the state tree and the parameter sweep of prepareToPlay see them: the
    series' three, the product's eight, and "power", which the processor base
    adds last. */
enum class ParameterIndex
{
    inputTrimmer,
    outputTrimmer,
    analogPower,
    level,
    band50Hz,
    band120Hz,
    band400Hz,
    band500Hz,
    band800Hz,
    band4e5kHz,
    band10kHz,
    power
};

/** The JUCE parameter class a row is built as, and how its value reads. */
enum class ParameterKind
{
    trim,  // juce::AudioParameterFloat, "-oo" below -119, else one decimal and " dB"
    level, // JUCE's value-tree-state parameter, "-oo" below -119, else one decimal
    band,  // JUCE's value-tree-state parameter, one decimal
    toggle // juce::AudioParameterBool; the range is unused
};

struct ParameterInfo
{
    const char* id;
    const char* name;
    const char* label;
    ParameterKind kind;
    float start, end, interval, skew;
    float defaultValue; // real value; a toggle's is 0 or 1

    // Bands only: the centre frequency and the Q at 0 dB and at either end of the range.
    float centreHz = 0.0f, qMin = 0.0f, qMax = 0.0f;
};

inline constexpr ParameterInfo parameterTable[] =
{
    { "InputTrimmer",  "Input Trimmer",  "",   ParameterKind::trim,   -15.0f, 15.0f, 0.1f, 1.0f,      0.0f },
    { "OutputTrimmer", "Output Trimmer", "",   ParameterKind::trim,   -15.0f, 15.0f, 0.1f, 1.0f,      0.0f },
    { "AnalogPower",   "Analog Power",   "",   ParameterKind::toggle,   0.0f,  1.0f, 1.0f, 1.0f,      1.0f },
    // The skew puts 0 dB at the middle of the travel: (120 / 132) ^ skew = 0.5.
    { "Level",         "Level",          "dB", ParameterKind::level, -120.0f, 12.0f, 0.1f, 7.272543f, 0.0f },
    { "50Hz",          "50 Hz",          "dB", ParameterKind::band,   -15.0f, 15.0f, 0.1f, 1.0f,      0.0f,    50.0f, 0.6f, 3.0f  },
    { "120Hz",         "120 Hz",         "dB", ParameterKind::band,   -15.0f, 15.0f, 0.1f, 1.0f,      0.0f,   120.0f, 0.6f, 2.1f  },
    { "400Hz",         "400 Hz",         "dB", ParameterKind::band,   -15.0f, 15.0f, 0.1f, 1.0f,      0.0f,   400.0f, 0.5f, 1.56f },
    { "500Hz",         "500 Hz",         "dB", ParameterKind::band,   -15.0f, 15.0f, 0.1f, 1.0f,      0.0f,   500.0f, 0.1f, 0.94f },
    { "800Hz",         "800 Hz",         "dB", ParameterKind::band,   -15.0f, 15.0f, 0.1f, 1.0f,      0.0f,   800.0f, 0.1f, 0.54f },
    { "4e5kHz",        "4.5 kHz",        "dB", ParameterKind::band,   -15.0f, 15.0f, 0.1f, 1.0f,      0.0f,  4500.0f, 0.1f, 0.54f },
    { "10kHz",         "10 kHz",         "dB", ParameterKind::band,   -15.0f, 15.0f, 0.1f, 1.0f,      0.0f, 10000.0f, 0.1f, 0.83f },
    { "power",         "Power",          "",   ParameterKind::toggle,   0.0f,  1.0f, 1.0f, 1.0f,      1.0f },
};

constexpr int numParameters = (int) (sizeof (parameterTable) / sizeof (parameterTable[0]));
constexpr int numBands = (int) ParameterIndex::band10kHz - (int) ParameterIndex::band50Hz + 1;

static_assert (numParameters == (int) ParameterIndex::power + 1, "one row per index");

constexpr const ParameterInfo& parameterInfo (ParameterIndex index) noexcept
{
    return parameterTable[(int) index];
}

constexpr const char* parameterID (ParameterIndex index) noexcept
{
    return parameterInfo (index).id;
}

/** Band 0 (50 Hz) to numBands - 1 (10 kHz), in the order the chain runs them. */
constexpr ParameterIndex bandParameter (int band) noexcept
{
    return (ParameterIndex) ((int) ParameterIndex::band50Hz + band);
}

/** The band of a parameter, or -1 for one that is no band. */
constexpr int bandOf (ParameterIndex index) noexcept
{
    const auto band = (int) index - (int) ParameterIndex::band50Hz;
    return band >= 0 && band < numBands ? band : -1;
}

constexpr const ParameterInfo& bandInfo (int band) noexcept
{
    return parameterInfo (bandParameter (band));
}

} // namespace KA
