#include "objects/sky_brightness.h"

#include <algorithm>
#include <cmath>

#include "astro/rise_set.h"
#include "astro/separation.h"
#include "astro/time_scales.h"
#include "core/calendar.h"

SkyModel skyModel{};

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kRadToDeg = 180.0 / kPi;
constexpr double kHoursToRad = kPi / 12.0;

// Below this sky brightness (nanolamberts) the eye works in night vision.
constexpr double kDayVisionThreshold = 1479.0;
// The scattering function is singular at 0; nothing is nearer a light than its own radius.
constexpr double kMinimumScatterAngleDeg = 0.25;
// The Moon's radius in Earth radii.
constexpr double kMoonRadiusEarthRadii = 0.2725;

// The settings words of the observer.
constexpr int kExperienceWord = pref::observerExperience;
constexpr int kAgeWord = pref::observerAge;
constexpr int kAcuityWord = pref::observerVision;

double Pow10(double x) { return std::pow(10.0, x); }

// Angle in radians between two places given as (hours, degrees).
double Separation(double ra1, double dec1, double ra2, double dec2) {
    return AngularSeparation(ra1, dec1, ra2, dec2) * kDegToRad;
}

// The relative air mass of a zenith distance; 40 below the horizon.
double AirMass(double zenithDistance) {
    if (zenithDistance > kPi / 2.0) return 40.0;
    const double c = std::cos(zenithDistance);
    return 1.0 / (c + 0.025 * std::exp(-11.0 * c));
}

// Light scattered towards a direction rho (radians) from a source, per unit illuminance.
double ScatteringFunction(double rho) {
    const double rhoDeg = std::max(rho * kRadToDeg, kMinimumScatterAngleDeg);
    const double c = std::cos(rhoDeg * kDegToRad);
    return 6.2e7 / (rhoDeg * rhoDeg) + Pow10(6.15 - rhoDeg / 40.0) + Pow10(5.36) * (1.06 + c * c);
}

}  // namespace

double RoundToTenth(double value) { return std::floor(10.0 * value + 0.5) / 10.0; }
double RoundToHundredth(double value) { return std::floor(100.0 * value + 0.5) / 100.0; }

double Atan2Positive(double x, double y) {
    if (x == 0.0) {
        if (y > 0.0) return 1.5707963267948943;
        if (y < 0.0) return 4.71238898038469;
        return 0.0;
    }
    double a = std::atan(y / x);
    if (x < 0.0) a += kPi;
    if (a < 0.0) a += 2.0 * kPi;
    return a;
}

void LowPrecisionSun(double jd, double* ra, double* dec) {
    const double n = jd - 2451545.0;
    const double g = (357.528 + 0.9856003 * n) * kDegToRad;
    const double L = 280.46 + 0.9856474 * n;
    const double lambda = (L + 1.915 * std::sin(g) + 0.02 * std::sin(2.0 * g)) * kDegToRad;
    const double eps = (23.439 - 0.0000004 * n) * kDegToRad;
    *ra = Atan2Positive(std::cos(lambda), std::cos(eps) * std::sin(lambda)) * 3.819718634205;
    *dec = std::asin(std::sin(eps) * std::sin(lambda)) * 57.2957795130823;
}

void LowPrecisionMoonEcliptic(double jd, double* longitude, double* latitude, double* parallax) {
    const double T = (jd - 2451545.0) * 2.7378507871321012e-5;
    auto s = [](double deg) { return std::sin(deg * kDegToRad); };
    auto c = [](double deg) { return std::cos(deg * kDegToRad); };
    *longitude = 218.32 + 481267.883 * T + 6.29 * s(134.9 + 477198.85 * T) - 1.27 * s(259.2 - 413335.38 * T) +
                 0.66 * s(235.7 + 890534.23 * T) + 0.21 * s(269.9 + 954397.7 * T) - 0.19 * s(357.5 + 35999.05 * T) -
                 0.11 * s(186.6 + 966404.05 * T);
    *latitude = 5.13 * s(93.3 + 483202.03 * T) + 0.28 * s(228.2 + 960400.87 * T) - 0.28 * s(318.3 + 6003.18 * T) -
                0.17 * s(217.6 - 407332.2 * T);
    *parallax = 0.9508 + 0.0518 * c(134.9 + 477198.85 * T) + 0.0095 * c(259.2 - 413335.38 * T) +
                0.0078 * c(235.7 + 890534.23 * T) + 0.0028 * c(269.9 + 954397.7 * T);
}

