#pragma once
// What the selection, the selection list and the object lookup need from the layers above
// the catalogs: the chart's current object and projection, the comet and asteroid orbit
// computation, and the device's date order. The program installs them at start
// (app/composition.cpp); until then, and in tests that install nothing, each does nothing
// (the date is written day first).
struct ObjectRef;
struct CometRecord;

// The place of a comet or an asteroid at an instant: right ascension in hours and
// declination in degrees of date, its distances from the Earth (delta) and from the Sun
// (r) in astronomical units, and its phase angle in radians.
struct CometPlace {
    double rightAscension;
    double declination;
    double earthDistance;
    double sunDistance;
    double phaseAngle;
};

struct SelectionHooks {
    // Makes the object the chart's current object; `position` is the finder catalog
    // position, -1 to take the object's own. Returns the chart's list position.
    int (*selectChartObject)(const ObjectRef& object, int position) = nullptr;
    // The selection list changed: the chart projects its records again.
    void (*invalidateSelectionProjection)() = nullptr;
    // Prepares the record's working elements for equinox 2000.0 and computes its place at
    // the Julian day (UT), precessed by (year - 2000) years. 1 when `place` was written.
    int (*computeCometPosition)(const CometRecord& elements, double jd, int year, CometPlace* place) = nullptr;
    // Writes the date in the device's order ("%02d/%02d/%04d"); returns the length.
    int (*formatDate)(char* buffer, int day, int month, int year) = nullptr;
};

// Installs the hooks (a null member falls back to the default) and returns those replaced.
SelectionHooks SetSelectionHooks(const SelectionHooks& hooks);

// Calls through the installed hooks.
int SelectChartObjectHook(const ObjectRef& object, int position);
void InvalidateSelectionProjectionHook();
int ComputeCometPositionHook(const CometRecord& elements, double jd, int year, CometPlace* place);
// Needs 36 bytes for any int fields.
int FormatDateHook(char* buffer, int day, int month, int year);
