// The network's block procedure, included by one file per instruction set (each compiled with
// its own target flags, and including <immintrin.h> first) inside its own namespace. Everything
// here has internal linkage and uses no library templates, so no code built for one instruction
// set can leak into the other.
//
// Four frames at a time, a 4-double vector holds one line over four frames: that is how the
// rings are read and written, and the matrix, applied as four levels of rotations between
// whole lines, then needs no shuffles. Reading four frames ahead is safe because the shortest
// line is far longer than four. Only the decay filters, which run from frame to frame, work
// across lines: four neighbouring lines of one frame per vector, reached by transposing.
// Leftover frames run one at a time in that across-lines layout throughout.

namespace
{
#include "engine/NetworkVector.inl"

// Four consecutive ring slots starting at `slot`, wrapping at the ring's end.
inline v4 readRing (const double* ring, int slot) noexcept
{
    if (slot <= ringSize - 4)
        return load4 (ring + slot);
    return make4 (ring[slot], ring[(slot + 1) & ringMask], ring[(slot + 2) & ringMask], ring[(slot + 3) & ringMask]);
}

inline void writeRing (double* ring, int slot, v4 v) noexcept
{
    if (slot <= ringSize - 4)
        return store4 (ring + slot, v);
    for (int k = 0; k < 4; ++k)
        ring[(slot + k) & ringMask] = lane (v, k);
}

inline double finiteOrZero (double x) noexcept { return x - x == 0.0 ? x : 0.0; }

struct Constants
{
    v4 b0[4], c1[4], a1[4];     // c1 = b1 - a1 b0: see filterFrame
    v4 t;                       // tan of the rotation angle, for the stages across vectors
    v4 tInner;                  // -t: the innermost pair of lines turns the other way
    v4 tHalves, tPairs;         // the signs of the two in-vector stages of a single frame
    v4 gain;                    // cos^4: the rotations run as (1, t) pairs, scaled once at the end
    double dryGain, wetGain;    // wetGain includes gain: the wet sums are taken before it
};

inline Constants makeConstants (const NetworkCoefficients& k) noexcept
{
    Constants c;
    for (int g = 0; g < 4; ++g)
    {
        c.b0[g] = load4 (k.b0 + 4 * g);
        c.a1[g] = load4 (k.a1 + 4 * g);
        c.c1[g] = load4 (k.b1 + 4 * g) - c.a1[g] * c.b0[g];
    }

    const double cosine = k.rotation.c, sine = k.rotation.s;
    const double t = sine / cosine;
    c.t = broadcast (t);
    c.tInner = broadcast (-t);
    c.tHalves = make4 (-t, -t, t, t);
    c.tPairs = make4 (t, -t, t, -t);
    const double gain = (cosine * cosine) * (cosine * cosine);
    c.gain = broadcast (gain);

    c.dryGain = 1.0 - double (k.mix);
    c.wetGain = double (k.mix) * double (wetScale) * gain;
    return c;
}

// Two lines held as whole vectors, turned as [[1, -t], [t, 1]]; the common cos factor of all
// four levels is applied once, later, as the gain.
inline void rotate (v4& a, v4& b, v4 t) noexcept
{
    const v4 a0 = a;
    a = a0 - t * b;
    b = b + t * a0;
}

// Four neighbouring lines of one frame through their decay filters. The state's update
// b1 v - a1 y, with y = b0 v + state, is formed as (b1 - a1 b0) v - a1 state: the same value,
// but the chain from frame to frame is one multiply-add instead of three operations, and that
// chain sets how fast one frame can follow another.
inline void filterFrame (const Constants& c, int g, v4& state, v4& v) noexcept
{
    const v4 y = c.b0[g] * v + state;
    state = negMulAdd (c.a1[g], state, c.c1[g] * v);
    v = y;
}

// One frame through matrix, input and filters, with four neighbouring lines per vector. r holds
// the lines' outputs on entry and the filtered values to write on return; the matrix outputs
// summed for the wet signal (before the gain) are returned as (even lines, odd lines, even, odd)
// partial sums.
inline v4 processFrame (const Constants& c, v4 (&r)[4], v4 input, v4 (&state)[4]) noexcept
{
    rotate (r[0], r[2], c.t); // lines i and i+8
    rotate (r[1], r[3], c.t);
    rotate (r[0], r[1], c.t); // lines i and i+4
    rotate (r[2], r[3], c.t);
    // Lines i and i^2 (the halves of a vector), then i and i^1 (neighbours, opposite sense).
    for (auto& v : r)
        v = v + c.tHalves * swapHalves (v);
    for (auto& v : r)
        v = v + c.tPairs * swapPairs (v);

    v4 wet = broadcast (0.0);
    for (int g = 0; g < 4; ++g)
    {
        wet += r[g];
        r[g] = c.gain * r[g] + input;
        filterFrame (c, g, state[g], r[g]);
    }
    return wet;
}

// Four frames, starting at ring slot w. Where `wraps` is false, the caller has made sure that
// no line's four read slots nor the four write slots run past a ring's end, and readDelta[i]
// is line i's read slot minus w; otherwise it is line i's read offset, taken modulo the ring.
template <bool stereo, bool wraps>
inline void processFour (NetworkState& st, const Constants& c, v4 (&state)[4], const int (&readDelta)[numLines],
                         int w, const NetworkAudio& audio) noexcept
{
    const auto read = [&] (int i) {
        return wraps ? readRing (st.rings[i], (w + readDelta[i]) & ringMask) : load4 (st.rings[i] + w + readDelta[i]);
    };

    const v4 xL = finiteOrZero (loadFloats (audio.inLeft));
    const v4 xR = stereo ? finiteOrZero (loadFloats (audio.inRight)) : broadcast (0.0);

    // A vector holds one line over these four frames, so the matrix's rotations mix whole
    // vectors, without shuffles. The outer two levels pair lines i, i+4, i+8, i+12 and the
    // inner two pair neighbours 4k .. 4k+3: each pass keeps just four lines in registers.
    v4 mixed[numLines];
    for (int i = 0; i < 4; ++i)
    {
        v4 a = read (i), b = read (i + 4), e = read (i + 8), f = read (i + 12);
        rotate (a, e, c.t);
        rotate (b, f, c.t);
        rotate (a, b, c.t);
        rotate (e, f, c.t);
        mixed[i] = a; mixed[i + 4] = b; mixed[i + 8] = e; mixed[i + 12] = f;
    }

    v4 wetL = broadcast (0.0), wetR = broadcast (0.0);
    for (int g = 0; g < 4; ++g)
    {
        v4 l0 = mixed[4 * g], l1 = mixed[4 * g + 1], l2 = mixed[4 * g + 2], l3 = mixed[4 * g + 3];
        rotate (l0, l2, c.t);
        rotate (l1, l3, c.t);
        rotate (l0, l1, c.tInner);
        rotate (l2, l3, c.tInner);

        wetL += l0 + l2;
        wetR += l1 + l3;
        l0 = c.gain * l0 + xL; l1 = c.gain * l1 + xR; l2 = c.gain * l2 + xL; l3 = c.gain * l3 + xR;

        // The filters run from frame to frame, so they work across lines: transpose to
        // frames, filter, transpose back to lines.
        transpose (l0, l1, l2, l3);
        filterFrame (c, g, state[g], l0);
        filterFrame (c, g, state[g], l1);
        filterFrame (c, g, state[g], l2);
        filterFrame (c, g, state[g], l3);
        transpose (l0, l1, l2, l3);

        const v4 out[] = { l0, l1, l2, l3 };
        for (int j = 0; j < 4; ++j)
        {
            if (wraps)
                writeRing (st.rings[4 * g + j], w, out[j]);
            else
                store4 (st.rings[4 * g + j] + w, out[j]);
        }
    }

    storeFloats (audio.outLeft, xL * broadcast (c.dryGain) + broadcast (c.wetGain) * wetL);
    if constexpr (stereo)
        storeFloats (audio.outRight, xR * broadcast (c.dryGain) + broadcast (c.wetGain) * wetR);
}

template <bool stereo>
void processBlock (NetworkState& st, const NetworkCoefficients& k, const NetworkAudio& audio, int numFrames) noexcept
{
    const Constants c = makeConstants (k);

    int readOffset[numLines];
    for (int i = 0; i < numLines; ++i)
        readOffset[i] = ringSize - lineLength (i);

    v4 state[4];
    for (int g = 0; g < 4; ++g)
        state[g] = load4 (st.filterState + 4 * g);

    int w = st.writeIndex;
    int n = 0;

    while (n + 4 <= numFrames)
    {
        // A run of frames in which no ring is read or written across its end: there, slots
        // need neither wrapping nor checking.
        int room = ringSize - w;
        int readDelta[numLines];
        for (int i = 0; i < numLines; ++i)
        {
            const int slot = (w + readOffset[i]) & ringMask;
            room = room < ringSize - slot ? room : ringSize - slot;
            readDelta[i] = slot - w;
        }
        const int runFrames = numFrames - n < room ? numFrames - n : room;
        const int runEnd = n + runFrames / 4 * 4;

        if (runEnd == n)
        {
            processFour<stereo, true> (st, c, state, readOffset, w, audio.from (n));
            w = (w + 4) & ringMask;
            n += 4;
            continue;
        }

        for (; n < runEnd; n += 4, w += 4)
            processFour<stereo, false> (st, c, state, readDelta, w, audio.from (n));
        w &= ringMask;
    }

    for (; n < numFrames; ++n)
    {
        const double xL = finiteOrZero (double (audio.inLeft[n]));
        const double xR = stereo ? finiteOrZero (double (audio.inRight[n])) : 0.0;

        v4 r[4];
        for (int g = 0; g < 4; ++g)
        {
            const auto read = [&] (int line) { return st.rings[line][(w + readOffset[line]) & ringMask]; };
            r[g] = make4 (read (4 * g), read (4 * g + 1), read (4 * g + 2), read (4 * g + 3));
        }

        const v4 wet = processFrame (c, r, make4 (xL, xR, xL, xR), state);

        for (int g = 0; g < 4; ++g)
            for (int l = 0; l < 4; ++l)
                st.rings[4 * g + l][w] = lane (r[g], l);

        audio.outLeft[n] = float (xL * c.dryGain + c.wetGain * (lane (wet, 0) + lane (wet, 2)));
        if constexpr (stereo)
            audio.outRight[n] = float (xR * c.dryGain + c.wetGain * (lane (wet, 1) + lane (wet, 3)));

        w = (w + 1) & ringMask;
    }

    for (int g = 0; g < 4; ++g)
        store4 (st.filterState + 4 * g, state[g]);
    st.writeIndex = w;
}

void processAny (NetworkState& st, const NetworkCoefficients& k, const NetworkAudio& audio, int numFrames) noexcept
{
    if (audio.outRight != nullptr)
        processBlock<true> (st, k, audio, numFrames);
    else
        processBlock<false> (st, k, audio, numFrames);
}
} // namespace
