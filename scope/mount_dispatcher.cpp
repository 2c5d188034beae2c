#include "scope/mount_dispatcher.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "astro/angle_text.h"
#include "astro/horizontal.h"
#include "astro/separation.h"
#include "astro/time_scales.h"
#include "core/report.h"
#include "core/settings.h"
#include "scope/alignment_model.h"
#include "scope/encoder_boxes.h"
#include "scope/lx200.h"
#include "scope/mount_drivers.h"
#include "scope/pointing_model.h"
#include "scope/serial_port.h"
#include "shell/form_dispatcher.h"
#include "shell/utilities.h"

std::uint32_t scopeInUse = 0;

namespace {

MountDispatchLinks links;

int Drive() { return preferences.word[pref::scopeDrive]; }
int MountType() { return preferences.word[pref::mountType]; }
bool TwoStarMethod() { return preferences.word[pref::alignMethod] == 0; }
bool KnownDrive(int drive) { return drive >= 0 && drive <= 20; }

bool IsEncoderCode(int drive) {
    switch (drive) {
        case 1: case 3: case 4: case 11: case 12: case 16: return true;
        default: return false;
    }
}

void OpenForm(int formId) {
    if (links.openForm) links.openForm(formId);
    else GotoForm(formId);
}

bool ChartFollowsMount() { return links.chartFollowsMount && links.chartFollowsMount(); }

struct ClockNow {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    // The local clock time as an angle, degrees (hours × 15).
    double TimeDeg() const { return (hour + minute / 60.0 + second / 3600.0) * 15.0; }
    double SiderealHours() const {
        return LocalSiderealTime(year, month, day, hour, minute, second, observerLocation.longitude,
                                 observerLocation.zoneMinutes);
    }
};

ClockNow Now() {
    ClockNow t;
    GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    return t;
}

// The row of the rate, move and stop operations of a drive code: its own family for the
// drives that slew, the emulated mount for the others; false outside 0..20.
bool MotionDriver(int drive, MountDriver** driver, bool* emulated) {
    *emulated = false;
    switch (drive) {
        case 2: case 5: case 17: *driver = &DriverOf(MountFamily::Lx200); return true;
        case 9: case 10: case 15: case 20: *driver = &DriverOf(MountFamily::NexStar); return true;
        case 14: *driver = &DriverOf(MountFamily::Takahashi); return true;
        case 18: *driver = &DriverOf(MountFamily::SiderealTech); return true;
        default:
            if (!KnownDrive(drive)) return false;
            *driver = &DriverOf(MountFamily::Emulated);
            *emulated = true;
            return true;
    }
}

// Reads the mount: an alt-azimuth reading (degrees) for the boxes and SiderealTech on an
// alt-azimuth mount, else right ascension in hours. `altAz` tells which.
std::uint32_t QueryDriver(int drive, MountDriver& driver, double* first, double* second, bool* altAz) {
    const bool altAzMount = MountType() != 0;
    *altAz = (IsEncoderCode(drive) || drive == 0 || drive == 18) && altAzMount;
    return *altAz ? driver.queryAltAz(first, second) : driver.queryEQ(first, second);
}

// The fitted pointing model on a GoTo target. The model holds degrees of the mount's own
// axes: right ascension × 15 and declination on an equatorial mount; azimuth and altitude
// on an alt-azimuth mount, whose correction goes back to the target through the site's
// horizon now.
void CorrectByPointingModel(const ClockNow& now, double azimuth, double altitude, double* raHours, double* decDeg) {
    if (MountType() == 0) {
        double first = *raHours * 15.0;
        if (ApplyPointingModel(&first, decDeg) == 0) *raHours = first / 15.0;
        return;
    }
    double az = azimuth;
    double alt = altitude;
    if (ApplyPointingModel(&az, &alt) != 0) return;
    const double lst = now.SiderealHours();
    double ra0 = 0.0, dec0 = 0.0, ra1 = 0.0, dec1 = 0.0;
    HorizontalToEquatorial(lst, azimuth * kDegToRad, altitude * kDegToRad, &ra0, &dec0);
    HorizontalToEquatorial(lst, az * kDegToRad, alt * kDegToRad, &ra1, &dec1);
    *raHours += std::remainder(ra1 - ra0, 24.0);
    *decDeg += dec1 - dec0;
}

}  // namespace

