#include "scope/mount_drivers.h"

#include "core/report.h"
#include "scope/encoder_boxes.h"
#include "scope/lx200.h"
#include "scope/nexstar.h"
#include "scope/servocat_skycommander.h"
#include "scope/sidereal_tech.h"
#include "scope/takahashi.h"

namespace {

// The answers of an operation a family does not have.
std::uint32_t NoCall() { return ShowNotImplemented(), 0u; }
std::uint32_t NoQuery(double*, double*) { return NoCall(); }
std::uint32_t NoTarget(double, double) { return NoCall(); }
std::uint32_t NoIndex(int) { return NoCall(); }
// Families without a clock of their own: nothing to tell them.
std::uint32_t KeepsNoClock(double) { return 1; }

// The encoder boxes read raw counts too; the dispatcher wants the angles only.
std::uint32_t EncoderEQ(double* ra, double* dec) {
    std::int32_t rawAz = 0;
    std::int32_t rawAlt = 0;
    return EncoderQueryEQ(ra, dec, &rawAz, &rawAlt);
}
std::uint32_t EncoderAltAz(double* az, double* alt) {
    std::int32_t rawAz = 0;
    std::int32_t rawAlt = 0;
    return EncoderQueryAltAz(az, alt, &rawAz, &rawAlt);
}

// The LX200 driver answers 0 when the mount accepted the GoTo.
std::uint32_t Lx200Goto(double ra, double dec) { return MeadeGotoEQ(ra, dec) == 0 ? 1u : 0u; }

std::uint32_t EmulatedStopMove(int) { return EmulStopMove(); }

MountDriver EncoderRow() {
    MountDriver d = NotImplementedDriver("Encoder");
    d.connect = &EncoderConnect;
    d.disconnect = &EncoderDisconnect;
    d.queryEQ = &EncoderEQ;
    d.queryAltAz = &EncoderAltAz;
    d.gotoEQ = &EncoderGotoEQ;
    d.setSiderealTime = &KeepsNoClock;
    return d;
}

MountDriver Lx200Row() {
    MountDriver d = NotImplementedDriver("LX200");
    d.connect = &MeadeConnect;
    d.disconnect = &MeadeDisconnect;
    d.queryEQ = &MeadeQueryEQ;
    d.gotoEQ = &Lx200Goto;
    d.syncEQ = &MeadeSyncEQ;
    d.setRate = &MeadeSetRate;
    d.move = &MeadeMove;
    d.stopMove = &MeadeStopMove;
    d.stopAll = &MeadeStopAll;
    d.setSiderealTime = &KeepsNoClock;
    return d;
}

MountDriver EmulatedRow() {
    MountDriver d = NotImplementedDriver("Emulated");
    d.setRate = &EmulSetRate;
    d.move = &EmulMove;
    d.stopMove = &EmulatedStopMove;
    d.stopAll = &EmulStopAll;
    return d;
}

MountDriver NexStarRow() {
    MountDriver d = NotImplementedDriver("NexStar");
    d.connect = &NexStarConnect;
    d.disconnect = &NexStarDisconnect;
    d.queryEQ = &NexStarQueryEQ;
    d.gotoEQ = &NexStarGotoEQ;
    d.syncEQ = &NexStarSyncEQ;
    d.setRate = &NexStarSetRate;
    d.move = &NexStarMove;
    d.stopMove = &NexStarStopMove;
    d.stopAll = &NexStarStopAll;
    d.setSiderealTime = &KeepsNoClock;
    return d;
}

// ServoCat and SkyCommander know no sync; their rate, move and stop are the emulated
// mount's.
MountDriver ServoCatRow() {
    MountDriver d = NotImplementedDriver("ServoCat");
    d.connect = &ServoCatConnect;
    d.disconnect = &ServoCatDisconnect;
    d.queryEQ = &ServoCatQueryEQ;
    d.gotoEQ = &ServoCatGotoEQ;
    d.setSiderealTime = &KeepsNoClock;
    return d;
}

MountDriver SkyCommanderRow() {
    MountDriver d = NotImplementedDriver("SkyCommander");
    d.connect = &SkyCommanderConnect;
    d.disconnect = &SkyCommanderDisconnect;
    d.queryEQ = &SkyCommanderQueryEQ;
    d.gotoEQ = &SkyCommanderGotoEQ;
    d.setSiderealTime = &KeepsNoClock;
    return d;
}

MountDriver TakahashiRow() {
    MountDriver d = NotImplementedDriver("Takahashi");
    d.connect = &TakahashiConnect;
    d.disconnect = &TakahashiDisconnect;
    d.queryEQ = &TakahashiQueryEQ;
    d.gotoEQ = &TakahashiGotoEQ;
    d.syncEQ = &TakahashiSyncEQ;
    d.setRate = &TakahashiSetRate;
    d.move = &TakahashiMove;
    d.stopMove = &TakahashiStopMove;
    d.stopAll = &TakahashiStopAll;
    d.setSiderealTime = &TakahashiSetSiderealTime;
    return d;
}

MountDriver SiderealTechRow() {
    MountDriver d = NotImplementedDriver("SiderealTech");
    d.connect = &SiderealTechConnect;
    d.disconnect = &SiderealTechDisconnect;
    d.queryEQ = &SiderealTechQueryEQ;
    d.queryAltAz = &SiderealTechQueryAltAz;
    d.gotoEQ = &SiderealTechGotoEQ;
    d.setRate = &SiderealTechSetRate;
    d.move = &SiderealTechMove;
    d.stopMove = &SiderealTechStopMove;
    d.stopAll = &SiderealTechStopAll;
    d.setSiderealTime = &KeepsNoClock;
    return d;
}

}  // namespace

