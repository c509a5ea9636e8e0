// Compiled with AVX-512 F, VL and DQ (and AVX2, FMA); called only where the processor has them.
//
// Eight frames at a time: one 512-bit vector holds one line over eight frames, so the matrix's
// rotations do twice the work per instruction of the AVX2 kernel. The decay filters, which run
// from frame to frame, take lines 0-7 and 8-15 of one frame per vector, reached by an 8 x 8
// transpose. Rings are addressed without wrapping or checks for as long as no line reaches its
// ring's end. Fewer than eight frames left over go to the four-frame kernel compiled alongside.
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

namespace
{
typedef double v8 __attribute__ ((vector_size (64)));
typedef float v8f __attribute__ ((vector_size (32)));
typedef long long v8i __attribute__ ((vector_size (64)));

// Not std::min: a library template instantiated here, with AVX-512 code, could be the copy the
// linker keeps for every other file.
inline int lesser (int a, int b) noexcept { return a < b ? a : b; }

inline v8 splat8 (double x) noexcept { return v8 { x, x, x, x, x, x, x, x }; }

inline v8 load8 (const double* p) noexcept
{
    v8 v;
    __builtin_memcpy (&v, p, sizeof (v));
    return v;
}

inline void store8 (double* p, v8 v) noexcept { __builtin_memcpy (p, &v, sizeof (v)); }

inline v8 readRing8 (const double* ring, int slot) noexcept
{
    if (slot <= ringSize - 8)
        return load8 (ring + slot);
    v8 v;
    for (int k = 0; k < 8; ++k)
        v[k] = ring[(slot + k) & ringMask];
    return v;
}

inline void writeRing8 (double* ring, int slot, v8 v) noexcept
{
    if (slot <= ringSize - 8)
        return store8 (ring + slot, v);
    for (int k = 0; k < 8; ++k)
        ring[(slot + k) & ringMask] = v[k];
}

inline v8 loadFloats8 (const float* p) noexcept
{
    v8f f;
    __builtin_memcpy (&f, p, sizeof (f));
    return __builtin_convertvector (f, v8);
}

inline void storeFloats8 (float* p, v8 v) noexcept
{
    const v8f f = __builtin_convertvector (v, v8f);
    __builtin_memcpy (p, &f, sizeof (f));
}

inline v8 finiteOrZero8 (v8 x) noexcept
{
    const v8i finite = (x - x) == v8 {};
    return (v8) ((v8i) x & finite);
}

inline void rotate8 (v8& a, v8& b, v8 t) noexcept
{
    const v8 a0 = a;
    a = a0 - t * b;
    b = b + t * a0;
}

// Rows r[0..7] become columns: r[i][j] and r[j][i] trade places.
inline void transpose8 (v8* r) noexcept
{
    v8 t[8], u[8];
    for (int i = 0; i < 8; i += 2)
    {
        t[i] = TARNWELL_SHUFFLE (v8i, r[i], r[i + 1], 0, 8, 2, 10, 4, 12, 6, 14);
        t[i + 1] = TARNWELL_SHUFFLE (v8i, r[i], r[i + 1], 1, 9, 3, 11, 5, 13, 7, 15);
    }
    for (int i = 0; i < 8; i += 4)
        for (int k = 0; k < 2; ++k)
        {
            u[i + k] = TARNWELL_SHUFFLE (v8i, t[i + k], t[i + k + 2], 0, 1, 8, 9, 4, 5, 12, 13);
            u[i + k + 2] = TARNWELL_SHUFFLE (v8i, t[i + k], t[i + k + 2], 2, 3, 10, 11, 6, 7, 14, 15);
        }
    for (int k = 0; k < 4; ++k)
    {
        r[k] = TARNWELL_SHUFFLE (v8i, u[k], u[k + 4], 0, 1, 2, 3, 8, 9, 10, 11);
        r[k + 4] = TARNWELL_SHUFFLE (v8i, u[k], u[k + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
}

struct Eights
{
    v8 t, tInner;               // the rotations' tangent, as in the four-frame kernel
    v8 gain;                    // cos^4, applied once all rotations are done
    v8 dryGain, wetGain;        // wetGain includes gain: the wet sums are taken before it
    v8 b0[2], c1[2], a1[2];     // lines 0-7 and 8-15; c1 = b1 - a1 b0, as in filterFrame
};

inline Eights makeEights (const NetworkCoefficients& k) noexcept
{
    Eights e;
    const double cosine = k.rotation.c;
    const double gain = (cosine * cosine) * (cosine * cosine);
    e.t = splat8 (k.rotation.s / cosine);
    e.tInner = -e.t;
    e.gain = splat8 (gain);
    e.dryGain = splat8 (1.0 - double (k.mix));
    e.wetGain = splat8 (double (k.mix) * double (wetScale) * gain);
    for (int h = 0; h < 2; ++h)
    {
        e.b0[h] = load8 (k.b0 + 8 * h);
        e.a1[h] = load8 (k.a1 + 8 * h);
        e.c1[h] = load8 (k.b1 + 8 * h) - e.a1[h] * e.b0[h];
    }
    return e;
}

// Eight frames, starting at ring slot w. Where `wraps` is false, the caller has made sure that
// no line's eight read slots nor the eight write slots run past a ring's end, and readDelta[i]
// is line i's read slot minus w; otherwise it is line i's read offset, taken modulo the ring.
template <bool stereo, bool wraps>
inline void processEight (NetworkState& st, const Eights& e, v8 (&state)[2], const int (&readDelta)[numLines],
                          int w, const NetworkAudio& audio) noexcept
{
    const auto read = [&] (int i) {
        return wraps ? readRing8 (st.rings[i], (w + readDelta[i]) & ringMask) : load8 (st.rings[i] + w + readDelta[i]);
    };

    const v8 xL = finiteOrZero8 (loadFloats8 (audio.inLeft));
    const v8 xR = stereo ? finiteOrZero8 (loadFloats8 (audio.inRight)) : v8 {};

    // The same rotations as the four-frame kernel: outer levels on lines i, i+4, i+8, i+12,
    // then the inner ones on neighbours 4g .. 4g+3.
    v8 lines[numLines];
    for (int i = 0; i < 4; ++i)
    {
        v8 a = read (i), b = read (i + 4), c = read (i + 8), d = read (i + 12);
        rotate8 (a, c, e.t);
        rotate8 (b, d, e.t);
        rotate8 (a, b, e.t);
        rotate8 (c, d, e.t);
        lines[i] = a; lines[i + 4] = b; lines[i + 8] = c; lines[i + 12] = d;
    }

    v8 wetL {}, wetR {};
    for (int g = 0; g < 4; ++g)
    {
        v8* l = lines + 4 * g;
        rotate8 (l[0], l[2], e.t);
        rotate8 (l[1], l[3], e.t);
        rotate8 (l[0], l[1], e.tInner);
        rotate8 (l[2], l[3], e.tInner);
        wetL += l[0] + l[2];
        wetR += l[1] + l[3];
        l[0] = e.gain * l[0] + xL; l[1] = e.gain * l[1] + xR;
        l[2] = e.gain * l[2] + xL; l[3] = e.gain * l[3] + xR;
    }

    // Frame by frame through the filters, eight lines per vector.
    for (int h = 0; h < 2; ++h)
    {
        v8* frames = lines + 8 * h;
        transpose8 (frames);
        for (int f = 0; f < 8; ++f)
        {
            const v8 y = e.b0[h] * frames[f] + state[h];
            state[h] = (v8) _mm512_fnmadd_pd ((__m512d) e.a1[h], (__m512d) state[h], (__m512d) (e.c1[h] * frames[f]));
            frames[f] = y;
        }
        transpose8 (frames);
    }

    for (int i = 0; i < numLines; ++i)
    {
        if (wraps)
            writeRing8 (st.rings[i], w, lines[i]);
        else
            store8 (st.rings[i] + w, lines[i]);
    }

    storeFloats8 (audio.outLeft, xL * e.dryGain + e.wetGain * wetL);
    if constexpr (stereo)
        storeFloats8 (audio.outRight, xR * e.dryGain + e.wetGain * wetR);
}

template <bool stereo>
void processEights (NetworkState& st, const NetworkCoefficients& k, const NetworkAudio& audio, int numFrames) noexcept
{
    const Eights e = makeEights (k);

    v8 state[2];
    for (int h = 0; h < 2; ++h)
        state[h] = load8 (st.filterState + 8 * h);

    int readOffset[numLines];
    for (int i = 0; i < numLines; ++i)
        readOffset[i] = ringSize - lineLength (i);

    int w = st.writeIndex;
    int n = 0;
    while (n + 8 <= numFrames)
    {
        // A run of frames in which no ring is read or written across its end: there, slots
        // need neither wrapping nor checking.
        int room = ringSize - w;
        int readDelta[numLines];
        for (int i = 0; i < numLines; ++i)
        {
            const int slot = (w + readOffset[i]) & ringMask;
            room = lesser (room, ringSize - slot);
            readDelta[i] = slot - w;
        }
        const int runEnd = n + lesser (room, numFrames - n) / 8 * 8;

        if (runEnd == n)
        {
            processEight<stereo, true> (st, e, state, readOffset, w, audio.from (n));
            w = (w + 8) & ringMask;
            n += 8;
            continue;
        }

        for (; n < runEnd; n += 8, w += 8)
            processEight<stereo, false> (st, e, state, readDelta, w, audio.from (n));
        w &= ringMask;
    }

    for (int h = 0; h < 2; ++h)
        store8 (st.filterState + 8 * h, state[h]);
    st.writeIndex = w;
}
} // namespace
} // namespace avx512

void processAvx512 (NetworkState& st, const NetworkCoefficients& k, const NetworkAudio& audio, int numFrames) noexcept
{
    const int eights = numFrames & ~7;
    if (audio.outRight != nullptr)
        avx512::processEights<true> (st, k, audio, eights);
    else
        avx512::processEights<false> (st, k, audio, eights);

    if (eights < numFrames)
        avx512::processAny (st, k, audio.from (eights), numFrames - eights);
}
} // namespace tarnwell::kernels
