// Several instances in one loaded library, on several threads, and with no display at all.

#include "TestHost.h"

#include <dirent.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <memory>
#include <thread>

#if defined(__SANITIZE_THREAD__)
#define TARNWELL_UNDER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TARNWELL_UNDER_TSAN 1
#endif
#endif
#ifndef TARNWELL_UNDER_TSAN
#define TARNWELL_UNDER_TSAN 0
#endif

using namespace tarnwell::testhost;

namespace
{
int threadCount()
{
    int count = 0;
    if (DIR* dir = opendir ("/proc/self/task"))
    {
        while (auto* entry = readdir (dir))
            count += entry->d_name[0] != '.';
        closedir (dir);
    }
    return count;
}

float sumOfSquares (const std::vector<float>& v)
{
    float s = 0;
    for (float x : v)
        s += x * x;
    return s;
}

TEST (Instances, AreIndependent)
{
    PluginLibrary library;
    ASSERT_TRUE (library.isLoaded()) << dlerror();
    Plugin a (library), b (library);
    ASSERT_NE (a.effect, nullptr);
    ASSERT_NE (b.effect, nullptr);
    ASSERT_NE (a.effect, b.effect);

    a.effect->setParameter (a.effect, 3, 1.0f);
    EXPECT_EQ (b.effect->getParameter (b.effect, 3), 0.25f);
    EXPECT_EQ (b.text (effGetParamDisplay, 3), "25.00%");

    Arrangement mono (1, 0);
    ASSERT_EQ (a.dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&mono), &mono), 1);
    VstPinProperties props {};
    b.dispatch (effGetInputProperties, 0, 0, &props);
    EXPECT_EQ (props.flags, tarnwell::vst::pinIsActive | tarnwell::vst::pinIsStereo);

    // One instance's reverberation does not ring in the other.
    a.resume (44100.0f, 256);
    b.resume (44100.0f, 256);
    std::vector<float> la (256, 0.0f), ra (256, 0.0f), lb (256, 0.0f), rb (256, 0.0f);
    la[0] = 1.0f;
    float* pa[] = { la.data(), ra.data() };
    float* pb[] = { lb.data(), rb.data() };
    a.effect->processReplacing (a.effect, pa, pa, 256);
    for (int block = 0; block < 20; ++block)
    {
        std::fill (lb.begin(), lb.end(), 0.0f);
        b.effect->processReplacing (b.effect, pb, pb, 256);
        EXPECT_EQ (sumOfSquares (lb), 0.0f);
    }
}

TEST (Instances, CreatedUsedAndClosedOnDifferentThreadsLeaveNothingRunning)
{
    [[maybe_unused]] const int before = threadCount(); // unread under ThreadSanitizer
    {
        PluginLibrary library;
        ASSERT_TRUE (library.isLoaded()) << dlerror();

        for (int round = 0; round < 3; ++round)
        {
            // Four instances made on four threads, used on others, closed on yet others.
            std::vector<std::unique_ptr<Plugin>> plugins (4);
            std::vector<std::thread> threads;
            for (auto& p : plugins)
                threads.emplace_back ([&p, &library] { p = std::make_unique<Plugin> (library); });
            for (auto& t : threads)
                t.join();
            threads.clear();

            for (size_t i = 0; i < plugins.size(); ++i)
                threads.emplace_back ([&p = *plugins[i], i] {
                    ASSERT_NE (p.effect, nullptr);
                    p.effect->setParameter (p.effect, 3, 0.1f * float (i));
                    p.resume (44100.0f, 128);
                    std::vector<float> l (1000, 0.1f), r (1000, 0.1f);
                    float* ptrs[] = { l.data(), r.data() };
                    for (int n = 0; n < 20; ++n)
                        p.effect->processReplacing (p.effect, ptrs, ptrs, 1000);
                    void* chunk = nullptr;
                    p.dispatch (effGetChunk, 0, 0, &chunk);
                    ERect* rect = nullptr;
                    p.dispatch (effEditGetRect, 0, 0, &rect);
                });
            for (auto& t : threads)
                t.join();
            threads.clear();

            for (size_t i = 0; i < plugins.size(); ++i)
                EXPECT_FLOAT_EQ (plugins[i]->effect->getParameter (plugins[i]->effect, 3), 0.1f * float (i));

            // Closed in reverse order, on threads other than the ones that made them.
            for (auto& p : plugins)
                threads.emplace_back ([&p] { p->close(); });
            for (auto& t : threads)
                t.join();
        }
    }
    // ThreadSanitizer starts a background thread of its own along the way.
#if ! TARNWELL_UNDER_TSAN
    EXPECT_EQ (threadCount(), before) << "a thread of the plug-in outlived its last instance";
#endif
}

int socketCount()
{
    int count = 0;
    if (DIR* dir = opendir ("/proc/self/fd"))
    {
        while (auto* entry = readdir (dir))
        {
            char target[256] {};
            const auto link = "/proc/self/fd/" + std::string (entry->d_name);
            if (readlink (link.c_str(), target, sizeof (target) - 1) > 0)
                count += std::string (target).rfind ("socket:", 0) == 0;
        }
        closedir (dir);
    }
    return count;
}

std::atomic<int> childrenEnded { 0 };

// Re-runs this test binary's headless checks with DISPLAY removed from the environment: the
// plug-in must not guess a display. Until an editor is wanted, instances start no thread, open
// no socket (an X connection, JUCE's message queue) and start no child process (whose end would
// raise SIGCHLD here).
TEST (Instances, WorkWithoutAnyDisplay)
{
    if (std::getenv ("TARNWELL_HEADLESS_CHILD") != nullptr)
    {
        ASSERT_EQ (std::getenv ("DISPLAY"), nullptr);
        signal (SIGCHLD, [] (int) { ++childrenEnded; });
        PluginLibrary library;
        ASSERT_TRUE (library.isLoaded()) << dlerror();
        const int threads = threadCount(), sockets = socketCount();
        for (int round = 0; round < 2; ++round)
        {
            Plugin plugin (library);
            ASSERT_NE (plugin.effect, nullptr);
            EXPECT_EQ (plugin.text (effGetParamDisplay, 3), "25.00%");
            plugin.resume (44100.0f, 512);
            std::vector<float> l (512, 0.2f), r (512, 0.2f);
            float* ptrs[] = { l.data(), r.data() };
            plugin.effect->processReplacing (plugin.effect, ptrs, ptrs, 512);
            void* chunk = nullptr;
            plugin.dispatch (effGetChunk, 0, 0, &chunk);
            EXPECT_EQ (threadCount(), threads);
            EXPECT_EQ (socketCount(), sockets);

            // Editor calls are refused or answered without a window, and leave nothing behind.
            EXPECT_EQ (plugin.dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (std::uintptr_t { 0x400001 })), 0);
            ERect* rect = nullptr;
            plugin.dispatch (effEditGetRect, 0, 0, &rect); // may make an editor, never a window
        }
        EXPECT_EQ (threadCount(), threads);
        EXPECT_EQ (childrenEnded.load(), 0);
        return;
    }

    char exe[4096] {};
    ASSERT_GT (readlink ("/proc/self/exe", exe, sizeof (exe) - 1), 0);
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY TARNWELL_HEADLESS_CHILD=1 '" + std::string (exe)
        + "' --gtest_filter=Instances.WorkWithoutAnyDisplay > /dev/null 2>&1";
    EXPECT_EQ (std::system (command.c_str()), 0);
}
} // namespace
