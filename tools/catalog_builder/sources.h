#pragma once
// Readers of the public source catalogs, each into plain intermediate records:
//  - the Yale Bright Star Catalogue as xplanet ships it ("stars/BSC": Dec, RA, V,
//    the 10-character BSC name field, HR, HD, SAO);
//  - xplanet's constellation figure arcs ("arcs/constellations");
//  - d3-celestial's data folder: stars by HIP with B−V, star names, deep-sky objects,
//    the Messier list, common names of deep-sky objects, constellation lines;
//  - OpenNGC as KStars ships it (an SQLite table, exported by the set-up step as tab-separated
//    lines: type, RA and Dec in degrees, magnitude, name, other names, catalog identifier,
//    major and minor axis in arc minutes, position angle in degrees).
// Every reader takes the file's text, so that tests can feed small fixtures.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace catalog_builder {

struct BscStar {
    int hr = 0;
    int hd = 0;
    double ra = 0.0;   // hours, J2000
    double dec = 0.0;  // degrees, J2000
    double vmag = 0.0;
    int flamsteed = 0;     // 0: none
    int bayer = -1;        // Greek letter index 0..23, −1: none
    int superscript = 0;   // 0: none
    int constellation = -1;  // from the designation, −1 when the name field has none
};

struct HipStar {
    int hip = 0;
    double ra = 0.0;  // hours
    double dec = 0.0;
    double vmag = 0.0;
    bool hasBv = false;
    double bv = 0.0;
};

struct HipStarName {
    int hip = 0;
    int hd = 0;
    std::string name;  // proper name, program text; may be empty
};

// One deep-sky object as a source gives it. The designation is split into a catalog
// prefix as the source writes it ("NGC", "IC", "M", "C", "Cr", "Sh", "LDN", ...) and a
// number; "Sh 2-155" gives prefix "Sh" and number 155.
struct DsoSource {
    std::string prefix;
    int number = 0;
    std::string alias;       // the source's other designation ("M 31"), may be empty
    std::string commonName;  // program text, may be empty
    std::string type;        // d3-celestial type code: g, s, oc, gc, pn, bn, ...
    std::string morphology;  // as given: "SA(s)b", "II3m", "EN; 3, 3, 2"
    bool hasMagnitude = false;
    double magnitude = 0.0;
    double sizeA = 0.0;  // arc minutes, 0 when unknown
    double sizeB = 0.0;
    double ra = 0.0;  // hours
    double dec = 0.0;
    bool hasAngle = false;  // position angle of the major axis, whole degrees 0..179
    int angle = 0;
    double distanceKpc = 0.0;  // 0 when unknown
};

struct MessierEntry {
    int messier = 0;
    std::string prefix;  // of the NGC or IC designation, empty for objects outside them
    int number = 0;
    std::string commonName;
    std::string type;
    bool hasMagnitude = false;
    double magnitude = 0.0;
    double sizeA = 0.0, sizeB = 0.0;
    double ra = 0.0, dec = 0.0;
};

struct LineSegment {
    int constellation = -1;
    double ra1 = 0.0, dec1 = 0.0;  // hours, degrees
    double ra2 = 0.0, dec2 = 0.0;
};

// A position angle in whole degrees 0..179 (an axis at 180 is the axis at 0).
int WholeAngle(double degrees);

// Splits "NGC 224", "NGC224", "IC 4725", "Sh 2-155", "C 41", "M 45" into prefix and number;
// false when the text has no number.
bool SplitDesignation(std::string_view text, std::string& prefix, int& number);

// Each reader appends what it understood and returns false with a message (naming the
// line or the feature) when the text is not of the expected format at all.
bool ReadBrightStarCatalog(std::string_view text, std::vector<BscStar>& out, std::string& error);
bool ReadArcLines(std::string_view text, std::vector<LineSegment>& out, std::string& error);
bool ReadHipStars(std::string_view json, std::vector<HipStar>& out, std::string& error);
bool ReadHipStarNames(std::string_view json, std::vector<HipStarName>& out, std::string& error);
bool ReadDeepSkyObjects(std::string_view json, std::vector<DsoSource>& out, std::string& error);
bool ReadMessierList(std::string_view json, std::vector<MessierEntry>& out, std::string& error);
// Common names by designation as written in the source ("NGC 224", "M 45", ...).
bool ReadDsoNames(std::string_view json, std::map<std::string, std::string>& out, std::string& error);
bool ReadFigureLines(std::string_view json, std::vector<LineSegment>& out, std::string& error);
// OpenNGC's NGC and IC entries; entries without a position are left out, entries of unknown
// kind (duplicates, mostly) get the type "dup".
bool ReadOpenNgc(std::string_view tsv, std::vector<DsoSource>& out, std::string& error);

}  // namespace catalog_builder
