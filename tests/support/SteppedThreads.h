#pragma once

// Several "threads" run as coroutines on this one thread, one step at a time through the seam
// between their steps (processor/SteppingSeam.h): the schedule says which takes the next step,
// so every interleaving is reached and none by chance. A thread whose step only waits for
// another is not chosen again until another has stepped, so waiting cannot go round forever.

#include "processor/SteppingSeam.h"

#include <ucontext.h>

#include <array>
#include <functional>
#include <vector>

namespace tarnwell::test
{
class SteppedThreads
{
public:
    using Body = std::function<void()>;
    using Choose = std::function<size_t (size_t ready)>; // which of the threads that could step does

    // Runs every body to its end in the order `choose` gives; false if they were left waiting
    // on each other.
    static bool run (const std::vector<Body>& bodies, const Choose& choose)
    {
        SteppedThreads threads (bodies);
        current = &threads;
        betweenSteps = &seam;
        const bool ended = threads.schedule (choose);
        betweenSteps = nullptr;
        current = nullptr;
        return ended;
    }

    // Calls `once` with a chooser for every schedule in turn, depth first; gives how many.
    static size_t everySchedule (const std::function<void (const Choose&)>& once)
    {
        std::vector<std::pair<size_t, size_t>> choices; // (taken, of how many) at each turn
        size_t schedules = 0;
        do
        {
            size_t turn = 0;
            once ([&] (size_t ready) {
                if (turn == choices.size())
                    choices.emplace_back (0, ready);
                return choices[turn++].first;
            });
            ++schedules;
            while (! choices.empty() && choices.back().first + 1 == choices.back().second)
                choices.pop_back();
            if (! choices.empty())
                ++choices.back().first;
        } while (! choices.empty());
        return schedules;
    }

private:
    explicit SteppedThreads (const std::vector<Body>& b) : bodies (b) {}

    bool schedule (const Choose& choose)
    {
        for (size_t t = 0; t < bodies.size(); ++t)
        {
            auto& context = contexts.at (t);
            getcontext (&context);
            context.uc_stack = { stacks.at (t).data(), 0, stacks[t].size() };
            context.uc_link = &scheduler;
            makecontext (&context, reinterpret_cast<void (*)()> (&SteppedThreads::body), 1, static_cast<int> (t));
        }
        for (;;)
        {
            std::vector<size_t> ready;
            bool unfinished = false;
            for (size_t t = 0; t < bodies.size(); ++t)
            {
                unfinished = unfinished || ! finished[t];
                if (! finished[t] && ! waiting[t])
                    ready.push_back (t);
            }
            if (ready.empty())
                return ! unfinished;
            const auto t = ready[choose (ready.size())];
            std::fill (waiting.begin(), waiting.end(), false); // someone moves: the others may go on
            running = static_cast<int> (t);
            swapcontext (&scheduler, &contexts[t]);
            running = -1;
        }
    }

    static void seam (bool isWaiting)
    {
        if (current->running < 0)
            return;
        const auto t = static_cast<size_t> (current->running);
        current->waiting[t] = isWaiting;
        swapcontext (&current->contexts[t], &current->scheduler);
    }

    static void body (int t)
    {
        current->bodies[static_cast<size_t> (t)]();
        current->finished[static_cast<size_t> (t)] = true; // and on to the scheduler, by uc_link
    }

    static constexpr size_t maxThreads = 3;
    static inline std::array<std::array<char, 1 << 16>, maxThreads> stacks {};
    static inline SteppedThreads* current = nullptr;

    const std::vector<Body>& bodies;
    ucontext_t scheduler {};
    std::array<ucontext_t, maxThreads> contexts {};
    std::vector<bool> finished = std::vector<bool> (bodies.size(), false);
    std::vector<bool> waiting = std::vector<bool> (bodies.size(), false);
    int running = -1;
};
} // namespace tarnwell::test
