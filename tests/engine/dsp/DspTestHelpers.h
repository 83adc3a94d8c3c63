#pragma once

#include <cmath>
#include <complex>
#include <random>
#include <vector>

// Reference maths for the DSP tests, in double precision and written from the
// filters' mathematical meaning, never by calling the code under test.
namespace KA::Test
{

using Complex = std::complex<double>;
constexpr double pi = 3.14159265358979323846;

inline double toDb (double x) { return 20.0 * std::log10 (x); }

/** The bands' centres and Q ranges as the product documents them; Q grows with |dB|. */
const double bandCentres[] = { 50, 120, 400, 500, 800, 4500, 10000 };
inline double referenceQ (int band, double dB)
{
    const double qMin[] = { 0.6, 0.6, 0.5, 0.1, 0.1, 0.1, 0.1 };
    const double qMax[] = { 3.0, 2.1, 1.56, 0.94, 0.54, 0.54, 0.83 };
    return qMin[band] + (qMax[band] - qMin[band]) * std::abs (dB) / 15.0;
}

/** Second-order section in double, b0..b2 / 1, a1, a2. */
struct Biquad
{
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;

    std::vector<double> filter (std::vector<double> x) const
    {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (auto& v : x)
        {
            const double y = b0 * v + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1; x1 = v; y2 = y1; y1 = v = y;
        }
        return x;
    }

    std::vector<double> impulse (int n) const
    {
        std::vector<double> delta ((size_t) n, 0.0);
        return delta[0] = 1.0, filter (std::move (delta));
    }
};

/** Bilinear constant pre-warped at the centre frequency, clamped just below Nyquist. */
inline double prewarpedK (double fs, double fc)
{
    const double fw = std::min (fc, 0.9975 * fs / 2.0);
    return 2.0 * pi * fw / std::tan (pi * fw / fs);
}

/** Analog peaking prototype: gain g at fc, bandwidth from Q; a cut is the boost's reciprocal. */
inline Complex analogPeak (Complex s, double fc, double q, double g)
{
    const double w = 2.0 * pi * fc;
    const Complex num = w * w * q + (g >= 1 ? w * g : w) * s + q * s * s;
    const Complex den = w * w * q + (g >= 1 ? w : w / g) * s + q * s * s;
    return num / den;
}

/** The peaking prototype mapped through the bilinear transform, as a double biquad. */
inline Biquad digitalPeak (double fs, double fc, double q, double g)
{
    const double w = 2.0 * pi * fc, K = prewarpedK (fs, fc);
    const double nb[3] = { w * w * q, g >= 1 ? w * g : w, q };
    const double na[3] = { w * w * q, g >= 1 ? w : w / g, q };
    const double D = na[0] + K * na[1] + K * K * na[2];
    Biquad b;
    b.b0 = (nb[0] + K * nb[1] + K * K * nb[2]) / D;
    b.b1 = 2.0 * (nb[0] - K * K * nb[2]) / D;
    b.b2 = (nb[0] - K * nb[1] + K * K * nb[2]) / D;
    b.a1 = 2.0 * (na[0] - K * K * na[2]) / D;
    b.a2 = (na[0] - K * na[1] + K * K * na[2]) / D;
    return b;
}

/** Second-order Butterworth low-pass at fc for rate fs. */
inline Biquad butterworthLowPass (double fs, double fc)
{
    const double K = std::tan (pi * fc / fs), r2 = std::sqrt (2.0);
    const double D = 1.0 + r2 * K + K * K;
    Biquad b;
    b.b0 = K * K / D; b.b1 = 2.0 * b.b0; b.b2 = b.b0;
    b.a1 = 2.0 * (K * K - 1.0) / D;
    b.a2 = (1.0 - r2 * K + K * K) / D;
    return b;
}

/** DTFT of a sequence at omega (radians per sample). */
inline Complex dtft (const std::vector<double>& h, double omega)
{
    const auto z = std::polar (1.0, -omega);
    Complex sum = 0;
    for (size_t n = h.size(); n-- > 0;)
        sum = sum * z + h[n];
    return sum;
}

/** Amplitude of the component at omega in x[begin..end), by least squares on sin and cos. */
inline double toneAmplitude (const std::vector<double>& x, size_t begin, size_t end, double omega)
{
    double ss = 0, cc = 0, sc = 0, xs = 0, xc = 0;
    for (size_t n = begin; n < end; ++n)
    {
        const double s = std::sin (omega * (double) n), c = std::cos (omega * (double) n);
        ss += s * s; cc += c * c; sc += s * c; xs += x[n] * s; xc += x[n] * c;
    }
    const double det = ss * cc - sc * sc;
    const double A = (xs * cc - xc * sc) / det, B = (xc * ss - xs * sc) / det;
    return std::hypot (A, B);
}

inline std::vector<float> whiteNoise (size_t n, float amplitude, unsigned seed)
{
    std::mt19937 rng (seed);
    std::uniform_real_distribution<float> dist (-amplitude, amplitude);
    std::vector<float> v (n);
    for (auto& x : v)
        x = dist (rng);
    return v;
}

} // namespace KA::Test