MountDispatchLinks SetMountDispatchLinks(const MountDispatchLinks& replacement) {
    const MountDispatchLinks previous = links;
    links = replacement;
    return previous;
}

namespace {

// The family of the chosen drive code, or the message for code 0 or an unknown code.
bool SelectedFamily(const char* noDrive, const char* unknown, MountFamily* family) {
    const int drive = Drive();
    if (drive == 0) {
        ShowMessage(noDrive, "");
        return false;
    }
    if (!MountFamilyOfDrive(drive, family)) {
        ShowMessage(unknown, "");
        return false;
    }
    return true;
}

}  // namespace

std::uint32_t ScopeConnect() {
    if (telescopeEmulation == 1) return 1;
    MountFamily family;
    if (!SelectedFamily("Sorry, no scope drive is selected", "Unknown scope drive", &family)) return 0;
    return DriverOf(family).connect();
}

std::uint32_t ScopeDisconnect() {
    MountFamily family;
    if (!SelectedFamily("Disconnect scope not supported", "Unknown scope drive.", &family)) return 0;
    return DriverOf(family).disconnect();
}

std::uint32_t ScopeGetPosition(double* first, double* second) {
    if (!ScopeConnect()) return 0;
    const int drive = Drive();
    MountFamily family = MountFamily::Encoder;  // code 0: the emulated box
    if (drive != 0 && !MountFamilyOfDrive(drive, &family)) {
        ShowMessage("Unkown scope drive", "");
        return 0;
    }
    bool altAz = false;
    const std::uint32_t read = QueryDriver(drive, DriverOf(family), first, second, &altAz);
    if (read == 1) {
        if (IsAligned() && TwoStarMethod()) {
            const double axis1 = altAz ? *first : *first * 15.0;
            MountToSky(Now().TimeDeg(), axis1, *second, first, second);
        } else if (altAz && !IsAligned()) {
            HorizontalToEquatorial(Now().SiderealHours(), *first * kDegToRad, *second * kDegToRad, first, second);
        }
    }
    return read == 1 ? 1 : 0;
}

std::uint32_t ScopeReadPositionOnce(double* first, double* second) {
    *first = 0.0;
    *second = 0.0;
    const int drive = Drive();
    if (drive == 0) {
        ShowMessage("No drive is selected in Preference", "");
        return 0;
    }
    MountFamily family;
    if (!MountFamilyOfDrive(drive, &family)) return 0;
    MountDriver& driver = DriverOf(family);
    if (family == MountFamily::Takahashi) driver.setSiderealTime(Now().SiderealHours());
    const std::uint32_t connected = driver.connect();
    if (!connected) return 0;

    std::uint32_t read = 0;
    const char* failure = "";
    switch (family) {
        case MountFamily::Encoder:
            if (MountType() == 0) {
                read = driver.queryEQ(first, second);
                failure = "Failed to get Encoder RA and Dec";
            } else if (MountType() == 1 || MountType() == 2) {
                read = driver.queryAltAz(first, second);
                failure = "Failed to get Encoder Az and Alt";
            } else {
                read = connected;
            }
            break;
        case MountFamily::SiderealTech: {
            bool altAz = false;
            read = QueryDriver(drive, driver, first, second, &altAz);
            failure = "Failed to get SiderealTech RA and Dec";
            break;
        }
        default:
            read = driver.queryEQ(first, second);
            switch (family) {
                case MountFamily::Lx200: failure = "Failed to get Meade RA and Dec."; break;
                case MountFamily::NexStar: failure = "Failed to get Celestron RA and Dec"; break;
                case MountFamily::ServoCat: failure = "Failed to get Servocat RA and Dec"; break;
                case MountFamily::Takahashi: failure = "Failed to get Takahashi RA and Dec"; break;
                default: failure = "Failed to get SkyCommander RA and Dec."; break;
            }
            break;
    }
    if (!read) ShowMessage(failure, "");
    driver.disconnect();
    return read == 1 ? 1 : 0;
}

