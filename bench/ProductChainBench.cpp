// The whole product chain per stereo frame, next to a chain of JUCE's dsp module
// doing the same work: two trims and Level as gains, seven peak filters, 4x (2x at
// 96 kHz) oversampled waveshaping on a 1024-point table, and a DC blocker.

#include "engine/RedeVaAudioProcessor.h"
#include "engine/dsp/SaturationCurve.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr int blockSize = 512;

void fillNoise (juce::AudioBuffer<float>& buffer)
{
    juce::Random random (1);
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, (random.nextFloat() * 2.0f - 1.0f) * 0.25f);
}

void productChain (benchmark::State& state)
{
    const double rate = (double) state.range (0);
    const juce::ScopedJuceInitialiser_GUI juce;
    RedeVaAudioProcessor processor;

    const float bandValues[] { 3.0f, -6.0f, 2.5f, 0.0f, 7.2f, -4.7f, 1.0f };
    for (int i = 0; i < RedeVaAudioProcessor::numBands; ++i)
    {
        auto* parameter = processor.parameters.getParameter (KA::parameterID (KA::bandParameter (i)));
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (bandValues[i]));
    }

    processor.setPlayConfigDetails (2, 2, rate, blockSize);
    processor.prepareToPlay (rate, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    fillNoise (buffer);

    for (auto _ : state)
    {
        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    state.SetItemsProcessed (state.iterations() * blockSize);
    state.counters["frames"] = benchmark::Counter (blockSize);
    state.counters["factor"] = processor.getOversamplingFactor();
}

void juceChain (benchmark::State& state)
{
    const double rate = (double) state.range (0);
    const size_t factorLog2 = rate > 100000.0 ? 0 : (rate > 50000.0 ? 1 : 2);

    using Filter = juce::dsp::ProcessorDuplicator<juce::dsp::IIR::Filter<float>, juce::dsp::IIR::Coefficients<float>>;
    juce::dsp::Gain<float> inputTrim, level, outputTrim;
    Filter bands[7];
    Filter dcBlocker;
    juce::dsp::WaveShaper<float, std::function<float (float)>> shaper;
    juce::dsp::LookupTableTransform<float> table ([] (float x) { return KA::saturationCurve (x); }, -1.0f, 1.0f, 1024);
    juce::dsp::Oversampling<float> oversampling (2, factorLog2, juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR, true);

    const juce::dsp::ProcessSpec spec { rate, (juce::uint32) blockSize, 2 };
    const double centres[] { 50, 120, 400, 500, 800, 4500, 10000 };
    const float gains[] { 3.0f, -6.0f, 2.5f, 0.0f, 7.2f, -4.7f, 1.0f };

    for (auto* g : { &inputTrim, &level, &outputTrim })
    {
        g->setRampDurationSeconds (0.05);
        g->prepare (spec);
        g->setGainDecibels (0.0f);
    }
    for (int i = 0; i < 7; ++i)
    {
        *bands[i].state = *juce::dsp::IIR::Coefficients<float>::makePeakFilter (rate, (float) centres[i], 1.0f,
                                                                               juce::Decibels::decibelsToGain (gains[i]));
        bands[i].prepare (spec);
    }
    *dcBlocker.state = *juce::dsp::IIR::Coefficients<float>::makeFirstOrderHighPass (rate, 10.0f);
    dcBlocker.prepare (spec);
    shaper.functionToUse = [&table] (float x) { return table.processSample (x); };
    oversampling.initProcessing ((size_t) blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    fillNoise (buffer);

    for (auto _ : state)
    {
        juce::dsp::AudioBlock<float> block (buffer);
        juce::dsp::ProcessContextReplacing<float> context (block);
        inputTrim.process (context);
        for (auto& band : bands)
            band.process (context);
        auto up = oversampling.processSamplesUp (block);
        shaper.process (juce::dsp::ProcessContextReplacing<float> (up));
        oversampling.processSamplesDown (block);
        dcBlocker.process (context);
        level.process (context);
        outputTrim.process (context);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    state.SetItemsProcessed (state.iterations() * blockSize);
    state.counters["frames"] = benchmark::Counter (blockSize);
    state.counters["factor"] = (double) (1 << factorLog2);
}
} // namespace

BENCHMARK (productChain)->Arg (44100)->Arg (48000)->Arg (96000);
BENCHMARK (juceChain)->Arg (44100)->Arg (48000)->Arg (96000);
