#pragma once

#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

namespace tarnwell::test
{
// A JACK client of the test's own, on a named server: it plays a noise burst into another
// client's inputs and records that client's outputs, sample for sample in the same cycles.
class JackLoop
{
public:
    // Waits up to `timeout` for the server to accept clients.
    JackLoop (const std::string& serverName, std::chrono::milliseconds timeout);
    ~JackLoop();

    JackLoop (const JackLoop&) = delete;
    JackLoop& operator= (const JackLoop&) = delete;

    bool isOpen() const { return client != nullptr; }
    double sampleRate() const;
    bool hasPort (const std::string& name) const;

    struct Recording
    {
        std::vector<float> left, right;
        size_t burstStart = 0, burstEnd = 0; // frames, as played
        size_t period = 0; // frames per JACK cycle
    };

    // Connects to `target`'s in_L/in_R and out_L/out_R, plays `burstSeconds` of noise after a
    // short lead-in and records until `totalSeconds`. Empty if it could not connect or finish.
    Recording playBurstThrough (const std::string& target, double burstSeconds, double totalSeconds,
                                std::chrono::milliseconds timeout);

private:
    static int process (jack_nframes_t frames, void* self);
    void run (jack_nframes_t frames);

    jack_client_t* client = nullptr;
    jack_port_t* burstPorts[2] {};
    jack_port_t* recordPorts[2] {};

    // Filled before `armed` is set, then touched by the process callback only until it
    // sets `finished`.
    std::vector<float> burst;
    Recording recording;
    size_t frame = 0;
    std::atomic<bool> armed { false }, finished { false };
};
} // namespace tarnwell::test