void LowPrecisionMoon(double jd, double lst, double latitude, double* ra, double* dec, double* distance) {
    double lambda = 0, beta = 0, parallax = 0;
    LowPrecisionMoonEcliptic(jd, &lambda, &beta, &parallax);
    lambda *= kDegToRad;
    beta *= kDegToRad;
    const double r = 1.0 / std::sin(parallax * kDegToRad);
    const double x = r * std::cos(beta) * std::cos(lambda);
    const double y = r * (0.9175 * std::cos(beta) * std::sin(lambda) - 0.3978 * std::sin(beta));
    const double z = r * (0.3978 * std::cos(beta) * std::sin(lambda) + 0.9175 * std::sin(beta));
    const double theta = lst * kHoursToRad;
    const double phi = latitude * kDegToRad;
    const double xt = x - std::cos(phi) * std::cos(theta);
    const double yt = y - std::cos(phi) * std::sin(theta);
    const double zt = z - std::sin(phi);
    const double rt = std::sqrt(xt * xt + yt * yt + zt * zt);
    *ra = Atan2Positive(xt, yt) * 12.0 / kPi;
    *dec = std::asin(zt / rt) * kRadToDeg;
    *distance = rt;
}

double SurfaceBrightness(double nanolamberts) {
    return 27.78151 - 1.0857362486075433 * std::log(3.8022813688212924 * nanolamberts);
}

double LightPollutionTerm(int skyValue) {
    if (skyValue >= 30) return 0.0;
    return std::pow(std::log10(31.0 - skyValue), 10.0);
}

int GetSiteSkyBrightness() { return GetChartFontSize(); }

SkyObserver SkyObserverFromPreferences() {
    SkyObserver o;
    o.acuity = (preferences.word[kAcuityWord] + 2) * 0.1;
    o.age = preferences.word[kAgeWord];
    o.experience = preferences.word[kExperienceWord] * 5.0;
    return o;
}

