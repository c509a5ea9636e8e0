// Parameter changes and gestures made on the editor's parameter model reach the host as
// automation and edit brackets. Runs the binding in process, since a host cannot reach the
// model through the ABI.

#include "host/vst2/VstEffect.h"

#include <gtest/gtest.h>

#include <mutex>
#include <utility>
#include <vector>

namespace
{
struct Received
{
    const AEffect* effect;
    int opcode, index;
    float value;
    bool operator== (const Received& o) const
    {
        return effect == o.effect && opcode == o.opcode && index == o.index && value == o.value;
    }
};

std::mutex receivedLock;
std::vector<Received> received;
std::vector<float> readDuringAutomate; // what getParameter gave from inside each audioMasterAutomate

VstIntPtr host (AEffect* effect, int opcode, int index, VstIntPtr, void*, float opt)
{
    if (opcode == audioMasterVersion)
        return 2400;
    // Hosts commonly read the value back while they are told of it.
    const float readBack = opcode == audioMasterAutomate ? effect->getParameter (effect, index) : 0.0f;
    const std::lock_guard g (receivedLock);
    received.push_back ({ effect, opcode, index, opt });
    if (opcode == audioMasterAutomate)
        readDuringAutomate.push_back (readBack);
    return 0;
}

std::vector<Received> take()
{
    const std::lock_guard g (receivedLock);
    return std::exchange (received, {});
}

struct Instance
{
    Instance() : binding (tarnwell::VstEffect::create (&host)), effect (binding->getAEffect()) {}
    ~Instance() { effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f); }
    tarnwell::VstEffect* binding;
    AEffect* effect;
};

TEST (HostNotification, EditorStyleChangesBecomeAutomationInsideEditBrackets)
{
    Instance a, b;
    take();

    auto& model = a.binding->parameterModel();
    model.beginGesture (3);
    model.set (3, 0.6f);
    model.set (3, 0.7f);
    model.endGesture (3);

    const std::vector<Received> expected {
        { a.effect, audioMasterBeginEdit, 3, 0.0f },
        { a.effect, audioMasterAutomate, 3, 0.6f },
        { a.effect, audioMasterAutomate, 3, 0.7f },
        { a.effect, audioMasterEndEdit, 3, 0.0f },
    };
    EXPECT_EQ (take(), expected);
    EXPECT_EQ (std::exchange (readDuringAutomate, {}), (std::vector<float> { 0.6f, 0.7f })) << "the new value, already";
    EXPECT_EQ (a.effect->getParameter (a.effect, 3), 0.7f);
    EXPECT_EQ (b.effect->getParameter (b.effect, 3), 0.25f);
}

TEST (HostNotification, HostSideChangesAreNotEchoedBack)
{
    Instance a;
    take();

    a.effect->setParameter (a.effect, 1, 0.4f);
    // What the editor shows follows the host.
    EXPECT_EQ (a.binding->parameterModel().value (1), 0.4f);
    EXPECT_EQ (a.binding->parameterModel().text (1), "4.00 sec");
    void* chunk = nullptr;
    const auto size = a.effect->dispatcher (a.effect, effGetChunk, 0, 0, &chunk, 0.0f);
    if (size > 0)
        a.effect->dispatcher (a.effect, effSetChunk, 0, size, chunk, 0.0f);
    a.effect->dispatcher (a.effect, effMainsChanged, 0, 1, nullptr, 0.0f);

    for (const auto& r : take())
        EXPECT_NE (r.opcode, audioMasterAutomate) << "for parameter " << r.index;
}
} // namespace
