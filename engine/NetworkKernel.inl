// The network's block procedure, included by one file per instruction set (each compiled with
// its own target flags) inside its own namespace. Everything here has internal linkage and uses
// no library templates, so no code built for one instruction set can leak into the other.
//
// Layout: a 4-double vector holds four neighbouring lines of one frame. Lines are read four
// frames at a time from each ring and transposed; the matrix is applied as four stages of
// rotations (lines i^8, i^4 across vectors, i^2, i^1 within them); the filters run vertically;
// results are transposed back and written four frames at a time. Reading four frames ahead
// is safe because the shortest line is far longer than four.

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
    v4 b0[4], b1[4], a1[4];
    v4 t;                       // tan of the rotation angle, for the stages across vectors
    v4 tHalves, tPairs;         // the same with the signs of the in-vector stages
    v4 gain;                    // cos^4: the rotations run as (1, t) pairs, scaled once at the end
    double dryGain, wetGain;
};

inline Constants makeConstants (const NetworkCoefficients& k) noexcept
{
    Constants c;
    for (int g = 0; g < 4; ++g)
    {
        c.b0[g] = load4 (k.b0 + 4 * g);
        c.b1[g] = load4 (k.b1 + 4 * g);
        c.a1[g] = load4 (k.a1 + 4 * g);
    }

    const double cosine = k.rotation.c, sine = k.rotation.s;
    const double t = sine / cosine;
    c.t = broadcast (t);
    c.tHalves = make4 (-t, -t, t, t);
    c.tPairs = make4 (t, -t, t, -t);
    c.gain = broadcast ((cosine * cosine) * (cosine * cosine));

    c.dryGain = 1.0 - double (k.mix);
    c.wetGain = double (k.mix) * double (wetScale);
    return c;
}

// One frame through matrix, input and filters. r holds the lines' outputs on entry and the
// filtered values to write on return; the matrix outputs summed for the wet signal are
// returned as (even lines, odd lines, even, odd) partial sums.
inline v4 processFrame (const Constants& c, v4 (&r)[4], v4 input, v4 (&state)[4]) noexcept
{
    // Lines i and i^8: [[c, -s], [s, c]] as c * [[1, -t], [t, 1]].
    {
        const v4 a0 = r[0], a1 = r[1], a2 = r[2], a3 = r[3];
        r[0] = a0 - c.t * a2;  r[2] = a2 + c.t * a0;
        r[1] = a1 - c.t * a3;  r[3] = a3 + c.t * a1;
    }
    // Lines i and i^4.
    {
        const v4 a0 = r[0], a1 = r[1], a2 = r[2], a3 = r[3];
        r[0] = a0 - c.t * a1;  r[1] = a1 + c.t * a0;
        r[2] = a2 - c.t * a3;  r[3] = a3 + c.t * a2;
    }
    // Lines i and i^2 (the halves of a vector), then i and i^1 (neighbours, opposite sense).
    for (auto& v : r)
        v = v + c.tHalves * swapHalves (v);
    for (auto& v : r)
        v = v + c.tPairs * swapPairs (v);

    v4 wet = broadcast (0.0);
    for (int g = 0; g < 4; ++g)
    {
        const v4 s = r[g] * c.gain;
        wet += s;

        const v4 v = s + input;
        const v4 y = c.b0[g] * v + state[g];
        state[g] = c.b1[g] * v - c.a1[g] * y;
        r[g] = y;
    }
    return wet;
}

template <bool stereo>
void processBlock (NetworkState& st, const NetworkCoefficients& k, float* left, float* right, int numFrames) noexcept
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

    for (; n + 4 <= numFrames; n += 4)
    {
        const v4 xL = finiteOrZero (loadFloats (left + n));
        const v4 xR = stereo ? finiteOrZero (loadFloats (right + n)) : broadcast (0.0);

        // frames[f][g]: frame f, lines 4g .. 4g+3.
        v4 frames[4][4];
        for (int g = 0; g < 4; ++g)
        {
            v4 r0 = readRing (st.rings[4 * g + 0], (w + readOffset[4 * g + 0]) & ringMask);
            v4 r1 = readRing (st.rings[4 * g + 1], (w + readOffset[4 * g + 1]) & ringMask);
            v4 r2 = readRing (st.rings[4 * g + 2], (w + readOffset[4 * g + 2]) & ringMask);
            v4 r3 = readRing (st.rings[4 * g + 3], (w + readOffset[4 * g + 3]) & ringMask);
            transpose (r0, r1, r2, r3);
            frames[0][g] = r0; frames[1][g] = r1; frames[2][g] = r2; frames[3][g] = r3;
        }

        v4 wet[4];
        for (int f = 0; f < 4; ++f)
        {
            const v4 input = make4 (lane (xL, f), lane (xR, f), lane (xL, f), lane (xR, f));
            wet[f] = processFrame (c, frames[f], input, state);
        }

        for (int g = 0; g < 4; ++g)
        {
            v4 r0 = frames[0][g], r1 = frames[1][g], r2 = frames[2][g], r3 = frames[3][g];
            transpose (r0, r1, r2, r3);
            writeRing (st.rings[4 * g + 0], w, r0);
            writeRing (st.rings[4 * g + 1], w, r1);
            writeRing (st.rings[4 * g + 2], w, r2);
            writeRing (st.rings[4 * g + 3], w, r3);
        }

        // Lane k of wet[f] now becomes lane f of row k: rows 0 and 2 hold even lines, 1 and 3 odd.
        transpose (wet[0], wet[1], wet[2], wet[3]);
        const v4 outL = xL * broadcast (c.dryGain) + broadcast (c.wetGain) * (wet[0] + wet[2]);
        storeFloats (left + n, outL);

        if constexpr (stereo)
        {
            const v4 outR = xR * broadcast (c.dryGain) + broadcast (c.wetGain) * (wet[1] + wet[3]);
            storeFloats (right + n, outR);
        }

        w = (w + 4) & ringMask;
    }

    for (; n < numFrames; ++n)
    {
        const double xL = finiteOrZero (double (left[n]));
        const double xR = stereo ? finiteOrZero (double (right[n])) : 0.0;

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

        left[n] = float (xL * c.dryGain + c.wetGain * (lane (wet, 0) + lane (wet, 2)));
        if constexpr (stereo)
            right[n] = float (xR * c.dryGain + c.wetGain * (lane (wet, 1) + lane (wet, 3)));

        w = (w + 1) & ringMask;
    }

    for (int g = 0; g < 4; ++g)
        store4 (st.filterState + 4 * g, state[g]);
    st.writeIndex = w;
}

void processAny (NetworkState& st, const NetworkCoefficients& k, float* left, float* right, int numFrames) noexcept
{
    if (right != nullptr)
        processBlock<true> (st, k, left, right, numFrames);
    else
        processBlock<false> (st, k, left, right, numFrames);
}
} // namespace
