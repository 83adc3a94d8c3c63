// Per stereo frame at 48 kHz: our band chain and saturation stage next to the
// same work built from stock JUCE processors, with the ratio ours/JUCE.

#include "engine/dsp/BandDesign.h"
#include "engine/dsp/LatticeBand.h"
#include "engine/dsp/SaturationCurve.h"
#include "engine/dsp/SaturationStage.h"

#include <benchmark/benchmark.h>
#include <juce_dsp/juce_dsp.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;
const float bandGains[KA::numBands] = { 4.0f, -6.0f, 9.0f, -3.0f, 12.0f, -9.0f, 6.0f };

std::vector<float> noise (size_t n)
{
    std::mt19937 rng (1);
    std::uniform_real_distribution<float> dist (-0.5f, 0.5f);
    std::vector<float> v (n);
    for (auto& x : v)
        x = dist (rng);
    return v;
}

void setFrames (benchmark::State& state)
{
    state.SetItemsProcessed ((int64_t) state.iterations() * blockSize);
    state.counters["frames"] = benchmark::Counter (blockSize);
}

//==============================================================================
void oursBands (benchmark::State& state)
{
    juce::ScopedNoDenormals noDenormals;
    KA::LatticeBand bands[KA::numBands];
    KA::CoeffLattice<float>::Ptr up[KA::numBands], down[KA::numBands];

    for (int i = 0; i < KA::numBands; ++i)
    {
        const auto& info = KA::bandInfo (i);
        up[i] = KA::makePeakLattice (sampleRate, info.centreHz, KA::bandQ (i, KA::bandNormalisedValue (bandGains[i])), KA::decibelsToGain (bandGains[i]));
        down[i] = KA::makePeakLattice (sampleRate, info.centreHz, KA::bandQ (i, KA::bandNormalisedValue (-bandGains[i])), KA::decibelsToGain (-bandGains[i]));
        bands[i].setRampSeconds (0.05);
        bands[i].prepare (sampleRate);
        bands[i].setTargets (*up[i]);
        bands[i].reset();
    }

    const auto input = noise (2 * blockSize);
    auto run = input;
    bool flip = false;

    for (auto _ : state)
    {
        // A new target every block keeps every coefficient ramping all the time.
        flip = ! flip;
        for (int i = 0; i < KA::numBands; ++i)
            bands[i].setTargets (flip ? *down[i] : *up[i]);

        std::copy (input.begin(), input.end(), run.begin());
        KA::processLatticeBands (bands, KA::numBands, run.data(), blockSize);
        benchmark::DoNotOptimize (run.data());
    }

    setFrames (state);
}

void oursSaturation (benchmark::State& state)
{
    juce::ScopedNoDenormals noDenormals;
    KA::SaturationStage stage;
    stage.setGains (std::pow (10.0f, -0.75f), std::pow (10.0f, -0.05f), std::pow (10.0f, 0.95f));
    stage.setMixTarget (1.0f);
    stage.prepare (sampleRate, blockSize, (int) state.range (0));

    const auto input = noise (2 * blockSize);
    auto run = input;

    for (auto _ : state)
    {
        std::copy (input.begin(), input.end(), run.begin());
        stage.process (run.data(), blockSize);
        benchmark::DoNotOptimize (run.data());
    }

    setFrames (state);
}

//==============================================================================
using JuceFilter = juce::dsp::ProcessorDuplicator<juce::dsp::IIR::Filter<float>, juce::dsp::IIR::Coefficients<float>>;

struct PlanarBuffer
{
    PlanarBuffer() : buffer (2, blockSize), input (noise (2 * blockSize)) {}

    juce::dsp::AudioBlock<float> refill()
    {
        for (int c = 0; c < 2; ++c)
            std::copy (input.begin() + c * blockSize, input.begin() + (c + 1) * blockSize, buffer.getWritePointer (c));
        return juce::dsp::AudioBlock<float> (buffer);
    }

