#pragma once
// The instant the whole system computes for, and the search criteria that carry a copy of
// its date with the limiting magnitudes.
#include <cstdint>

// The observing instant in local civil time of the site.
struct ObservingDateTime {
    int year;
    int month;   // 1..12
    int day;     // 1..31
    int hour;    // 0..23
    int minute;  // 0..59
    int second;  // 0..59
};
extern ObservingDateTime observingDateTime;

// What the search by criteria looks for and at which instant, with the limiting magnitudes
// written into its tail. Kept in memory for the run only, cleared at start: a cleared
// record asks for nothing and searches every catalog.
struct SelectionCriteria {
    // 0 none; 1 "Very Easy", 2 "Easy", 3 "Difficult", 4 "Very Difficult" (bands of the
    // visibility margin).
    std::int16_t visibilityClass;
    // 0 none; n is record n - 1 of the eyepiece database, with its focal length (whole
    // millimetres) and apparent field as read from the record.
    std::int16_t eyepiece;
    std::int16_t eyepieceFocalLength;
    float eyepieceApparentField;
    // 0 none; 1 the eye limit, 2 the scope limit, 3 to 8 the fixed limits 4 to 14.
    std::int16_t magnitudeLimit;
    // 0 any, else an object type (19 "Nebula" stands for its whole class) and the class the
    // type must have.
    std::int16_t objectType;
    std::int16_t typeClass;
    // 0 any, else constellation number + 1.
    std::int16_t constellation;
    // 0 none; 1 "Visible"; 2 to 9 above 15 to 50 degrees; 10 "Not Visible".
    std::int16_t minAltitude;
    // The instant the search is made for (local civil time, seconds 0), written with the
    // observing date.
    std::int16_t year;
    std::int16_t month;
    std::int16_t day;
    std::int16_t hour;
    std::int16_t minute;
    // The catalog to search (63 a user catalog, 45 the chart, 54 the alignment forms), 0 all.
    std::int16_t searchKind;
    // Limiting magnitudes of the telescope and of the naked eye (at most 7.0), and the sky
    // model's sunlight and moonlight magnitudes.
    float telescopeLimit;
    float nakedEyeLimit;
    float skyValue1;
    float skyValue2;
};
extern SelectionCriteria selectionCriteria;

// Sets the six `ObservingDateTime` fields and the 16-bit date copy of `SelectionCriteria`
// (year to minute). The arguments are not checked: writers pass a valid calendar date.
void SetObservingDateTime(int year, int month, int day, int hour, int minute, int second);
// Copies the observing date (year to minute) into the criteria.
void CopyObservingDateToCriteria();

// What follows a change of the observing time the user made (the limiting magnitudes are
// recomputed for the new instant). The program installs it at start; none by default.
using ObservingTimeHook = void (*)();
void SetObservingTimeChangedHook(ObservingTimeHook hook);
// Calls the installed hook, if any.
void ObservingTimeChanged();
