// The network's block procedure, included by one file per instruction set (each compiled with
// its own target flags, and including <immintrin.h> first) inside its own namespace. Everything
// here has internal linkage and uses no library templates, so no code built for one instruction
// set can leak into the other.
//
// A chunk of W frames at a time (W = 4, or 8 with AVX-512), a vector holds one line over W
// frames: that is how the rings are read and written, and the matrix, applied as four levels of
// rotations between whole lines, then needs no shuffles. Reading W frames ahead is safe because
// the shortest line is far longer than W. Only the decay filters, which run from frame to frame,
// work across lines: W neighbouring lines of one frame per vector, reached by a W x W transpose.
// Fewer than W frames left over go to the four-frame chunks, and the last few run one at a time
// in the across-lines layout throughout.

namespace
{
#include "engine/NetworkVector.inl"

// W consecutive ring slots starting at `slot`, wrapping at the ring's end.
template <typename V>
inline V readRing (const double* ring, int slot) noexcept
{
    constexpr int width = widthOf<V>;
    if (slot <= ringSize - width)
        return load<V> (ring + slot);
    double lanes[width];
    for (int k = 0; k < width; ++k)
        lanes[k] = ring[(slot + k) & ringMask];
    return load<V> (lanes);
}

template <typename V>
inline void writeRing (double* ring, int slot, V v) noexcept
{
    constexpr int width = widthOf<V>;
    if (slot <= ringSize - width)
        return store (ring + slot, v);
    double lanes[width];
    store (lanes, v);
    for (int k = 0; k < width; ++k)
        ring[(slot + k) & ringMask] = lanes[k];
}

inline double finiteOrZero (double x) noexcept
{
    return x - x == 0.0 ? x : 0.0;
}

template <typename V>
struct Constants
{
    static constexpr int blocks = numLines / widthOf<V>; // the filters take W lines per vector