    juce::AudioBuffer<float> buffer;
    std::vector<float> input;
};

void juceBands (benchmark::State& state)
{
    juce::ScopedNoDenormals noDenormals;
    JuceFilter filters[KA::numBands];
    const juce::dsp::ProcessSpec spec { sampleRate, (juce::uint32) blockSize, 2 };

    for (int i = 0; i < KA::numBands; ++i)
    {
        const auto& info = KA::bandInfo (i);
        const auto q = KA::bandQ (i, KA::bandNormalisedValue (bandGains[i]));
        const auto g = KA::decibelsToGain (bandGains[i]);
        const auto w = 6.2831855f * info.centreHz;
        auto direct = KA::bilinearBiquad (sampleRate, info.centreHz, w * w * q, w * g, q, w * w * q, w, q);
        *filters[i].state = *direct;
        filters[i].prepare (spec);
    }

    PlanarBuffer buffer;

    for (auto _ : state)
    {
        auto block = buffer.refill();
        juce::dsp::ProcessContextReplacing<float> context (block);
        for (auto& f : filters)
            f.process (context);
        benchmark::DoNotOptimize (buffer.buffer.getWritePointer (0));
    }

    setFrames (state);
}

void juceSaturation (benchmark::State& state)
{
    juce::ScopedNoDenormals noDenormals;
    const auto factor = (int) state.range (0);
    const auto stages = factor == 4 ? 2 : factor == 2 ? 1 : 0;

    juce::dsp::LookupTableTransform<float> table;
    table.initialise ([] (float x) { return KA::saturationCurve (x); }, -1.0f, 1.0f, 1024);
    juce::dsp::WaveShaper<float, std::function<float (float)>> shaper { [&table] (float x) { return table.processSample (x); } };

    juce::dsp::Oversampling<float> oversampling (2, (size_t) stages, juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR);
    oversampling.initProcessing ((size_t) blockSize);

    JuceFilter dcBlocker;
    *dcBlocker.state = *KA::SaturationStage::designDcBlocker (sampleRate, std::pow (10.0f, -0.05f));
    dcBlocker.prepare ({ sampleRate, (juce::uint32) blockSize, 2 });

    PlanarBuffer buffer;

    for (auto _ : state)
    {
        auto block = buffer.refill();
        auto up = oversampling.processSamplesUp (block);
        shaper.process (juce::dsp::ProcessContextReplacing<float> (up));
        oversampling.processSamplesDown (block);
        dcBlocker.process (juce::dsp::ProcessContextReplacing<float> (block));
        benchmark::DoNotOptimize (buffer.buffer.getWritePointer (0));
    }

    setFrames (state);
}

//==============================================================================
/*  Passes every report on to the reporter --benchmark_format asks for and keeps
    each frame-counting benchmark's CPU time per frame for the table printed at
    the end. With --benchmark_repetitions the table reads the mean aggregate, the
    only figure left when --benchmark_report_aggregates_only drops the single runs.
*/
class SummaryReporter : public benchmark::BenchmarkReporter
{
public:
    explicit SummaryReporter (benchmark::BenchmarkReporter& displayToUse) : display (displayToUse) {}

    bool ReportContext (const Context& context) override   { return display.ReportContext (context); }
    void Finalize() override                                { display.Finalize(); }

    void ReportRuns (const std::vector<Run>& runs) override
    {
        display.ReportRuns (runs);

        for (const auto& run : runs)
        {
            if (run.error_occurred)
                continue;

            const auto frames = run.counters.find ("frames"); // other benchmarks share the binary

            if (frames == run.counters.end() || frames->second.value <= 0)
                continue;

            const auto isMean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
            auto& figure = nsPerFrame[run.run_name.str()];

            if (isMean || (run.run_type == Run::RT_Iteration && ! figure.fromMean))
                figure = { run.GetAdjustedCPUTime() / frames->second.value, isMean };
        }
    }