double ComputeSkyBrightnessFor(SkyModel* model, const ObserverLocation& site, const SkyObserver& observer,
                               int skyValue, int year, int month, int day, int hour, int minute, SkyTerms* terms) {
    SkyModel& m = *model;
    m.altitude = 89.0;
    m.azimuth = 180.0;
    m.humidity = site.humidity;
    m.temperature = site.temperature;
    m.latitude = site.latitude;
    m.longitude = site.longitude;
    m.zoneHours = site.zoneMinutes / 60.0;
    m.height = site.height;
    // A Snellen ratio of 0 or less would take the eye's resolution to infinity.
    m.acuity = std::max(observer.acuity, 0.1);
    m.year = year;
    m.month = month;
    m.day = day;
    m.hour = hour;
    m.minute = minute;
    m.second = 0;
    m.age = std::max(observer.age, 0.0);
    m.experience = observer.experience;

    // Where the Sun and the Moon stand.
    const double jd = DateTimeToJD(year, month, day, hour, minute, 0, site.zoneMinutes);
    const double lst = LocalSiderealTime(year, month, day, hour, minute, 0, site.longitude, site.zoneMinutes);
    double sunRa = 0, sunDec = 0;
    LowPrecisionSun(jd, &sunRa, &sunDec);
    const double sunAlt = ComputeAltitude(lst, sunRa, sunDec, site.latitude);
    const double sunAz = ComputeAzimuth(lst, sunRa, sunDec, site.latitude);
    double moonRa = 0, moonDec = 0, moonEarthRadii = 0;
    LowPrecisionMoon(jd, lst, site.latitude, &moonRa, &moonDec, &moonEarthRadii);
    const double moonAlt = ComputeAltitude(lst, moonRa, moonDec, site.latitude);
    const double moonAz = ComputeAzimuth(lst, moonRa, moonDec, site.latitude);

    // The Moon's phase.
    const double elongation = Separation(moonRa, moonDec, sunRa, sunDec);
    const double k = (1.0 - std::cos(elongation)) / 2.0;
    m.moonFraction = k;
    const double phaseDeg = std::acos(std::clamp(2.0 * k - 1.0, -1.0, 1.0)) * kRadToDeg;

    // Zenith distances and distances from the direction, on (azimuth / 15, altitude) pairs.
    const double lookAz = m.azimuth / 15.0;
    const double zenithMoon = Separation(moonAz / 15.0, moonAlt, 0.0, 90.0);
    const double rhoMoon = Separation(moonAz / 15.0, moonAlt, lookAz, m.altitude);
    const double zenithSun = Separation(sunAz / 15.0, sunAlt, 0.0, 90.0);
    const double rhoSun = Separation(sunAz / 15.0, sunAlt, lookAz, m.altitude);
    const double Z = (90.0 - m.altitude) * kDegToRad;
    m.moonDistance = RoundToTenth(rhoMoon * kRadToDeg);
    m.sunDistance = RoundToTenth(rhoSun * kRadToDeg);

    // Extinction coefficients, magnitudes per air mass.
    const double h = site.height;
    const double rh = std::clamp<double>(site.humidity, 0.0, 100.0);
    const double sunRaRad = sunRa * kHoursToRad;
    const double phi = site.latitude * kDegToRad;
    const double kr = 0.1066 * std::exp(-h / 8200.0);
    // ln(RH / 100) is 0 at 100 % and changes sign above: the humid end stays at 99 %; a
    // dry sky (the limit at 0 %) has the factor 1.
    const double aerosolFactor = rh <= 0.0 ? 1.0 : std::pow(1.0 - 0.32 / std::log(std::min(rh, 99.0) / 100.0), 4.0 / 3.0);
    const double ka = 0.12 * (1.0 + 0.33 * std::sin(sunRaRad)) * aerosolFactor * std::exp(-h / 1500.0);
    const double ko = 0.031 * (3.0 + 0.4 * (phi * std::cos(sunRaRad) - std::cos(3.0 * phi))) / 3.0;
    const double kw = 0.031 * 0.94 * (rh / 100.0) * std::exp(site.temperature / 15.0) * std::exp(-h / 8200.0);
    const double K = kr + ka + ko + kw;
    m.extinctionCoefficient = RoundToHundredth(K);
    double varianceK = 0.0;
    for (double term : {kr, ka, ko, kw}) varianceK += (0.4 * term + 0.01) * (0.4 * term + 0.01);
    const double sigmaK = std::sqrt(varianceK);

    // Air masses of the direction (gas, aerosol, ozone) and the plain ones.
    const double cz = std::cos(Z);
    const double xGas = 1.0 / (cz + 0.0286 * std::exp(-10.5 * cz));
    const double xAerosol = 1.0 / (cz + 0.0123 * std::exp(-24.5 * cz));
    const double sz = 0.9968740231322287 * std::sin(Z);
    const double xOzone = 1.0 / std::sqrt(1.0 - sz * sz);
    m.extinction = RoundToHundredth((kr + kw) * xGas + ka * xAerosol + ko * xOzone);
    const double X = AirMass(Z);
    const double XM = AirMass(zenithMoon);
    const double XS = AirMass(zenithSun);
    const double scatteredPart = 1.0 - Pow10(-0.4 * K * X);

    // Moonlight: the Moon's illuminance at the ground (foot-candles) scattered towards the
    // direction, with the opposition surge near full Moon.
    const double moonMagnitude = -12.73 + 0.026 * std::fabs(phaseDeg) + 4e-9 * std::pow(phaseDeg, 4.0);
    const double moonIlluminance = Pow10(-0.4 * (moonMagnitude + 16.57 + K * XM));
    double BM = moonIlluminance * ScatteringFunction(rhoMoon) * scatteredPart;
    const double surge = 1.35 - 0.05 * std::fabs(phaseDeg);
    if (surge > 1.0) BM *= surge;
    m.moonlightMagnitude =
        moonAlt > 0.0 ? RoundToHundredth(-2.5 * std::log10(moonIlluminance) - 16.57) : 50.0;

    // Glare within 5 degrees of the Moon, outside its disc: scattering by the air near the
    // source and inside the eye, never brighter than the lit disc itself.
    double glare = 0.0;
    const double rhoMoonDeg = rhoMoon * kRadToDeg;
    const double moonRadiusDeg = std::asin(std::min(1.0, kMoonRadiusEarthRadii / moonEarthRadii)) * kRadToDeg;
    if (rhoMoonDeg <= 5.0 && rhoMoonDeg / moonRadiusDeg > 1.0) {
        const double above = Pow10(-0.4 * (moonMagnitude + 16.57));
        const double throughAir = Pow10(-0.4 * K * XM);
        const double inverseSquare = 1.0 / (rhoMoonDeg * rhoMoonDeg);
        const double atmosphere = 6.25e7 * above * inverseSquare * (throughAir - Pow10(-0.8 * K * XM));
        const double eye = 4.63e7 * above * throughAir * inverseSquare;
        const double disc = 5.67e10 * above * throughAir / std::max(k, 1e-3);
        glare = std::min(atmosphere + eye, disc);
    }

    // The night sky, with the solar cycle and the brightening towards the horizon.
    const double sinZ = std::sin(Z);
    const double BN = 200.0 * (1.0 + 0.3 * std::cos(0.5711986642890527 * (year - 1992))) *
                      (0.4 + 0.6 / std::sqrt(1.0 - 0.96 * sinZ * sinZ)) * Pow10(-0.4 * K * X);

    // Twilight and daylight; the smaller of the two holds.
    const double twilightSpread = std::max(1.0, Pow10(rhoSun * 0.6366197723675812 - 1.1));
    const double BT = Pow10(8.45 + 0.4 * sunAlt) * scatteredPart * twilightSpread;
    const double sunThroughAir = Pow10(-0.4 * K * XS);
    const double sunIlluminance = 11700.0 * sunThroughAir;
    // The light the air scatters more than once keeps the daylight term from collapsing as
    // the Sun's own light fades towards the horizon (its air mass reaching 40 there): the
    // published program's constant term. Without it the sky at sunset came out as night.
    const double BD =
        11700.0 * (ScatteringFunction(rhoSun) * sunThroughAir + 440000.0 * (1.0 - sunThroughAir)) * scatteredPart;
    m.sunlightMagnitude = sunAlt > 0.0 ? RoundToHundredth(-2.5 * std::log10(sunIlluminance) - 16.57) : 50.0;

    const double B = std::min(BT, BD) + glare + BN + BM;
    const bool dayVision = B >= kDayVisionThreshold;

    // The eye: threshold constants and corrections for extinction, the colours of star and
    // sky, the pupil by age, acuity and seeing.
    // The eye's resolution (arc seconds): 42 x 10^(8.28 B^-0.29) is the day-vision (cone)
    // form, 380 x 10^(0.3 B^-0.29) capped at 900 the night-vision (rod) one, as in the
    // published program.
    double C1, C2, Fe, Fci, Fcb, resolution, feError;
    if (dayVision) {
        C1 = Pow10(-8.35);
        C2 = Pow10(-5.9);
        Fe = Pow10(0.4 * K * X);
        feError = 0.92;
        Fci = Fcb = 1.0;
        resolution = 42.0 * Pow10(8.28 * std::pow(B, -0.29));
    } else {
        C1 = Pow10(-9.8);
        C2 = Pow10(-1.9);
        Fe = Pow10(0.48 * K * X);
        feError = 1.105;
        Fci = Pow10(-0.3);
        Fcb = Pow10(-0.26);
        resolution = std::min(900.0, 380.0 * Pow10(0.3 * std::pow(B, -0.29)));
    }
    resolution /= m.acuity;
    const double pupil = 7.0 * std::exp(-0.5 * (m.age / 100.0) * (m.age / 100.0));
    const double standardPupil = 7.0 * std::exp(-0.5 * 0.25 * 0.25);
    const double Fp = (standardPupil / pupil) * (standardPupil / pupil);
    const double seeing = std::sqrt(2.25 * 2.888 * X);
    const double Fr = (1.0 + 0.03 * (seeing / resolution) * (seeing / resolution)) / (m.acuity * m.acuity);

    const double root = 1.0 + std::sqrt(C2 * B / (Fp * Fcb));
    const double threshold = C1 * root * root * Fp * Fr * Fci * Fe;
    const double limit = RoundToHundredth(-16.57 - 2.5 * std::log10(threshold) + 0.16 * (m.experience - 6.0));
    const double pollution = LightPollutionTerm(skyValue);
    m.limitingMagnitude = RoundToHundredth(limit - pollution);

    // The stored sky values.
    m.skySurfaceBrightness = RoundToHundredth(SurfaceBrightness(B));
    m.skyBrightness = B <= 1000.0 ? RoundToHundredth(B) : B;
    if (moonAlt >= 0.0) {
        m.moonSurfaceBrightness = RoundToHundredth(SurfaceBrightness(BM));
        m.moonBrightness = BM <= 1000.0 ? RoundToHundredth(BM) : BM;
    } else {
        m.moonSurfaceBrightness = -500.0;
        m.moonBrightness = 0.0;
    }

    // The uncertainty: 0.16 magnitudes of the threshold itself with the relative errors of
    // the extinction factor (from that of K), of the colours (night) and of acuity.
    double variance = 0.16 * 0.16 + 0.2 * 0.2;
    const double fe = feError * X * sigmaK;
    variance += fe * fe;
    if (!dayVision) variance += 0.23 * 0.23 + 0.046 * 0.046;
    m.uncertainty = RoundToHundredth(std::sqrt(variance));

    if (terms) {
        terms->night = BN;
        terms->moon = BM;
        terms->glare = glare;
        terms->twilight = BT;
        terms->daylight = BD;
        terms->total = B;
        terms->dayVision = dayVision;
        terms->moonAirMass = XM;
        terms->sunAirMass = XS;
        terms->limitBeforePollution = limit;
        terms->pollution = pollution;
    }
    return m.uncertainty;
}

double ComputeSkyBrightness(SkyModel* model, int year, int month, int day, int hour, int minute) {
    return ComputeSkyBrightnessFor(model, observerLocation, SkyObserverFromPreferences(), GetSiteSkyBrightness(), year,
                                   month, day, hour, minute);
}