void ScopeGoto(double raHours, double decDeg, int mode) {
    const ClockNow now = Now();
    // Nothing reaches the mount that was not computed.
    double targetRa = std::nan("");
    double targetDec = std::nan("");
    double altitude = std::nan("");
    double azimuth = std::nan("");
    ComputeApparentPosition(raHours, decDeg, &targetRa, &targetDec, &altitude, &azimuth, mode, now.year, now.month,
                            now.day, now.hour, now.minute, now.second);
    const int drive = Drive();
    const bool encoder = IsEncoderCode(drive);

    if (!TwoStarMethod()) {
        CorrectByPointingModel(now, azimuth, altitude, &targetRa, &targetDec);
    } else if (!IsAligned()) {
        ShowMessage("Please first perfom the 2 star aligment", "");
    } else if (encoder) {
        SetEncoderTarget(targetRa, targetDec);
    } else {
        AlignStar target;
        target.time = now.TimeDeg();
        target.ra = targetRa * 15.0;
        target.dec = targetDec;
        SkyToMount(target);
        double first = target.modelAxis1;
        double second = target.modelAxis2;
        constexpr double kTwoPi = 2.0 * std::numbers::pi;
        if (MountType() != 0) {
            first = kTwoPi - first;
            MountErrorCorrect(&second, &first);
            first = kTwoPi - first;
        } else {
            MountErrorCorrect(&second, &first);
        }
        targetRa = first * 12.0 / std::numbers::pi;
        targetDec = second * 180.0 / std::numbers::pi;
    }

    if (!KnownDrive(drive)) {
        char text[48];
        std::snprintf(text, sizeof text, "Unknown scope drive: %d", drive);
        ShowMessage(text, "");
        return;
    }
    if (!std::isfinite(targetRa) || !std::isfinite(targetDec)) {
        ShowMessage("Goto failed", "");
        return;
    }
    // The corrections can carry the first angle past either end of the day.
    targetRa = std::fmod(targetRa, 24.0);
    if (targetRa < 0.0) targetRa += 24.0;

    MountFamily family = MountFamily::Encoder;
    bool openControl = false;
    switch (drive) {
        case 0: case 6: case 7: {
            char ra[32], dec[32], az[32], alt[32], first[32], second[32];
            char heading[160];
            std::snprintf(heading, sizeof heading, "Sky position:\nRa:%s\nDec:%s\nAzt:%s\nAlt:%s\n",
                          HMSToStr(ra, sizeof ra, raHours), DMSToStr(dec, sizeof dec, decDeg),
                          DMSToStr(az, sizeof az, azimuth), DMSToStr(alt, sizeof alt, altitude));
            char detail[128];
            if (MountType() == 0)
                std::snprintf(detail, sizeof detail, "Scope Position:\nRa:%s\nDec:%s",
                              HMSToStr(first, sizeof first, targetRa), DMSToStr(second, sizeof second, targetDec));
            else
                std::snprintf(detail, sizeof detail, "Scope Position:\nAzt:%s\nAlt:%s",
                              DMSToStr(first, sizeof first, targetRa * 15.0),
                              DMSToStr(second, sizeof second, targetDec));
            ShowMessage(heading, detail);
            return;
        }
        case 1: case 3: case 4: case 11: case 12: case 16:
            if (!TwoStarMethod())
                ShowMessage("Please select Velkarion 2 Stars aligment method into Pref1/7 panel.", "");
            else if (!IsAligned())
                ShowMessage("Please do the 2 Stars aligment first.", "");
            else
                DriverOf(MountFamily::Encoder).gotoEQ(targetRa, targetDec);
            return;
        default:
            MountFamilyOfDrive(drive, &family);
            break;
    }

    MountDriver& driver = DriverOf(family);
    switch (family) {
        case MountFamily::Lx200:
            if (!driver.connect()) return;
            if (!driver.gotoEQ(targetRa, targetDec)) {
                ShowMessage("Goto failed", meadeState.gotoReply);
                driver.disconnect();
                return;
            }
            openControl = true;
            break;
        case MountFamily::NexStar:
            if (!driver.connect()) return;
            if (!driver.gotoEQ(targetRa, targetDec)) {
                driver.disconnect();
                ShowMessage("Goto failed", "");
                return;
            }
            // The oldest hand controls take no other command until disconnected.
            if (drive == 8) {
                driver.disconnect();
                return;
            }
            openControl = true;
            break;
        case MountFamily::ServoCat:
            if (driver.connect() && !driver.gotoEQ(targetRa, targetDec)) ShowMessage("Goto failed", "");
            driver.disconnect();
            return;
        case MountFamily::Takahashi:
            driver.setSiderealTime(now.SiderealHours());
            [[fallthrough]];
        case MountFamily::SiderealTech:
            if (!driver.connect()) return;
            if (!driver.gotoEQ(targetRa, targetDec)) {
                ShowMessage("Goto failed", "");
                driver.disconnect();
                return;
            }
            openControl = true;
            break;
        case MountFamily::SkyCommander:
            if (!driver.connect()) return;
            if (!driver.gotoEQ(targetRa, targetDec)) {
                ShowMessage("Goto failed", "");
                driver.disconnect();
            }
            return;
        default:
            return;
    }
    if (openControl && !ChartFollowsMount()) {
        scopeInUse = 1;
        OpenForm(kScopeControlFormId);
    }
}

