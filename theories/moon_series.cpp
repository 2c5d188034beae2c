#include "theories/moon_series.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "core/angle_units.h"
#include "theories/series_trig.h"
#include "theories/tables/moon_terms.h"

namespace {
constexpr double kKmToAu = 6.684587153547039e-9;  // 1 AU = 149597870 km

// Highest multiple of each mean argument used by the series (D is never negative in the
// main problem, but the fixed-equinox terms take -2 D).
constexpr int kMaxD = 8;
constexpr int kMaxM = 4;
constexpr int kMaxMp = 6;
constexpr int kMaxF = 5;

// The cosine and sine of an angle, or a rearrangement of them, as one pair the machine
// multiplies in one step.
typedef double Pair __attribute__((vector_size(16)));
// Two pairs side by side, which the machine multiplies in one step where it can.
typedef double Quad __attribute__((vector_size(32)));
// The helpers that take or give a quad are this file's own and compiled into their callers;
// the compiler's note that such a function's calling convention differs with and without
// the wide registers does not concern them.
#pragma GCC diagnostic ignored "-Wpsabi"

Pair Swapped(Pair p) { return __builtin_shufflevector(p, p, 1, 0); }

// (cos, sin) of the sum of two angles from theirs: (ca cb - sa sb, sa cb + ca sb), each
// lane worked out as the two products and their sum, on both lanes at once.
Pair Times(Pair a, Pair b) { return a * Pair{b[0], b[0]} + Swapped(a) * Pair{-b[1], b[1]}; }

// cos and sin of k D (k = -8..8), k M (-4..4), k M' (-6..6) and k F (-5..5) in one array.
constexpr int kDZero = kMaxD;
constexpr int kMZero = kDZero + kMaxD + 1 + kMaxM;
constexpr int kMpZero = kMZero + kMaxM + 1 + kMaxMp;
constexpr int kFZero = kMpZero + kMaxMp + 1 + kMaxF;
constexpr int kMultipleCount = kFZero + kMaxF + 1;

// The multiples of one angle around the slot of k = 0, by repeated rotation.
void FillMultiples(Pair once, int most, Pair* zero) {
    zero[0] = Pair{1.0, 0.0};
    zero[1] = once;
    for (int k = 2; k <= most; ++k) zero[k] = Times(zero[k - 1], once);
    for (int k = 1; k <= most; ++k) zero[-k] = zero[k] * Pair{1.0, -1.0};
}

// A main-problem argument d D + m M + mp M' + f F is the sum of a first part (d D + m M)
// and a second part (mp M' + f F). Each part has a slot in a table filled once per call,
// so a term costs two multiplications of pairs instead of a sine.
constexpr int kMSlots = 2 * kMaxM + 1;
constexpr int kFSlots = 2 * kMaxF + 1;
constexpr int kFirstSlots = (kMaxD + 1) * kMSlots;
constexpr int kSecondSlots = (2 * kMaxMp + 1) * kFSlots;

int FirstSlot(int d, int m) { return d * kMSlots + m + kMaxM; }
int SecondSlot(int mp, int f) { return (mp + kMaxMp) * kFSlots + f + kMaxF; }

// The slot tables of one call. second holds (sin, cos) of the second part; firstSine
// holds (cos, sin) and firstCosine (-sin, cos) of the first part, so that the product of a
// first and a second pair adds up to the sine or the cosine of the whole argument;
// firstBoth holds the two side by side.
struct SlotTables {
    Pair firstSine[kFirstSlots];
    Quad firstBoth[kFirstSlots];
    Pair second[kSecondSlots];
};

// A slot the series read: its number and the two multiples whose product fills it.
struct SlotRecipe {
    std::uint8_t slot, a, b;
};

// One series as the loop reads it: its terms grouped by their first slot, and for every
// term the byte offset of its second slot and its amplitude. A group's terms are summed
// as pairs first and multiplied by the group's first pair once, which saves a load and a
// multiplication per term.
//
// Every group holds an even number of terms, so that the loops take them two at a time
// without a tail: a group of an odd number ends with a term of amplitude 0 that reads the
// group's first second pair.
template <int N>
struct SeriesLayout {
    std::uint16_t second[N + kFirstSlots];
    Pair amplitude[N + kFirstSlots];  // twice, so that it multiplies a pair straight from memory
    int groupCount;
    std::uint8_t groupFirst[kFirstSlots];   // the group's first slot
    std::uint16_t groupPairs[kFirstSlots];  // its number of terms, halved
};

// The longitude (sine) and distance (cosine) series laid out together: most of their
// arguments are shared, and a shared argument's second pair is then read once for both.
constexpr int kMostTwinTerms = kMoonLongitudeTermCount + kMoonDistanceTermCount;

struct TwinSeriesLayout {
    std::uint16_t second[kMostTwinTerms + kFirstSlots];
    // The longitude amplitude twice, then the distance amplitude twice; 0 where a series
    // has no such term.
    Quad amplitude[kMostTwinTerms + kFirstSlots];
    int groupCount;
    std::uint8_t groupFirst[kFirstSlots];
    std::uint16_t groupPairs[kFirstSlots];
};

// The angles the planetary and fixed-equinox terms add to multiples of D, M' and F: built
// from the planetary mean longitudes Ve, Ea, Ma, Ju, the mean longitude zeta referred to the
// fixed equinox, and T.
enum ExtraAngle {
    kVenusTerm,       // 18 Ve - 16 Ea
    kTwoEaTwoJu,      // 2 Ea - 2 Ju
    kFourEaEightMa,   // 4 Ea - 8 Ma + 3 Ju
    kVeEa,            // Ve - Ea
    kThreeVeThreeEa,  // 3 Ve - 3 Ea
    kEaJu,            // Ea - Ju
    kTenVeThreeEa,    // 10 Ve - 3 Ea
    kTwoEaThreeJu,    // 2 Ea - 3 Ju
    kTwoVeThreeEa,    // 2 Ve - 3 Ea
    kEaTwoMa,         // Ea - 2 Ma
    kTwoVeTwoEa,      // 2 Ve - 2 Ea
    kEa,              // Ea
    kFiveVeSixEa,     // 5 Ve - 6 Ea
    kZeta,            // zeta
    kTwoZeta,         // 2 zeta
    kLatitudeT,       // 3.1991885189056064 + 8433.46585222164 T, formed from T not from F
    kExtraAngleCount
};

// A sine term A sin(angle + d D + mp M' + f F + phase), A in arc seconds, phase in degrees.
struct ExtraTerm {
    double amplitude;
    ExtraAngle angle;
    signed char d, mp, f;
    double phase;
};

constexpr ExtraTerm kLongitudeExtraTerms[] = {
    // Planetary perturbations.
    {14.2488, kVenusTerm, 0, -1, 0, 26.54261},
    {1.1431, kTwoEaTwoJu, 2, -1, 0, 180.11977},
    {0.9011, kFourEaEightMa, 0, 0, 0, 285.98707},
    {0.8216, kVeEa, 0, 0, 0, 180.00988},
    {0.7881, kVenusTerm, 0, -2, 0, 26.54324},
    {0.7393, kVenusTerm, 0, 0, 0, 26.5456},
    {0.6437, kThreeVeThreeEa, 2, -1, 0, 179.98144},
    {0.6388, kEaJu, 0, 0, 0, 1.2289},
    {0.5634, kTenVeThreeEa, 0, -1, 0, 333.30551},
    {0.4453, kTwoEaThreeJu, 2, -1, 0, 10.07001},
    {0.3436, kTwoVeThreeEa, 0, 0, 0, 269.95393},
    {0.3246, kEaTwoMa, 0, 0, 0, 318.13776},
    {0.3016, kTwoVeTwoEa, 0, 0, 0, 0.20448},
    // Terms in the mean longitude referred to the fixed equinox.
    {7.06304, kZeta, 0, 0, -1, 0.00094},
    {0.49331, kZeta, 0, 1, -1, 0.00127},
    {0.49141, kZeta, 0, -1, -1, 0.00127},
    {0.36061, kZeta, 0, 0, 1, 0.00071},
    {0.09642, kZeta, 2, 0, -1, 0.0009},
    {0.06569, kZeta, -2, 0, -1, 0.001},
    {0.06456, kZeta, 2, -1, -1, 0.00042},
    {0.05036, kZeta, 0, -1, 1, 0.00051},
    {0.04962, kZeta, -2, 1, -1, 0.00029},
    {0.04746, kZeta, -2, 0, 1, 0.00076},
    {0.03838, kZeta, 0, 1, 1, 0.0007},
    {0.03638, kTwoZeta, 0, 0, -2, 180.0},
    {0.03402, kZeta, 0, 2, -1, 0.00126},
    {0.03279, kZeta, 0, -2, -1, 0.00128},
    {0.01492, kZeta, 0, 0, -3, 180.00086},
    {0.01234, kZeta, 2, 1, -1, 0.00102},
};

constexpr ExtraTerm kLatitudeExtraTerms[] = {
    {8.045, kZeta, 0, 0, 0, 180.0},
    {0.416, kZeta, 0, 1, 0, 180.0},
    {0.456, kZeta, 0, -1, 0, 0.0},
    {0.326, kZeta, 0, 0, -2, 0.0},
    {0.63, kVenusTerm, 0, -1, 1, 26.54},
    {0.63, kVenusTerm, 0, -1, -1, 26.54},
    {0.14, kEa, 1, 0, 0, 291.98},
    {0.07, kVenusTerm, 0, -2, -1, 26.54},
    {0.067, kVenusTerm, 0, 0, 1, 26.54},
    {0.067, kFiveVeSixEa, 2, 0, -1, 272.3},
    {1.375, kEa, 1, 0, 0, 275.13},
    {0.078, kEa, 1, -1, 0, 95.13},
    {-0.0011020707028792996, kLatitudeT, 0, 0, 0, 0.0},
};

// The planetary and fixed-equinox terms as their loop reads them. Their argument is an
// extra angle plus d D (a combination filled once per call) plus a second part from the
// slot table; the phase is folded into the amplitude: A sin(x + phase) is
// (A cos phase) sin x + (A sin phase) cos x.
constexpr int kMostExtraTerms = 32;

struct ExtraLayout {
    int count = 0;
    std::uint8_t combination[kMostExtraTerms];
    std::uint16_t second[kMostExtraTerms];  // byte offset of the second part's slot
    double sineAmplitude[kMostExtraTerms];
    double cosineAmplitude[kMostExtraTerms];
};

// An extra angle plus d D.
struct Combination {
    ExtraAngle angle;
    std::uint8_t multiple;  // of D
};
// No more than one per term.
constexpr int kMostCombinations = std::size(kLongitudeExtraTerms) + std::size(kLatitudeExtraTerms);

// The three series and the slots they read, so that a call fills only those; the layout
// is made once from the tables.
struct MoonLayout {
    TwinSeriesLayout longitudeDistance;
    SeriesLayout<kMoonLatitudeTermCount> latitude;
    ExtraLayout longitudeExtra, latitudeExtra;
    Combination combinations[kMostCombinations];
    int combinationCount = 0;
    SlotRecipe firstSlots[kFirstSlots];
    int firstSlotCount = 0;
    SlotRecipe secondSlots[kSecondSlots];
    int secondSlotCount = 0;
};

struct UsedSlots {
    bool first[kFirstSlots] = {};
    bool second[kSecondSlots] = {};
};

template <int N>
SeriesLayout<N> LayOut(const MoonTerm* terms, UsedSlots* used) {
    SeriesLayout<N> layout{};
    int count = 0;
    for (int first = 0; first < kFirstSlots; ++first) {
        const int start = count;
        for (int i = 0; i < N; ++i) {
            if (FirstSlot(terms[i].d, terms[i].m) != first) continue;
            const int second = SecondSlot(terms[i].mp, terms[i].f);
            layout.second[count] = static_cast<std::uint16_t>(second * sizeof(Pair));
            layout.amplitude[count] = Pair{terms[i].amplitude, terms[i].amplitude};
            used->second[second] = true;
            ++count;
        }
        if (count == start) continue;
        if ((count - start) % 2 != 0) layout.second[count++] = layout.second[start];  // amplitude 0
        used->first[first] = true;
        layout.groupFirst[layout.groupCount] = static_cast<std::uint8_t>(first);
        layout.groupPairs[layout.groupCount] = static_cast<std::uint16_t>((count - start) / 2);
        ++layout.groupCount;
    }
    return layout;
}

TwinSeriesLayout LayOutTwins(UsedSlots* used) {
    TwinSeriesLayout layout{};
    int count = 0;
    for (int first = 0; first < kFirstSlots; ++first) {
        const int start = count;
        auto add = [&](const MoonTerm& term, int lane) {
            if (FirstSlot(term.d, term.m) != first) return;
            const int second = SecondSlot(term.mp, term.f);
            const auto offset = static_cast<std::uint16_t>(second * sizeof(Pair));
            int k = start;
            while (k < count && layout.second[k] != offset) ++k;
            if (k == count) {
                layout.second[count++] = offset;
                used->second[second] = true;
            }
            layout.amplitude[k][lane] += term.amplitude;
            layout.amplitude[k][lane + 1] += term.amplitude;
        };
        for (const MoonTerm& term : kMoonLongitudeTerms) add(term, 0);
        for (const MoonTerm& term : kMoonDistanceTerms) add(term, 2);
        if (count == start) continue;
        if ((count - start) % 2 != 0) layout.second[count++] = layout.second[start];  // amplitude 0
        used->first[first] = true;
        layout.groupFirst[layout.groupCount] = static_cast<std::uint8_t>(first);
        layout.groupPairs[layout.groupCount] = static_cast<std::uint16_t>((count - start) / 2);
        ++layout.groupCount;
    }
    return layout;
}

template <int N>
ExtraLayout LayOutExtra(const ExtraTerm (&terms)[N], MoonLayout* layout, UsedSlots* used) {
    static_assert(N <= kMostExtraTerms);
    ExtraLayout extra;
    for (const ExtraTerm& t : terms) {
        const Combination wanted{t.angle, static_cast<std::uint8_t>(kDZero + t.d)};
        int k = 0;
        while (k < layout->combinationCount &&
               (layout->combinations[k].angle != wanted.angle || layout->combinations[k].multiple != wanted.multiple))
            ++k;
        if (k == layout->combinationCount) layout->combinations[layout->combinationCount++] = wanted;
        const int second = SecondSlot(t.mp, t.f);
        used->second[second] = true;
        const double phase = t.phase * kDegToRad;
        extra.combination[extra.count] = static_cast<std::uint8_t>(k);
        extra.second[extra.count] = static_cast<std::uint16_t>(second * sizeof(Pair));
        extra.sineAmplitude[extra.count] = t.amplitude * std::cos(phase);
        extra.cosineAmplitude[extra.count] = t.amplitude * std::sin(phase);
        ++extra.count;
    }
    return extra;
}

MoonLayout MakeLayout() {
    MoonLayout layout;
    UsedSlots used;
    layout.longitudeDistance = LayOutTwins(&used);
    layout.latitude = LayOut<kMoonLatitudeTermCount>(kMoonLatitudeTerms, &used);
    layout.longitudeExtra = LayOutExtra(kLongitudeExtraTerms, &layout, &used);
    layout.latitudeExtra = LayOutExtra(kLatitudeExtraTerms, &layout, &used);
    for (int slot = 0; slot < kFirstSlots; ++slot) {
        if (!used.first[slot]) continue;
        const int d = slot / kMSlots, m = slot % kMSlots - kMaxM;
        layout.firstSlots[layout.firstSlotCount++] = {static_cast<std::uint8_t>(slot), static_cast<std::uint8_t>(kDZero + d),
                                                      static_cast<std::uint8_t>(kMZero + m)};
    }
    for (int slot = 0; slot < kSecondSlots; ++slot) {
        if (!used.second[slot]) continue;
        const int mp = slot / kFSlots - kMaxMp, f = slot % kFSlots - kMaxF;
        layout.secondSlots[layout.secondSlotCount++] = {static_cast<std::uint8_t>(slot),
                                                        static_cast<std::uint8_t>(kMpZero + mp),
                                                        static_cast<std::uint8_t>(kFZero + f)};
    }
    return layout;
}

const MoonLayout& Layout() {
    static const MoonLayout layout = MakeLayout();
    return layout;
}

// (-sin, cos) from (cos, sin).
Pair Quarter(Pair r) { return Swapped(r) * Pair{-1.0, 1.0}; }

void FillSlots(const MoonLayout& layout, const Pair* multiples, SlotTables* tables) {
    for (int i = 0; i < layout.firstSlotCount; ++i) {
        const SlotRecipe& recipe = layout.firstSlots[i];
        const Pair r = Times(multiples[recipe.a], multiples[recipe.b]);
        tables->firstSine[recipe.slot] = r;
        tables->firstBoth[recipe.slot] = __builtin_shufflevector(r, Quarter(r), 0, 1, 2, 3);
    }
    for (int i = 0; i < layout.secondSlotCount; ++i) {
        const SlotRecipe& recipe = layout.secondSlots[i];
        tables->second[recipe.slot] = Swapped(Times(multiples[recipe.a], multiples[recipe.b]));
    }
}

// A pair from a table of pairs (so aligned as a pair), and two pairs side by side.
Pair LoadPair(const char* bytes) { return *reinterpret_cast<const Pair*>(bytes); }

Quad Join(Pair low, Pair high) { return __builtin_shufflevector(low, high, 0, 1, 2, 3); }
Pair Low(Quad q) { return Pair{q[0], q[1]}; }
Pair High(Quad q) { return Pair{q[2], q[3]}; }

// Sum of amplitude x (first pair . second pair) over the series: within a group the
// amplitudes times the second pairs, in two running sums so that the additions do not wait
// on each other (the even terms' in the low half of a quad, the odd terms' in the high
// half), then the group's first pair times that.
template <int N>
double SeriesSum(const SeriesLayout<N>& series, const Pair* first, const Pair* second) {
    const char* secondBytes = reinterpret_cast<const char*>(second);
    const char* amplitudeBytes = reinterpret_cast<const char*>(series.amplitude);
    Pair total0 = {}, total1 = {};
    int i = 0;
    for (int g = 0; g < series.groupCount; ++g) {
        Quad sum = {};
        for (int pair = series.groupPairs[g]; pair > 0; --pair, i += 2) {
            Quad amplitudes;
            std::memcpy(&amplitudes, amplitudeBytes + i * sizeof(Pair), sizeof amplitudes);
            sum += amplitudes *
                   Join(LoadPair(secondBytes + series.second[i]), LoadPair(secondBytes + series.second[i + 1]));
        }
        const Pair sum0 = Low(sum);
        const Pair group = first[series.groupFirst[g]] * (sum0 + High(sum));
        if (g & 1)
            total1 += group;
        else
            total0 += group;
    }
    const Pair total = total0 + total1;
    return total[0] + total[1];
}

// The longitude and distance sums together, as SeriesSum does one: the longitude's in the
// low half of a quad, the distance's in the high half, every second pair read once for both.
void TwinSums(const TwinSeriesLayout& series, const SlotTables& tables, double* sineSum, double* cosineSum) {
    const char* secondBytes = reinterpret_cast<const char*>(tables.second);
    auto second = [&](int i) {
        const Pair p = LoadPair(secondBytes + series.second[i]);
        return Join(p, p);
    };
    Quad total = {};
    int i = 0;
    for (int g = 0; g < series.groupCount; ++g) {
        Quad sum0 = {}, sum1 = {};
        for (int pair = series.groupPairs[g]; pair > 0; --pair, i += 2) {
            sum0 += series.amplitude[i] * second(i);
            sum1 += series.amplitude[i + 1] * second(i + 1);
        }
        total += tables.firstBoth[series.groupFirst[g]] * (sum0 + sum1);
    }
    *sineSum = total[0] + total[1];
    *cosineSum = total[2] + total[3];
}

// Sum of the extra terms: the combination's (cos, sin) and (-sin, cos) pairs times the
// second part's pair give the sine and the cosine of the whole argument.
double ExtraSum(const ExtraLayout& extra, const Pair* sineCombinations, const Pair* cosineCombinations,
                const SlotTables& tables) {
    const char* secondBytes = reinterpret_cast<const char*>(tables.second);
    Pair sum0 = {}, sum1 = {};
    for (int i = 0; i < extra.count; ++i) {
        const Pair& second = *reinterpret_cast<const Pair*>(secondBytes + extra.second[i]);
        sum0 += extra.sineAmplitude[i] * (sineCombinations[extra.combination[i]] * second);
        sum1 += extra.cosineAmplitude[i] * (cosineCombinations[extra.combination[i]] * second);
    }
    const Pair total = sum0 + sum1;
    return total[0] + total[1];
}

// The three series at the arguments whose sines and cosines are given (the extra angles,
// then D, M, M' and F); where the machine has them, with its wide registers, which take a
// quad in one step (the sums are the same to the last bit either way). Everything it calls
// is compiled into it, so that the wide registers reach the loops. Clang does not take the
// two attributes together; it builds the one version, which gives the same sums.
#if defined(__x86_64__) && defined(__has_attribute) && !defined(__clang__)
#if __has_attribute(target_clones) && __has_attribute(flatten)
__attribute__((target_clones("avx2", "default"), flatten))
#endif
#endif
void SumSeries(const double* sines, const double* cosines, double* sumL, double* sumR, double* sumB) {
    auto angle = [&](int k) { return Pair{cosines[k], sines[k]}; };
    Pair multiples[kMultipleCount];
    FillMultiples(angle(kExtraAngleCount), kMaxD, multiples + kDZero);
    FillMultiples(angle(kExtraAngleCount + 1), kMaxM, multiples + kMZero);
    FillMultiples(angle(kExtraAngleCount + 2), kMaxMp, multiples + kMpZero);
    FillMultiples(angle(kExtraAngleCount + 3), kMaxF, multiples + kFZero);

    const MoonLayout& layout = Layout();
    SlotTables tables;
    FillSlots(layout, multiples, &tables);
    Pair sineCombinations[kMostCombinations], cosineCombinations[kMostCombinations];
    for (int k = 0; k < layout.combinationCount; ++k) {
        const Combination& c = layout.combinations[k];
        const Pair r = Times(angle(c.angle), multiples[c.multiple]);
        sineCombinations[k] = r;
        cosineCombinations[k] = Quarter(r);
    }

    double mainL, mainB;
    TwinSums(layout.longitudeDistance, tables, &mainL, sumR);
    mainB = SeriesSum(layout.latitude, tables.firstSine, tables.second);
    *sumL = mainL + ExtraSum(layout.longitudeExtra, sineCombinations, cosineCombinations, tables);
    *sumB = mainB + ExtraSum(layout.latitudeExtra, sineCombinations, cosineCombinations, tables);
}

// A mean argument in degrees, in radians reduced with the floating remainder (the sign of the
// unreduced value is kept).
double Reduced(double degrees) { return FmodTurn(degrees * kDegToRad); }

// A mean argument in degrees, in radians as it is: D, M, M' and F only go into sines and
// cosines, whose own reduction holds full precision for these sizes.
double Radians(double degrees) { return degrees * kDegToRad; }

}  // namespace

