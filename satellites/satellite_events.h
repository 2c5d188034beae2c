#pragma once
// The angle that decides whether the observer sees a flare (sunlight mirrored by one of
// three flat panels on the satellite's body) or a transit (the satellite in front of the
// Moon or the Sun), and the refinement of the instant where that angle is least.
#include "satellites/satellite_math.h"
#include "satellites/two_line_elements.h"

// The state of one event search, owned by its caller (the satellite form) and captured by
// the objective handed to MinimizeBrent.
struct SatelliteEventContext {
    int flareMode = 0;         // non-zero: flare angle; 0: transit angle (and the third stage)
    int transitBody = 0;       // transit mode: 0 the Moon, 1 the Sun
    // The body's topocentric place (radians), computed once per refinement stage; empty
    // while both are exactly 0.0.
    double bodyRightAscension = 0.0;
    double bodyDeclination = 0.0;
    int evaluations = 0;       // angles computed since the refinement began
    int bodyComputations = 0;  // places of the Sun or the Moon computed (never reset here)
    int status = 0;            // SatelliteStatus of the last angle or refinement
    TleElements* elements = nullptr;
};

// The event angle (radians) of the context's satellite at a UT Julian day: SGP4 whatever
// the distance from the epoch, the site of observerLocation with its height. A refused or
// decayed set gives NaN, propagates nothing when refused, and leaves context.status
// saying why (kSatelliteComputed otherwise). The element set is left at this instant.
double SatelliteEventAngle(SatelliteEventContext& context, double jd);

// Refines the event of the candidate at t0 (UT) in up to three stages (17 minutes, then
// 2 minutes, then in transit mode 20 seconds). After the first stage and after the last the
// instant and the angle (degrees) go to the out values that are given; a first stage above
// 10 degrees ends it there. 1 when the final angle is within 1.5 degrees (flare) or 1.0
// (transit), else 0. A refused or decayed set returns 0 without writing the out values
// (context.status says which). The element set is left at the last evaluated instant: a
// caller that needs the position at the event computes it again.
int RefineSatelliteEvent(SatelliteEventContext& context, double t0, TleElements* elements, double* eventTime,
                         double* angleDegrees);

// The least reflection angle (radians) of the three panels, tried at yaw 0, +120 and -120
// degrees; a later panel replaces the current one only when strictly smaller.
double FlareAngle(const SatVector& position, const SatVector& velocity, const SatVector& lineOfSight,
                  double sunRightAscension, double sunDeclination);
// The angle between the Sun and the line of sight mirrored in one panel (pitch and yaw in
// degrees); 0 when the observer sees the Sun in it. pi (no flare) when the velocity or the
// orbit normal is zero.
double PanelReflectionAngle(const SatVector& position, const SatVector& velocity, const SatVector& lineOfSight,
                            double sunRightAscension, double sunDeclination, double pitch, double yaw);
// The panel's normal A and the two further axes B and C of its frame (an orthonormal
// triple); false (axes untouched) when the velocity or the orbit normal is zero.
bool PanelAxes(const SatVector& position, const SatVector& velocity, double pitch, double yaw, SatVector* a,
               SatVector* b, SatVector* c);
// Angular distance (radians) between two directions, haversine form.
double SatAngularSeparation(double ra1, double dec1, double ra2, double dec2);
