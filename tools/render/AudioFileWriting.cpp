#include "tools/render/AudioFileWriting.h"

namespace tarnwell::render
{
namespace
{
constexpr int framesPerStep = 1 << 16; // between progress reports

struct OutputFormat
{
    std::unique_ptr<juce::AudioFormat> format;
    int bitsPerSample = 0;
};

// WAV keeps the plug-in's floats; AIFF (which JUCE writes as integers only) and FLAC
// keep 24 bits, more than any converter resolves.
OutputFormat formatFor (const juce::File& target)
{
    if (target.hasFileExtension ("wav"))
        return { std::make_unique<juce::WavAudioFormat>(), 32 };
    if (target.hasFileExtension ("aiff;aif"))
        return { std::make_unique<juce::AiffAudioFormat>(), 24 };
#if JUCE_USE_FLAC
    if (target.hasFileExtension ("flac"))
        return { std::make_unique<juce::FlacAudioFormat>(), 24 };
#endif
    return {};
}

// Forwards to a stream the writer does not own.
class Forwarding final : public juce::OutputStream
{
public:
    explicit Forwarding (juce::OutputStream& destination) : to (destination) {}
    void flush() override { to.flush(); }
    bool setPosition (juce::int64 position) override { return to.setPosition (position); }
    juce::int64 getPosition() override { return to.getPosition(); }
    bool write (const void* data, size_t bytes) override { return to.write (data, bytes); }

private:
    juce::OutputStream& to;
};

juce::AudioChannelSet layoutOf (int numChannels)
{
    // A named layout makes JUCE write WAV's extensible header, which carries the float
    // subformat in full (the plain 16-byte one makes readers warn).
    return numChannels == 1 ? juce::AudioChannelSet::mono()
        : numChannels == 2  ? juce::AudioChannelSet::stereo()
                            : juce::AudioChannelSet::discreteChannels (numChannels);
}
} // namespace

juce::String whyNotAnAudioName (const juce::File& target)
{
    if (formatFor (target).format != nullptr)
        return {};
#if JUCE_USE_FLAC
    const char* names = ".wav, .aiff or .flac";
#else
    const char* names = ".wav or .aiff";
#endif
    return "cannot write " + target.getFullPathName() + ": the name should end in " + names
        + ", the format the tool writes";
}

AudioFileWriter::AudioFileWriter (const OutputFile& output, double sampleRate, int numChannels)
{
    const auto [format, bits] = formatFor (output.getTarget());
    file = std::make_unique<juce::FileOutputStream> (output.getTemporary());
    if (format == nullptr || ! file->openedOk())
        return;
    auto forwarding = std::make_unique<Forwarding> (*file);
    writer.reset (format->createWriterFor (forwarding.get(), sampleRate, layoutOf (numChannels), bits, {}, 0));
    if (writer != nullptr)
        forwarding.release(); // the writer owns it now
}

AudioFileWriter::~AudioFileWriter() = default;

bool AudioFileWriter::write (const juce::AudioBuffer<float>& audio, int start, int numFrames)
{
    failed = failed || writer == nullptr || ! writer->writeFromAudioSampleBuffer (audio, start, numFrames);
    return ! failed;
}

bool AudioFileWriter::finish()
{
    if (writer == nullptr)
        return false;
    // (flush() says false for formats that can't flush mid-file, as AIFF and FLAC.)
    writer.reset(); // rewrites the header's lengths; FLAC's last frames and stream information
    file->flush();
    failed = failed || file->getStatus().failed();
    return ! failed;
}

bool writeAudioFile (OutputFile& output, const juce::AudioBuffer<float>& audio, double sampleRate,
                     const ProgressCallback& progress)
{
    AudioFileWriter writer (output, sampleRate, audio.getNumChannels());
    for (int start = 0; start < audio.getNumSamples(); start += framesPerStep)
    {
        const int frames = juce::jmin (framesPerStep, audio.getNumSamples() - start);
        if (! writer.write (audio, start, frames))
            return false;
        if (progress)
            progress (double (start + frames) / audio.getNumSamples());
    }
    return writer.finish() && output.commit();
}
} // namespace tarnwell::render
