// Compiled with -mavx2 -mfma; called only where the processor has both.
#include "engine/NetworkSettings.h"
#include "engine/NetworkState.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace tarnwell::kernels
{
namespace avx2
{
#include "engine/NetworkKernel.inl"
}

void processAvx2 (NetworkState& st, const NetworkCoefficients& k, const NetworkAudio& audio, int numFrames) noexcept
{
    avx2::processAny<avx2::v4> (st, k, audio, numFrames);
}
} // namespace tarnwell::kernels
