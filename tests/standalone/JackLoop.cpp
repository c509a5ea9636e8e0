#include "tests/standalone/JackLoop.h"

#include <random>
#include <thread>

namespace tarnwell::test
{
JackLoop::JackLoop (const std::string& serverName, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (client == nullptr && std::chrono::steady_clock::now() < deadline)
    {
        jack_status_t status {};
        client = jack_client_open ("tarnwell_test", static_cast<jack_options_t> (JackNoStartServer | JackServerName),
                                   &status, serverName.c_str());
        if (client == nullptr)
            std::this_thread::sleep_for (std::chrono::milliseconds (200));
    }
    if (client == nullptr)
        return;

    const char* names[2][2] = { { "burst_L", "burst_R" }, { "record_L", "record_R" } };
    for (int channel = 0; channel < 2; ++channel)
    {
        burstPorts[channel] =
            jack_port_register (client, names[0][channel], JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        recordPorts[channel] =
            jack_port_register (client, names[1][channel], JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    }
    jack_set_process_callback (client, process, this);
    jack_activate (client);
}

JackLoop::~JackLoop()
{
    if (client != nullptr)
    {
        jack_deactivate (client);
        jack_client_close (client);
    }
}

double JackLoop::sampleRate() const
{
    return client != nullptr ? static_cast<double> (jack_get_sample_rate (client)) : 0.0;
}

bool JackLoop::hasPort (const std::string& name) const
{
    return client != nullptr && jack_port_by_name (client, name.c_str()) != nullptr;
}

JackLoop::Recording JackLoop::playBurstThrough (const std::string& target, double burstSeconds, double totalSeconds,
                                                std::chrono::milliseconds timeout)
{
    if (client == nullptr || armed.load())
        return {};

    const double rate = sampleRate();
    const auto total = static_cast<size_t> (totalSeconds * rate);
    recording = {};
    recording.left.assign (total, 0.0f);
    recording.right.assign (total, 0.0f);
    recording.burstStart = static_cast<size_t> (0.25 * rate);
    recording.burstEnd = recording.burstStart + static_cast<size_t> (burstSeconds * rate);
    recording.period = jack_get_buffer_size (client);
    burst.resize (recording.burstEnd - recording.burstStart);
    std::mt19937 random (18);
    std::uniform_real_distribution<float> noise (-0.5f, 0.5f);
    for (auto& sample : burst)
        sample = noise (random);

    const char* sides[2] = { "L", "R" };
    for (int channel = 0; channel < 2; ++channel)
    {
        const std::string in = target + ":in_" + sides[channel], out = target + ":out_" + sides[channel];
        if (jack_connect (client, jack_port_name (burstPorts[channel]), in.c_str()) != 0
            || jack_connect (client, out.c_str(), jack_port_name (recordPorts[channel])) != 0)
            return {};
    }

    frame = 0;
    finished.store (false);
    armed.store (true);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (! finished.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for (std::chrono::milliseconds (50));
    armed.store (false);
    // The callback no longer touches the recording once it has finished.
    return finished.load() ? recording : Recording {};
}

int JackLoop::process (jack_nframes_t frames, void* self)
{
    static_cast<JackLoop*> (self)->run (frames);
    return 0;
}

void JackLoop::run (jack_nframes_t frames)
{
    float* out[2];
    const float* in[2];
    for (int channel = 0; channel < 2; ++channel)
    {
        out[channel] = static_cast<float*> (jack_port_get_buffer (burstPorts[channel], frames));
        in[channel] = static_cast<const float*> (jack_port_get_buffer (recordPorts[channel], frames));
    }

    const bool recordingNow = armed.load() && ! finished.load();
    for (jack_nframes_t n = 0; n < frames; ++n)
    {
        float sample = 0.0f;
        if (recordingNow && frame < recording.left.size())
        {
            if (frame >= recording.burstStart && frame < recording.burstEnd)
                sample = burst[frame - recording.burstStart];
            recording.left[frame] = in[0][n];
            recording.right[frame] = in[1][n];
            ++frame;
        }
        out[0][n] = out[1][n] = sample;
    }
    if (recordingNow && frame >= recording.left.size())
        finished.store (true);
}
} // namespace tarnwell::test
