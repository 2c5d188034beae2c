#pragma once
// Digital setting circles (encoder boxes) and the emulated mount.
//
// A box reports two shaft-encoder counts and cannot slew: drive codes 1 "AAM Skyvector",
// 3 "BBox", 4 "Dave Ek", 11 "NGC-Max", 12 "Ouranos" and 16 "Intelliscope". Counts become
// azimuth and altitude (or the hour-angle and declination axes of an equatorial mount)
// by the resolutions of `Preferences` words 11 (first axis) and 12 (second axis), in
// counts per turn; a negative resolution turns its axis round. While `telescopeEmulation`
// is set the counts are simulated, and the rate, move and stop operations drive them.
#include <cstdint>

struct EncoderState {
    double rate = 0.0;             // emulated slew rate, degrees per position query
    std::int32_t azStep = 0;       // emulated counts added at each query
    std::int32_t altStep = 0;
    std::int32_t azCount = 0;      // emulated counts
    std::int32_t altCount = 0;
    std::uint32_t connected = 0;   // 1 while the box is connected
    double targetRa = 0.0;         // push-to target, hours and degrees
    double targetDec = 0.0;
    std::uint32_t initialised = 0; // 1 once the box got its set-up and the zero offsets are known
    std::int32_t altOffset = 0;    // counts at the zero of each axis
    std::int32_t azOffset = 0;
    // The port open (serialPort.openCount) the connection holds for, and the drive code
    // the set-up was made for: another box needs its own set-up.
    std::uint32_t connectedOpen = 0;
    std::int32_t setupDrive = -1;
};
extern EncoderState encoderState;

// True when the chosen drive is an encoder box.
bool IsEncoderDrive();

// The connected flag after connecting (and, once, sending the box its set-up).
std::uint32_t EncoderConnect();
// Leaves the held port open (CloseSerialPort); 1, or 0 in emulation.
std::uint32_t EncoderDisconnect();
// Azimuth and altitude in degrees and the raw counts: 1 read, 0 failed (all results 0).
std::uint32_t EncoderQueryAltAz(double* az, double* alt, std::int32_t* rawAz, std::int32_t* rawAlt);
// The same with the first angle in hours.
std::uint32_t EncoderQueryEQ(double* ra, double* dec, std::int32_t* rawAz, std::int32_t* rawAlt);
void SetEncoderTarget(double raHours, double decDeg);
// Stores the target and opens the ScopeControl form through the installed hook; 1.
std::uint32_t EncoderGotoEQ(double raHours, double decDeg);
// What EncoderGotoEQ calls to open the ScopeControl form (connecting first); the program
// installs OpenScopeControl (app/composition.cpp). Null: nothing opens.
void SetEncoderGotoHook(void (*openScopeControl)(int connectFirst));
// Forgets the zero offsets, so that the next connect sends the set-up again; 0.
std::uint32_t ClearEncoderOffsets();
// Sets both offsets and marks the box connected and initialised; 1.
std::uint32_t SetEncoderOffsets(std::int32_t alt, std::int32_t az);
// Unless offsets are known, reads the box and takes as offsets the counts that make the
// reading equal the reference azimuth and altitude (degrees); also stored in
// `Preferences` words 220 and 221. 1.
std::uint32_t CalibrateEncoderOffsets(const double* refAz, const double* refAlt);

// The emulated mount. Outside emulation the first three return 0 and do nothing.
// Rate index 0..3: 2.0, 0.5, 0.1, 0.05 degrees per query; 1.
std::uint32_t EmulSetRate(int rate);
// Direction 0 north, 1 south, 2 east, 3 west: the counts per query for the rate; 1.
std::uint32_t EmulMove(int direction);
// Stops both axes, keeping the rate; 0.
std::uint32_t EmulStopMove();
// Nothing to stop beyond the moves; 1.
std::uint32_t EmulStopAll();