    void printSummary (std::FILE* out) const
    {
        // A benchmark that --benchmark_filter left out, or that failed, has no figure:
        // its side of a row shows "-", and a row or section with nothing that ran is
        // not printed, so a zero is never mistaken for a measurement.
        using Measured = std::optional<double>;

        auto get = [this] (const std::string& name) -> Measured
        {
            auto it = nsPerFrame.find (name);
            return it == nsPerFrame.end() ? Measured() : Measured (it->second.ns);
        };

        auto sum = [] (Measured a, Measured b) { return a && b ? Measured (*a + *b) : Measured(); };

        auto cell = [] (Measured value, const char* format)
        {
            char text[32] = "-";

            if (value)
                std::snprintf (text, sizeof (text), format, *value);

            return std::string (text);
        };

        struct Row
        {
            std::string what;
            Measured ours, theirs;
        };

        bool columnsPrinted = false;

        auto section = [&] (const std::string& heading, const std::vector<Row>& rows)
        {
            if (std::none_of (rows.begin(), rows.end(), [] (const Row& r) { return r.ours || r.theirs; }))
                return;

            std::fprintf (out, "\n%s\n", heading.c_str());

            if (! std::exchange (columnsPrinted, true))
                std::fprintf (out, "%-28s %10s %10s %8s\n", "work", "ours", "JUCE", "ratio");

            for (const auto& r : rows)
            {
                if (! r.ours && ! r.theirs)
                    continue;

                const auto ratio = r.ours && r.theirs ? Measured (*r.theirs > 0 ? *r.ours / *r.theirs : 0.0) : Measured();
                std::fprintf (out, "%-28s %10s %10s %8s\n", r.what.c_str(), cell (r.ours, "%.2f").c_str(),
                              cell (r.theirs, "%.2f").c_str(), cell (ratio, "%.3f").c_str());
            }
        };

        std::vector<Row> dsp { { "seven bands", get ("oursBands"), get ("juceBands") } };
        for (int f : { 1, 2, 4 })
            dsp.push_back ({ "saturation x" + std::to_string (f),
                             get ("oursSaturation/" + std::to_string (f)), get ("juceSaturation/" + std::to_string (f)) });
        dsp.push_back ({ "bands + saturation x4", sum (get ("oursBands"), get ("oursSaturation/4")),
                         sum (get ("juceBands"), get ("juceSaturation/4")) });
        section ("ns per stereo frame at 48 kHz, block " + std::to_string (blockSize), dsp);

        std::vector<Row> chain;
        for (const char* rate : { "44100", "48000", "96000" })
            chain.push_back ({ std::string ("product chain at ") + rate,
                               get (std::string ("productChain/") + rate), get (std::string ("juceChain/") + rate) });
        section ("ns per stereo frame, whole product chain (oversampling x4 / x2 / x1 by rate)", chain);
    }

private:
    struct Figure
    {
        double ns = 0.0;
        bool fromMean = false;
    };

    benchmark::BenchmarkReporter& display;
    std::map<std::string, Figure> nsPerFrame;
};
} // namespace

BENCHMARK (oursBands);
BENCHMARK (juceBands);
BENCHMARK (oursSaturation)->Arg (1)->Arg (2)->Arg (4);
BENCHMARK (juceSaturation)->Arg (1)->Arg (2)->Arg (4);

int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);

    std::unique_ptr<benchmark::BenchmarkReporter> display (benchmark::CreateDefaultDisplayReporter());
    SummaryReporter reporter (*display);
    benchmark::RunSpecifiedBenchmarks (&reporter);

    // JSON or CSV on the standard output stays machine-readable: the table goes beside it.
    const auto isConsole = dynamic_cast<benchmark::ConsoleReporter*> (display.get()) != nullptr;
    reporter.printSummary (isConsole ? stdout : stderr);

    benchmark::Shutdown();
    return 0;
}
