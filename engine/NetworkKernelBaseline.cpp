#include "engine/NetworkSettings.h"
#include "engine/NetworkState.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace tarnwell::kernels
{
namespace baseline
{
#include "engine/NetworkKernel.inl"
}

void processBaseline (NetworkState& st, const NetworkCoefficients& k, const NetworkAudio& audio, int numFrames) noexcept
{
    baseline::processAny<baseline::v4> (st, k, audio, numFrames);
}

bool avx2Available() noexcept
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    return __builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma");
#else
    return false;
#endif
}

bool avx512Available() noexcept
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    return avx2Available() && __builtin_cpu_supports ("avx512f") && __builtin_cpu_supports ("avx512vl")
        && __builtin_cpu_supports ("avx512dq");
#else
    return false;
#endif
}
} // namespace tarnwell::kernels
