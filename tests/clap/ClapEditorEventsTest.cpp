// The CLAP glue in process: what the editor's changes and gestures become for the host.

#include "host/clap/ClapParameterModel.h"
#include "host/clap/ClapPlugin.h"
#include "tools/clap_host/ClapHost.h"

#include <gtest/gtest.h>

using namespace tarnwell;
using Received = clapHost::ReceivedEvents::Received;

namespace
{
struct Made
{
    clapHost::HostRecord host;
    const clap::Plugin* record = ClapPlugin::create (&host.host);
    ClapPlugin& plugin = *ClapPlugin::from (record);
    ClapParameterModel model { plugin };

    Made() { record->init (record); }
    ~Made() { record->destroy (record); }

    std::vector<Received> flushed()
    {
        clapHost::ReceivedEvents out;
        const clapHost::EventList none;
        plugin.flush (none.get(), &out.list);
        return out.received;
    }
};

} // namespace

// A drag brackets its values with gesture events, in order, in the parameter's unit: at the
// next flush (which the host is asked for) when not processing, with the next block when it is.
TEST (ClapEditorEvents, GesturesAndValuesReachTheHostInOrder)
{
    Made made;
    made.model.beginGesture (3);
    made.model.set (3, 0.6f);
    made.model.endGesture (3);
    EXPECT_EQ (made.host.flushRequests, 3);
    EXPECT_FLOAT_EQ (made.model.value (3), 0.6f);
    EXPECT_EQ (made.model.text (3), "60.00%");
    const std::vector<Received> drag { { clap::eventParamGestureBegin, 3, 0.0 },
                                       { clap::eventParamValue, 3, static_cast<double> (0.6f) * 100.0 },
                                       { clap::eventParamGestureEnd, 3, 0.0 } };
    EXPECT_EQ (made.flushed(), drag);
    EXPECT_TRUE (made.flushed().empty()); // each event once

    ASSERT_TRUE (made.record->activate (made.record, 48000, 1, 64));
    ASSERT_TRUE (made.record->startProcessing (made.record));
    made.model.beginGesture (0);
    made.model.set (0, 0.5f);
    made.model.endGesture (0);
    EXPECT_EQ (made.host.flushRequests, 3); // the block takes them

    std::vector<std::vector<float>> audio (2, std::vector<float> (64, 0.0f));
    float* channels[] = { audio[0].data(), audio[1].data() };
    clap::AudioBuffer buffer { channels, nullptr, 2, 0, 0 };
    clapHost::ReceivedEvents out;
    const clapHost::EventList none;
    clap::Process process {};
    process.framesCount = 64;
    process.audioInputs = &buffer;
    process.audioOutputs = &buffer;
    process.audioInputsCount = process.audioOutputsCount = 1;
    process.inEvents = none.get();
    process.outEvents = &out.list;
    EXPECT_EQ (made.record->process (made.record, &process), clap::processContinue);
    EXPECT_EQ (out.received,
               (std::vector<Received> { { clap::eventParamGestureBegin, 0, 0.0 },
                                        { clap::eventParamValue, 0, 5.0 },
                                        { clap::eventParamGestureEnd, 0, 0.0 } }));
    made.record->stopProcessing (made.record);
    made.record->deactivate (made.record);
}

// A host that never takes them: the ring keeps the oldest 256 and drops the rest, which the
// host reads back as values anyway; nothing is lost out of order.
TEST (ClapEditorEvents, AFullRingKeepsTheOldestInOrder)
{
    Made made;
    for (int i = 0; i < 300; ++i)
        made.model.set (4, static_cast<float> (i) / 1000.0f);
    const auto sent = made.flushed();
    ASSERT_EQ (sent.size(), 256u);
    for (size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ (sent[i].value, static_cast<double> (static_cast<float> (i) / 1000.0f) * 100.0) << i;
    EXPECT_FLOAT_EQ (made.model.value (4), 0.299f);
    made.model.set (4, 0.5f);
    EXPECT_EQ (made.flushed().size(), 1u);
}