std::uint32_t ScopeSync(double raHours, double decDeg) {
    if (!ScopeConnect()) return 0;
    switch (Drive()) {
        case 2: case 5: case 17: DriverOf(MountFamily::Lx200).syncEQ(raHours, decDeg); break;
        // Code 8 is left out: its hand control takes a sync as a GoTo and would slew.
        case 10: case 15: case 20: DriverOf(MountFamily::NexStar).syncEQ(raHours, decDeg); break;
        case 14: DriverOf(MountFamily::Takahashi).syncEQ(raHours, decDeg); break;
        default: ShowNotImplemented(); break;
    }
    return ScopeDisconnect();
}

namespace {

// One motion operation by the drive code: the message names an unknown code; on an
// emulated code outside emulation the operation answers `idle` without a call.
template <class Call>
int Motion(const char* unknown, int idle, Call call) {
    MountDriver* driver = nullptr;
    bool emulated = false;
    if (!MotionDriver(Drive(), &driver, &emulated)) return ShowMessage(unknown, "");
    if (emulated && telescopeEmulation != 1) return idle;
    return static_cast<int>(call(*driver));
}

}  // namespace

int ScopeSetRate(int rate) {
    return Motion("Unknown scope drive.", rate, [rate](MountDriver& d) { return d.setRate(rate); });
}

int ScopeStartMove(int direction) {
    return Motion("Unknown scope drive", direction, [direction](MountDriver& d) { return d.move(direction); });
}

int ScopeStopMove(int direction) {
    return Motion("Unknown scope drive.", direction, [direction](MountDriver& d) { return d.stopMove(direction); });
}

int ScopeStop() {
    return Motion("Unknown scope drive.", 0, [](MountDriver& d) { return d.stopAll(); });
}

void OpenScopeControl(int connectFirst) {
    scopeInUse = 1;
    if (connectFirst && !ScopeConnect()) return;
    OpenForm(kScopeControlFormId);
}