void GetMoonEclipticPosition(double T, double* longitude, double* latitude, double* distance) {
    const double T2 = T * T;
    const double T3 = T2 * T;
    const double T4 = T3 * T;

    const double w1 = Reduced(218.3164591 + 481267.88134236 * T - 0.0013268 * T2 +
                              T3 * 1.855835023689734e-6 - T4 * 1.5338834862103876e-8);
    const double D = Radians(297.8502042 + 445267.1115168 * T - 0.00163 * T2 + T3 / 545868.0 -
                             T4 / 113065000.0);
    const double M = Radians(357.5291092 + 35999.0502909 * T - 0.0001536 * T2 + T3 / 24490000.0);
    const double Mp = Radians(134.9634114 + 477198.8676313 * T + 0.008997 * T2 + T3 / 69699.0 -
                              T4 / 14712000.0);
    const double F = Radians(93.2720993 + 483202.0175273 * T - 0.0034029 * T2 - T3 / 3526000.0 +
                             T4 / 863310000.0);

    // Planetary mean longitudes, not reduced.
    const double Ve = (181.979801 + 58517.815676 * T) * kDegToRad;
    const double Ea = (100.46645 + 35999.372854 * T) * kDegToRad;
    const double Ma = (355.433275 + 19140.299331 * T) * kDegToRad;
    const double Ju = (34.351484 + 3034.905675 * T) * kDegToRad;
    // Mean longitude referred to a fixed equinox (general precession 5029.0966"/cy added).
    const double zeta = w1 + 0.024381748353014515 * T;

    const double venusTerm = 18.0 * Ve - 16.0 * Ea;
    // The extra angles, then D, M, M' and F.
    const double angles[kExtraAngleCount + 4] = {
        venusTerm,
        2.0 * Ea - 2.0 * Ju,
        4.0 * Ea - 8.0 * Ma + 3.0 * Ju,
        Ve - Ea,
        3.0 * Ve - 3.0 * Ea,
        Ea - Ju,
        10.0 * Ve - 3.0 * Ea,
        2.0 * Ea - 3.0 * Ju,
        2.0 * Ve - 3.0 * Ea,
        Ea - 2.0 * Ma,
        2.0 * Ve - 2.0 * Ea,
        Ea,
        5.0 * Ve - 6.0 * Ea,
        zeta,
        2.0 * zeta,
        3.1991885189056064 + 8433.46585222164 * T,
        D, M, Mp, F,
    };
    double sines[kExtraAngleCount + 4], cosines[kExtraAngleCount + 4];
    SeriesSinCosArray(angles, sines, cosines, kExtraAngleCount + 4);

    double sumL, sumR, sumB;
    SumSeries(sines, cosines, &sumL, &sumR, &sumB);

    *longitude = FmodDegrees(sumL / 3600.0) * kDegToRad + w1;
    *latitude = FmodDegrees(sumB / 3600.0) * kDegToRad;
    *distance = (kMoonMeanDistanceKm + sumR) * kKmToAu;
}
