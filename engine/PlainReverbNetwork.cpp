#include "engine/PlainReverbNetwork.h"

#include <cmath>

namespace tarnwell
{
PlainReverbNetwork::PlainReverbNetwork() noexcept : matrix (buildFeedbackMatrix (matrixRotation))
{
    for (int i = 0; i < numLines; ++i)
    {
        for (auto& v : lines[i].buffer)
            v = 0;
        lines[i].writePosition = lines[i].readPosition = 0;
        lines[i].length = lineLength (i);
    }
}

void PlainReverbNetwork::process (const NetworkCoefficients& k, float* left, float* right, int numFrames) noexcept
{
    for (int i = 0; i < numLines; ++i)
        filters[i].setCoefficients ({ k.b0[i], k.b1[i], k.a1[i] });
    if (k.rotation.c != matrixRotation.c || k.rotation.s != matrixRotation.s)
    {
        matrixRotation = k.rotation;
        matrix = buildFeedbackMatrix (matrixRotation);
    }

    const auto mix = static_cast<double> (k.mix);

    for (int n = 0; n < numFrames; ++n)
    {
        const auto finiteOrSilence = [] (float x) { return std::isfinite (x) ? double (x) : 0.0; };
        const double xL = finiteOrSilence (left[n]);
        const double xR = right != nullptr ? finiteOrSilence (right[n]) : 0.0;

        double d[numLines];
        for (int i = 0; i < numLines; ++i)
            d[i] = lines[i].buffer[lines[i].readPosition];

        double wetL = 0, wetR = 0;
        for (int j = 0; j < numLines; ++j)
        {
            double s = 0;
            for (int i = 0; i < numLines; ++i)
                s += matrix[static_cast<size_t> (j * numLines + i)] * d[i];

            wetL += double (leftOutputGain[j]) * s;
            wetR += double (rightOutputGain[j]) * s;

            double v = s + double (leftInputGain[j]) * xL;
            if (right != nullptr)
                v += double (rightInputGain[j]) * xR;

            auto& line = lines[j];
            line.buffer[line.writePosition] = filters[j].process (v);
        }

        for (auto& line : lines)
        {
            if (--line.writePosition < 0)
                line.writePosition = ringSize - 1;
            line.readPosition = (line.writePosition + line.length) & ringMask;
        }

        left[n] = static_cast<float> (xL * (1.0 - mix) + mix * double (wetScale) * wetL);
        if (right != nullptr)
            right[n] = static_cast<float> (xR * (1.0 - mix) + mix * double (wetScale) * wetR);
    }
}
} // namespace tarnwell
