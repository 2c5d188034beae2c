#pragma once
// Transits, shadows, eclipses and occultations of Enceladus, Tethys, Dione, Rhea and Titan
// for the Saturn events list: the satellites are computed from the Earth and from the Sun at
// seven instants over about a day, and any instant in that span is answered by interpolation.
// Slots follow the satellites' numbering less one: 1 Enceladus .. 5 Titan; slot 0 (Mimas)
// is kept empty.
#include <cstdint>
#include <vector>

inline constexpr int kSaturnSlots = 6;
inline constexpr int kSaturnSamples = 7;

// The eleven tables: 0 the instants, 1 their Lagrange weights, 2-4 Saturn's heliocentric
// longitude, latitude (degrees) and radius vector (AU), 5-7 X, Y, Z seen from the Earth and
// 8-10 seen from the Sun (slot-major, seven samples per slot). Empty when not prepared.
inline constexpr int kSaturnTableCount = 11;
extern std::vector<double> saturnTables[kSaturnTableCount];

// One satellite at an instant: X, Y, Z seen from the Earth (Saturn equatorial radii on the
// apparent disc, Z negative when nearer to the observer than Saturn) and its four flags.
struct SaturnSatelliteRecord {
    double x, y, z;
    std::uint8_t transit, occultation, eclipse, shadow;
};

// Samples JD0 + k step (k = 0..6), Saturn from the long theory of `body`, both views.
void PrepareSaturnTables(double jd0, double step, int body);
void FreeSaturnTables();

// The codes of slots 1..5 at jd (codes[0] is Enceladus). Returns 1, or 0 without touching
// `codes` when the tables are not prepared.
int GetSaturnPhenomena(double jd, int codes[5]);
// Fills records[1..5] at jd and classifies them; returns the classification of the last
// one (1 inside the disc), or -1 without touching the records when not prepared.
int GetSaturnSatellitesAt(double jd, SaturnSatelliteRecord records[kSaturnSlots]);

// Lagrange interpolation over the samples; 0 with the outputs untouched when not prepared.
int InterpolateSaturnPosition(double jd, double* longitude, double* latitude, double* radius);
int InterpolateSaturnSatellite(double jd, int slot, double* x, double* y, double* z, double* sunX, double* sunY,
                               double* sunZ);

// Sets the transit and occultation flags from X, Y, Z: inside the flattened disc a satellite
// transits when nearer than Saturn (Z < 0), else it is occulted. Returns 1 inside.
int ClassifySatelliteDisc(SaturnSatelliteRecord* record);

// The phenomenon code of one record's flags.
int SaturnPhenomenonCode(const SaturnSatelliteRecord& record);

// Stores both views' corrected X, Y, Z of slots 1..5 at sample `column`.
void ComputeSaturnSample(double jd, int column);

// Chapter 46 for slots 1..5 seen from an observer at the Sun's geocentric longitude and
// latitude (radians) and distance R (AU; 0 puts the observer at the Sun): per slot X, Y, Z
// before and X, Y, Z after the light-time and perspective corrections, and an unused seventh.
// Returns 0 when Saturn's position cannot be interpolated.
int ComputeSaturnSatellites(double jd, double sunLongitude, double sunLatitude, double sunDistance,
                            double out[kSaturnSlots][7]);

// Ecliptic longitude and latitude (degrees) precessed from the equinox of jdFrom to jdTo.
void PrecessEcliptic(double longitude, double latitude, double jdFrom, double jdTo, double* outLongitude,
                     double* outLatitude);

// Radius, longitude, latitude (inclination to the reference plane) and node of an elliptic
// satellite orbit (Rhea, Titan) from its elements, all angles in radians.
struct SatelliteOrbitPoint {
    double radius, longitude, inclination, node;
};
SatelliteOrbitPoint ComputeEllipticSatellite(double meanLongitude, double perisaturnium, double e, double a,
                                             double node, double inclination);

// The published rotation from the orbit frame to the apparent disc: returns A, B, C for a
// point on the orbit, given Saturn's B1950 ecliptic longitude and latitude (radians).
void RotateSatelliteCoordinates(const SatelliteOrbitPoint& orbit, double lambda0, double beta0, double* a, double* b,
                                double* c);

// The light-time loop's cap.
inline constexpr int kLightTimeIterations = 20;
// Iterates tau = lightTime(tau) until it changes by at most 2e-6 days or the cap is reached;
// returns the number of passes.
template <typename F>
int IterateLightTime(double* tau, F&& next) {
    int n = 0;
    while (n < kLightTimeIterations) {
        ++n;
        const double updated = next(*tau);
        const double change = updated - *tau;
        *tau = updated;
        if (change <= 2e-6 && change >= -2e-6) break;
    }
    return n;
}
