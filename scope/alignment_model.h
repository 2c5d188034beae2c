#pragma once
// The two-star alignment model: the sky (right ascension and declination) against the two
// axis angles of the user's mount.
//
// Two stars, each with its catalog place, the local clock time of its reading and the
// mount reading, give a unit vector in a sky frame and in a mount frame; the third of each
// frame is the normalised cross product of the first two, and T = M · S⁻¹ maps any sky
// vector to a mount vector. Three small axis-error terms (c0, c1 and z) and two zero-point
// offsets, fitted from more stars (pointing_model.h), refine the mount side.
//
// Degrees across every interface (right ascension as hours × 15 where a record holds it,
// times as local clock time × 15); radians inside. On alt-azimuth mounts (any non-zero
// mount type, `Preferences` word 9) the model works with A = 360° − azimuth. The frame
// turns with the sky (star times move the sky angle) on alt-azimuth mounts and on encoder
// boxes; a plain equatorial drive reports right ascension itself.
#include <cstddef>
#include <cstdint>

// One alignment star: the two working stars of the two-star alignment, their saved copies
// and each entry of the N-star table. 128 bytes in the settings and the star table
// (saved_alignment.h), read and written field by field.
struct AlignStar {
    std::int32_t objectNumber = 0;  // selection-list position; -1 in a cleared block
    char name[20] = {};             // NUL-terminated, at most 19 characters
    double time = 0.0;              // local clock time of the reading, degrees (hours × 15)
    double ra = 0.0;                // degrees
    double dec = 0.0;               // degrees
    double axis1 = 0.0;             // mount reading (two-star) or expected reading (N-star), degrees
    double axis2 = 0.0;
    double modelAxis1 = 0.0;        // predicted by SkyToMount (radians as it writes them)
    double modelAxis2 = 0.0;
    double measuredAxis1 = 0.0;     // read from the mount at synchronisation, degrees
    double measuredAxis2 = 0.0;
    double correctedAxis1 = 0.0;    // predicted with the fitted corrections, degrees
    double correctedAxis2 = 0.0;
    double siderealTime = 0.0;      // local sidereal time at entry, hours
    std::int32_t catalogCode = 0;
};
inline constexpr std::size_t kAlignStarSize = 128;

struct AlignmentModel {
    double transform[9] = {};    // T, row by row: mount vector = T · sky vector
    double referenceTime = 0.0;  // local clock time of the alignment, radians (2π per day)
    double platformAngle = 0.0;  // radians turned by the equatorial platform since its reset
    std::int32_t platformMode = 0;
    std::int32_t aligned = 0;    // 1 while a two-star solution is held
    double axisError[3] = {};    // c0, c1, z (radians)
    double axis2Offset = 0.0;    // radians, subtracted by MountErrorCorrect
    double axis1Offset = 0.0;
};
extern AlignmentModel alignmentModel;

// Sidereal radians per clock radian; 0 while the platform mode is on.
inline constexpr double kSiderealRate = 1.002737909350795;
extern double siderealRateFactor;

inline constexpr double kDegToRad = 0.0174532925199433;
inline constexpr double kRadToDeg = 57.29577951308232;

// Solves the model from two stars (time, ra, dec, axis1, axis2 filled) at the alignment
// time given as hour text. 1 solved. Parallel mount vectors show "Please, fill all
// values"; parallel sky vectors fail without a message; both leave the model unaligned.
int SolveTwoStarMatrix(const char* timeText, const AlignStar& first, const AlignStar& second);
// Writes the ideal mount angles of the record's time, ra and dec into modelAxis1 and
// modelAxis2, in radians (no axis-error term). Nothing while unaligned.
void SkyToMount(AlignStar& record);
// The sky position of a mount reading at a clock time (degrees): right ascension 0 to
// 24 h, declination in degrees. 0 while unaligned (outputs untouched), else 1.
int MountToSky(double timeDeg, double axis1Deg, double axis2Deg, double* raHours, double* decDeg);
// Ideal mount angles (radians, as SkyToMount gives them, the first mirrored on alt-azimuth
// mounts) turned into the angles to send: the axis-error terms undone to first order and
// the offsets taken off. Second axis first.
void MountErrorCorrect(double* second, double* first);
// The mount direction vector of axis angles (radians) with the current terms; its z is
// sin(second + z).
double MountDirectionX(double second, double first);
double MountDirectionY(double second, double first);
// Divides by the length when it exceeds 1e-8.
void NormalizeVector3(double v[3]);

int IsAligned();
void ClearAlignment();

// The equatorial platform: while on, star times no longer turn the sky; the platform
// angle, set at each reset, does.
int GetPlatformMode();
void SetPlatformMode(int on);
// Zeroes the platform angle; with the mode on, sets it from the device clock. With the
// mode off: "PlatFormMode is not activated." under "ResetPlatform".
void ResetPlatform();

// Fills a star from form texts: time and ra as hours, dec and the axes as degrees, the
// name (at most 19 characters). An empty text leaves its field; nothing is done when the
// record or any of the first five texts is null.
void FillStarRecord(AlignStar* star, const char* timeText, const char* raText, const char* decText,
                    const char* axis1Text, const char* axis2Text, const char* nameText);

// True when the model takes alt-azimuth readings (any non-zero mount type).
bool IsAltAzMount();