    V b0[blocks], c1[blocks], a1[blocks]; // c1 = b1 - a1 b0: see filterFrame
    V t; // tan of the rotation angle
    V tInner; // -t: the innermost pair of lines turns the other way
    V gain; // cos^4: the rotations run as (1, t) pairs, scaled once at the end
    V dry, wet; // the gains below, as vectors
    double tangent;
    double dryGain, wetGain; // wetGain includes gain: the wet sums are taken before it
};

template <typename V>
inline Constants<V> makeConstants (const NetworkCoefficients& k) noexcept
{
    constexpr int width = widthOf<V>;
    Constants<V> c;
    for (int b = 0; b < Constants<V>::blocks; ++b)
    {
        c.b0[b] = load<V> (k.b0 + width * b);
        c.a1[b] = load<V> (k.a1 + width * b);
        c.c1[b] = load<V> (k.b1 + width * b) - c.a1[b] * c.b0[b];
    }

    const double cosine = k.rotation.c, sine = k.rotation.s;
    c.tangent = sine / cosine;
    c.t = broadcast<V> (c.tangent);
    c.tInner = broadcast<V> (-c.tangent);
    const double gain = (cosine * cosine) * (cosine * cosine);
    c.gain = broadcast<V> (gain);

    c.dryGain = 1.0 - double (k.mix);
    c.wetGain = double (k.mix) * double (wetScale) * gain;
    c.dry = broadcast<V> (c.dryGain);
    c.wet = broadcast<V> (c.wetGain);
    return c;
}

// Two lines held as whole vectors, turned as [[1, -t], [t, 1]]; the common cos factor of all
// four levels is applied once, later, as the gain.
template <typename V>
inline void rotate (V& a, V& b, V t) noexcept
{
    const V a0 = a;
    a = a0 - t * b;
    b = b + t * a0;
}

// W neighbouring lines of one frame through their decay filters. The state's update
// b1 v - a1 y, with y = b0 v + state, is formed as (b1 - a1 b0) v - a1 state: the same value,
// but the chain from frame to frame is one multiply-add instead of three operations, and that
// chain sets how fast one frame can follow another.
template <typename V>
inline void filterFrame (const Constants<V>& c, int block, V& state, V& v) noexcept
{
    const V y = c.b0[block] * v + state;
    state = negMulAdd (c.a1[block], state, c.c1[block] * v);
    v = y;
}

// One frame through matrix, input and filters, with four neighbouring lines per vector. r holds
// the lines' outputs on entry and the filtered values to write on return; the matrix outputs
// summed for the wet signal (before the gain) are returned as (even lines, odd lines, even, odd)
// partial sums. tHalves and tPairs are the signs of the two in-vector stages.
inline v4 processFrame (const Constants<v4>& c, v4 tHalves, v4 tPairs, v4 (&r)[4], v4 input, v4 (&state)[4]) noexcept
{
    rotate (r[0], r[2], c.t); // lines i and i+8
    rotate (r[1], r[3], c.t);
    rotate (r[0], r[1], c.t); // lines i and i+4
    rotate (r[2], r[3], c.t);
    // Lines i and i^2 (the halves of a vector), then i and i^1 (neighbours, opposite sense).
    for (auto& v : r)
        v = v + tHalves * swapHalves (v);
    for (auto& v : r)
        v = v + tPairs * swapPairs (v);

    v4 wet = broadcast<v4> (0.0);
    for (int g = 0; g < 4; ++g)
    {
        wet += r[g];
        r[g] = c.gain * r[g] + input;
        filterFrame (c, g, state[g], r[g]);
    }
    return wet;
}

// One chunk of W frames, starting at ring slot w. Where `wraps` is false, the caller has made
// sure that no line's W read slots nor the W write slots run past a ring's end, and readDelta[i]
// is line i's read slot minus w; otherwise it is line i's read offset, taken modulo the ring.
template <typename V, bool stereo, bool wraps>
inline void processChunk (NetworkState& st, const Constants<V>& c, V (&state)[Constants<V>::blocks],
                          const int (&readDelta)[numLines], int w, const NetworkAudio& audio) noexcept
{
    constexpr int width = widthOf<V>;
    const auto read = [&] (int i) {
        return wraps ? readRing<V> (st.rings[i], (w + readDelta[i]) & ringMask)
                     : load<V> (st.rings[i] + w + readDelta[i]);
    };

    const V xL = finiteOrZero (loadFloats<V> (audio.inLeft));
    const V xR = stereo ? finiteOrZero (loadFloats<V> (audio.inRight)) : broadcast<V> (0.0);

    // A vector holds one line over these frames, so the matrix's rotations mix whole vectors,
    // without shuffles. The outer two levels pair lines i, i+4, i+8, i+12 and the inner two
    // pair neighbours 4k .. 4k+3: each pass keeps just four lines in registers.
    V lines[numLines];
    for (int i = 0; i < 4; ++i)
    {
        V a = read (i), b = read (i + 4), e = read (i + 8), f = read (i + 12);
        rotate (a, e, c.t);
        rotate (b, f, c.t);
        rotate (a, b, c.t);
        rotate (e, f, c.t);
        lines[i] = a;
        lines[i + 4] = b;
        lines[i + 8] = e;
        lines[i + 12] = f;
    }

    V wetL = broadcast<V> (0.0), wetR = broadcast<V> (0.0);
    for (int b = 0; b < Constants<V>::blocks; ++b)
    {
        // Lines width * b onwards, through the inner levels, the gain and the input, into a
        // copy the compiler keeps in registers.
        V frames[width];
        for (int g = 0; g < width; g += 4)
        {
            const V* const group = lines + width * b + g;
            V l0 = group[0], l1 = group[1], l2 = group[2], l3 = group[3];
            rotate (l0, l2, c.t);
            rotate (l1, l3, c.t);
            rotate (l0, l1, c.tInner);
            rotate (l2, l3, c.tInner);

            wetL += l0 + l2;
            wetR += l1 + l3;
            frames[g] = c.gain * l0 + xL;
            frames[g + 1] = c.gain * l1 + xR;
            frames[g + 2] = c.gain * l2 + xL;
            frames[g + 3] = c.gain * l3 + xR;
        }

        // The filters run from frame to frame, so they work across lines: transpose to
        // frames, filter, transpose back to lines.
        transpose (frames);
        for (int f = 0; f < width; ++f)
            filterFrame (c, b, state[b], frames[f]);
        transpose (frames);

        for (int j = 0; j < width; ++j)
        {
            if (wraps)
                writeRing (st.rings[width * b + j], w, frames[j]);
            else
                store (st.rings[width * b + j] + w, frames[j]);
        }
    }

    storeFloats (audio.outLeft, xL * c.dry + c.wet * wetL);
    if constexpr (stereo)
        storeFloats (audio.outRight, xR * c.dry + c.wet * wetR);
}

// The last few frames of a block, one at a time.
template <bool stereo>
int processFrames (NetworkState& st, const Constants<v4>& c, v4 (&state)[4], const int (&readOffset)[numLines], int w,
                   const NetworkAudio& audio, int numFrames) noexcept
{
    const double t = c.tangent;
    const v4 tHalves = make4 (-t, -t, t, t), tPairs = make4 (t, -t, t, -t);

    for (int n = 0; n < numFrames; ++n)
    {
        const double xL = finiteOrZero (double (audio.inLeft[n]));
        const double xR = stereo ? finiteOrZero (double (audio.inRight[n])) : 0.0;

        v4 r[4];
        for (int g = 0; g < 4; ++g)
        {
            const auto read = [&] (int line) { return st.rings[line][(w + readOffset[line]) & ringMask]; };
            r[g] = make4 (read (4 * g), read (4 * g + 1), read (4 * g + 2), read (4 * g + 3));
        }

        const v4 wet = processFrame (c, tHalves, tPairs, r, make4 (xL, xR, xL, xR), state);

        for (int g = 0; g < 4; ++g)
            for (int l = 0; l < 4; ++l)
                st.rings[4 * g + l][w] = lane (r[g], l);

        audio.outLeft[n] = float (xL * c.dryGain + c.wetGain * (lane (wet, 0) + lane (wet, 2)));
        if constexpr (stereo)
            audio.outRight[n] = float (xR * c.dryGain + c.wetGain * (lane (wet, 1) + lane (wet, 3)));

        w = (w + 1) & ringMask;
    }
    return w;
}

template <typename V, bool stereo>
void processBlock (NetworkState& st, const NetworkCoefficients& k, const NetworkAudio& audio, int numFrames) noexcept
{
    constexpr int width = widthOf<V>;
    const auto c = makeConstants<V> (k);

    int readOffset[numLines];
    for (int i = 0; i < numLines; ++i)
        readOffset[i] = ringSize - lineLength (i);

    V state[Constants<V>::blocks];
    for (int b = 0; b < Constants<V>::blocks; ++b)
        state[b] = load<V> (st.filterState + width * b);

    int w = st.writeIndex;
    int n = 0;

    while (n + width <= numFrames)
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
        const int runEnd = n + runFrames / width * width;

        if (runEnd == n)
        {
            processChunk<V, stereo, true> (st, c, state, readOffset, w, audio.from (n));
            w = (w + width) & ringMask;
            n += width;
            continue;
        }

        for (; n < runEnd; n += width, w += width)
            processChunk<V, stereo, false> (st, c, state, readDelta, w, audio.from (n));
        w &= ringMask;
    }

    if constexpr (width == 4)
        w = processFrames<stereo> (st, c, state, readOffset, w, audio.from (n), numFrames - n);

    for (int b = 0; b < Constants<V>::blocks; ++b)
        store (st.filterState + width * b, state[b]);
    st.writeIndex = w;

    if constexpr (width > 4)
        if (n < numFrames)
            processBlock<v4, stereo> (st, k, audio.from (n), numFrames - n);
}

// The kernel for vectors of type V (W frames per chunk).
template <typename V>
void processAny (NetworkState& st, const NetworkCoefficients& k, const NetworkAudio& audio, int numFrames) noexcept
{
    if (audio.outRight != nullptr)
        processBlock<V, true> (st, k, audio, numFrames);
    else
        processBlock<V, false> (st, k, audio, numFrames);
}
} // namespace
