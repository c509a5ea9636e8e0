// Four doubles as one value, for the network kernel: one AVX register where the file is
// compiled for AVX, otherwise a pair of SSE2 (or NEON) registers (GCC spills a 32-byte vector to
// memory on every operation when it has no 32-byte registers). Where the file is compiled for
// AVX-512, eight doubles as one value too. Included inside the kernel's own namespace;
// everything here has internal linkage.

// GCC before 12 (Debian 11's GCC 10 builds the portable Linux binaries) has no
// __builtin_shufflevector; its __builtin_shuffle picks the same lanes, given as a mask vector
// of the lanes' own width, where the result is as long as each input.
#if __has_builtin(__builtin_shufflevector)
#define TARNWELL_SHUFFLE(mask, a, b, ...) __builtin_shufflevector (a, b, __VA_ARGS__)
#else
#define TARNWELL_SHUFFLE(mask, a, b, ...) __builtin_shuffle (a, b, mask { __VA_ARGS__ })
#endif

typedef float v4f __attribute__ ((vector_size (16)));
typedef float v2f __attribute__ ((vector_size (8)));
typedef double v2 __attribute__ ((vector_size (16)));
typedef long long v2i __attribute__ ((vector_size (16)));

// How many frames (or lines) one vector holds.
template <typename V>
constexpr int widthOf = int (sizeof (V) / sizeof (double));

// Float samples widened into one vector; the output's float samples from one.
template <typename V>
V loadFloats (const float* p) noexcept;

#if defined(__AVX__)

typedef double v4 __attribute__ ((vector_size (32)));
typedef long long v4i __attribute__ ((vector_size (32)));

inline v4 make4 (double a, double b, double c, double d) noexcept
{
    return v4 { a, b, c, d };
}
inline double lane (v4 v, int k) noexcept
{
    return v[k];
}
inline v4 swapHalves (v4 v) noexcept
{
    return TARNWELL_SHUFFLE (v4i, v, v, 2, 3, 0, 1);
}
inline v4 swapPairs (v4 v) noexcept
{
    return TARNWELL_SHUFFLE (v4i, v, v, 1, 0, 3, 2);
}

inline void transpose (v4& r0, v4& r1, v4& r2, v4& r3) noexcept
{
    const v4 t0 = TARNWELL_SHUFFLE (v4i, r0, r1, 0, 4, 2, 6);
    const v4 t1 = TARNWELL_SHUFFLE (v4i, r0, r1, 1, 5, 3, 7);
    const v4 t2 = TARNWELL_SHUFFLE (v4i, r2, r3, 0, 4, 2, 6);
    const v4 t3 = TARNWELL_SHUFFLE (v4i, r2, r3, 1, 5, 3, 7);
    r0 = TARNWELL_SHUFFLE (v4i, t0, t2, 0, 1, 4, 5);
    r1 = TARNWELL_SHUFFLE (v4i, t1, t3, 0, 1, 4, 5);
    r2 = TARNWELL_SHUFFLE (v4i, t0, t2, 2, 3, 6, 7);
    r3 = TARNWELL_SHUFFLE (v4i, t1, t3, 2, 3, 6, 7);
}

// Non-finite samples become silence: x - x is 0 only for finite x.
inline v4 finiteOrZero (v4 x) noexcept
{
    const v4i finite = (x - x) == v4 {};
    return (v4)((v4i)x & finite);
}

template <>
inline v4 loadFloats<v4> (const float* p) noexcept
{
    v4f f;
    __builtin_memcpy (&f, p, sizeof (f));
    return __builtin_convertvector(f, v4);
}

inline void storeFloats (float* p, v4 v) noexcept
{
    const v4f f = __builtin_convertvector(v, v4f);
    __builtin_memcpy (p, &f, sizeof (f));
}

#else

struct v4
{
    v2 lo, hi;

    v4& operator+= (v4 o) noexcept
    {
        lo += o.lo;
        hi += o.hi;
        return *this;
    }
};

inline v4 operator+ (v4 a, v4 b) noexcept
{
    return { a.lo + b.lo, a.hi + b.hi };
}
inline v4 operator- (v4 a, v4 b) noexcept
{
    return { a.lo - b.lo, a.hi - b.hi };
}
inline v4 operator* (v4 a, v4 b) noexcept
{
    return { a.lo * b.lo, a.hi * b.hi };
}

inline v4 make4 (double a, double b, double c, double d) noexcept
{
    return { v2 { a, b }, v2 { c, d } };
}
inline double lane (v4 v, int k) noexcept
{
    return k < 2 ? v.lo[k] : v.hi[k - 2];
}
inline v4 swapHalves (v4 v) noexcept
{
    return { v.hi, v.lo };
}
inline v4 swapPairs (v4 v) noexcept
{
    return { TARNWELL_SHUFFLE (v2i, v.lo, v.lo, 1, 0), TARNWELL_SHUFFLE (v2i, v.hi, v.hi, 1, 0) };
}

