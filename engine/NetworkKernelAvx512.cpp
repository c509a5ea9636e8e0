// Compiled with AVX-512 F, VL and DQ (and AVX2, FMA); called only where the processor has them.
// The same kernel as the others, eight frames per chunk: one 512-bit vector holds one line over
// eight frames, so the matrix's rotations do twice the work per instruction of the AVX2 kernel.
#include "engine/NetworkSettings.h"
#include "engine/NetworkState.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace tarnwell::kernels
{
namespace avx512
{
#include "engine/NetworkKernel.inl"
}

void processAvx512 (NetworkState& st, const NetworkCoefficients& k, const NetworkAudio& audio, int numFrames) noexcept
{
    avx512::processAny<avx512::v8> (st, k, audio, numFrames);
}
} // namespace tarnwell::kernels