int ShowNotImplemented() { return ShowMessage("Sorry, this function is not implemented for your telescope", ""); }

MountDriver NotImplementedDriver(const char* name) {
    // Telling the time is no request of the user's: it is taken without a word, so that
    // the family's connect alone says what is missing.
    return MountDriver{name,      &NoCall,  &NoCall,  &NoQuery, &NoQuery, &NoTarget,
                       &NoTarget, &NoIndex, &NoIndex, &NoIndex, &NoCall,  &KeepsNoClock};
}

MountDriver DefaultMountDriver(MountFamily family) {
    switch (family) {
        case MountFamily::Encoder: return EncoderRow();
        case MountFamily::Lx200: return Lx200Row();
        case MountFamily::NexStar: return NexStarRow();
        case MountFamily::ServoCat: return ServoCatRow();
        case MountFamily::Takahashi: return TakahashiRow();
        case MountFamily::SiderealTech: return SiderealTechRow();
        case MountFamily::SkyCommander: return SkyCommanderRow();
        case MountFamily::Emulated: return EmulatedRow();
    }
    return NotImplementedDriver("?");
}

MountDriver mountDrivers[kMountFamilyCount] = {
    DefaultMountDriver(MountFamily::Encoder),      DefaultMountDriver(MountFamily::Lx200),
    DefaultMountDriver(MountFamily::NexStar),      DefaultMountDriver(MountFamily::ServoCat),
    DefaultMountDriver(MountFamily::Takahashi),    DefaultMountDriver(MountFamily::SiderealTech),
    DefaultMountDriver(MountFamily::SkyCommander), DefaultMountDriver(MountFamily::Emulated),
};

MountDriver& DriverOf(MountFamily family) { return mountDrivers[static_cast<int>(family)]; }

bool MountFamilyOfDrive(int drive, MountFamily* family) {
    switch (drive) {
        case 1: case 3: case 4: case 11: case 12: case 16: *family = MountFamily::Encoder; return true;
        case 2: case 5: case 6: case 7: case 17: *family = MountFamily::Lx200; return true;
        case 8: case 9: case 10: case 15: case 20: *family = MountFamily::NexStar; return true;
        case 13: *family = MountFamily::ServoCat; return true;
        case 14: *family = MountFamily::Takahashi; return true;
        case 18: *family = MountFamily::SiderealTech; return true;
        case 19: *family = MountFamily::SkyCommander; return true;
        default: return false;
    }
}