inline void transpose (v4& r0, v4& r1, v4& r2, v4& r3) noexcept
{
    const v4 c0 { TARNWELL_SHUFFLE (v2i, r0.lo, r1.lo, 0, 2), TARNWELL_SHUFFLE (v2i, r2.lo, r3.lo, 0, 2) };
    const v4 c1 { TARNWELL_SHUFFLE (v2i, r0.lo, r1.lo, 1, 3), TARNWELL_SHUFFLE (v2i, r2.lo, r3.lo, 1, 3) };
    const v4 c2 { TARNWELL_SHUFFLE (v2i, r0.hi, r1.hi, 0, 2), TARNWELL_SHUFFLE (v2i, r2.hi, r3.hi, 0, 2) };
    const v4 c3 { TARNWELL_SHUFFLE (v2i, r0.hi, r1.hi, 1, 3), TARNWELL_SHUFFLE (v2i, r2.hi, r3.hi, 1, 3) };
    r0 = c0;
    r1 = c1;
    r2 = c2;
    r3 = c3;
}

// Non-finite samples become silence: x - x is 0 only for finite x.
inline v2 finiteOrZero (v2 x) noexcept
{
    const v2i finite = (x - x) == v2 {};
    return (v2)((v2i)x & finite);
}

inline v4 finiteOrZero (v4 x) noexcept
{
    return { finiteOrZero (x.lo), finiteOrZero (x.hi) };
}

#if __has_builtin(__builtin_shufflevector)
template <>
inline v4 loadFloats<v4> (const float* p) noexcept
{
    v4f f;
    __builtin_memcpy (&f, p, sizeof (f));
    return { __builtin_convertvector(__builtin_shufflevector (f, f, 0, 1), v2),
             __builtin_convertvector(__builtin_shufflevector (f, f, 2, 3), v2) };
}

inline void storeFloats (float* p, v4 v) noexcept
{
    const v2f lo = __builtin_convertvector(v.lo, v2f), hi = __builtin_convertvector(v.hi, v2f);
    const v4f f = __builtin_shufflevector (lo, hi, 0, 1, 2, 3);
    __builtin_memcpy (p, &f, sizeof (f));
}
#else
// Halves of different lengths, which __builtin_shuffle can't make: two float pairs instead.
template <>
inline v4 loadFloats<v4> (const float* p) noexcept
{
    v2f lo, hi;
    __builtin_memcpy (&lo, p, sizeof (lo));
    __builtin_memcpy (&hi, p + 2, sizeof (hi));
    return { __builtin_convertvector(lo, v2), __builtin_convertvector(hi, v2) };
}

inline void storeFloats (float* p, v4 v) noexcept
{
    const v2f lo = __builtin_convertvector(v.lo, v2f), hi = __builtin_convertvector(v.hi, v2f);
    __builtin_memcpy (p, &lo, sizeof (lo));
    __builtin_memcpy (p + 2, &hi, sizeof (hi));
}
#endif

#endif

// Rows r[0..3] become columns, as the four-argument form.
inline void transpose (v4* r) noexcept
{
    transpose (r[0], r[1], r[2], r[3]);
}

// c - a b. With FMA as one instruction: the compiler, left to contract c - a b where c is itself
// a product, may fuse the other product and leave a b on a chain that should be one step long.
inline v4 negMulAdd (v4 a, v4 b, v4 c) noexcept
{
#if defined(__FMA__)
    return (v4)_mm256_fnmadd_pd ((__m256d)a, (__m256d)b, (__m256d)c);
#else
    return c - a * b;
#endif
}

#if defined(__AVX512F__)

typedef double v8 __attribute__ ((vector_size (64)));
typedef float v8f __attribute__ ((vector_size (32)));
typedef long long v8i __attribute__ ((vector_size (64)));

inline v8 finiteOrZero (v8 x) noexcept
{
    const v8i finite = (x - x) == v8 {};
    return (v8)((v8i)x & finite);
}

template <>
inline v8 loadFloats<v8> (const float* p) noexcept
{
    v8f f;
    __builtin_memcpy (&f, p, sizeof (f));
    return __builtin_convertvector(f, v8);
}

inline void storeFloats (float* p, v8 v) noexcept
{
    const v8f f = __builtin_convertvector(v, v8f);
    __builtin_memcpy (p, &f, sizeof (f));
}

inline v8 negMulAdd (v8 a, v8 b, v8 c) noexcept
{
    return (v8)_mm512_fnmadd_pd ((__m512d)a, (__m512d)b, (__m512d)c);
}

// Rows r[0..7] become columns: r[i][j] and r[j][i] trade places.
inline void transpose (v8* r) noexcept
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

#endif

// What follows holds for every width.

template <typename V>
inline V load (const double* p) noexcept
{
    V v;
    __builtin_memcpy (&v, p, sizeof (v));
    return v;
}

template <typename V>
inline void store (double* p, V v) noexcept
{
    __builtin_memcpy (p, &v, sizeof (v));
}

template <typename V>
inline V broadcast (double x) noexcept
{
    double lanes[widthOf<V>];
    for (auto& l : lanes)
        l = x;
    return load<V> (lanes);
}
