// The semicolon-separated lines: what each parser takes and refuses, and the formats
// written read back the same.
#include "catalog/text_lines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalog/constellations.h"
#include "catalog/object_types.h"
#include "core/settings.h"

namespace {

TEST(TextFields, FieldsAndLinesEndWhereTheyShould) {
    const struct {
        const char* text;
        int max;
        const char* field;
        int used;
        bool lineEnd;
    } cases[] = {
        {"abc;def", 10, "abc", 4, false},
        {";x", 10, "", 1, false},
        {"abc\r\r\n\nnext", 10, "abc", 7, true},
        {"abc;\r\nnext", 10, "abc", 6, true},
        {"abcdefgh;next", 3, "abc", 9, false},   // cut, and the rest of it passed over
        {"abc", 10, "abc", 3, true},
        {"", 10, "", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        char field[16];
        bool lineEnd = false;
        EXPECT_EQ(ReadField(c.text, field, c.max, &lineEnd), c.used);
        EXPECT_STREQ(field, c.field);
        EXPECT_EQ(lineEnd, c.lineEnd);
    }
    EXPECT_EQ(LineLength("a;b;c\r\nd"), 7);
    EXPECT_EQ(LineLength("a;b;c"), -1);
    EXPECT_EQ(LineLength("\n"), 1);
}

TEST(TextLines, Eyepieces) {
    const struct {
        const char* line;
        int result;
        const char* brand;
        const char* name;
        float focal;
    } cases[] = {
        {"Wideview;WDE;Wide 13mm;13;82;\n", 30, "Wideview", "Wide 13mm", 13},
        {"Wideview;WDE;Wide 13mm;13;82", 28, "Wideview", "Wide 13mm", 13},   // last line, no line end
        {"A;B;C;6.5;50;extra;\r\n", 21, "A", "C", 6.5f},                     // extra fields passed over
        {"A;B;C;0;50;\n", -1, nullptr, nullptr, 0},
        {"A;B;C;10;-40;\n", -1, nullptr, nullptr, 0},
        {"A;B;C;x;50;\n", -1, nullptr, nullptr, 0},
        {"A;B;C;10\nD;E;F;10;50;\n", -5, nullptr, nullptr, 0},              // short: never the next line's
        // A 40-character brand is cut to 25 and trimmed; the fields after it stay in place.
        {"Some Very Long Brand     Name Of Optics X;ABC;Plossl;25;52;\n", 60, "Some Very Long Brand", "Plossl", 25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EyepieceRecord e;
        EXPECT_EQ(ParseEyepieceLine(c.line, e), c.result);
        if (c.result < 0) continue;
        EXPECT_STREQ(e.brand, c.brand);
        EXPECT_STREQ(e.name, c.name);
        EXPECT_EQ(e.focalLength, c.focal);
    }
    EyepieceRecord e;
    ASSERT_GT(ParseEyepieceLine("Wideview;WDEX;WideAF;13;82;", e), 0);
    std::uint8_t bytes[kEyepieceRecordSize];
    EncodeEyepieceRecord(e, bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes)), "Wideview");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes + 28)), "WDE");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes + 32)), "WideAF");
    float focal = 0;
    std::memcpy(&focal, bytes + 64, 4);
    EXPECT_EQ(focal, 13.0f);
}

TEST(TextLines, Locations) {
    const struct {
        const char* line;
        bool good;
        float longitude, latitude;
        int zone;
    } cases[] = {
        {"France;FR;Paris;2.35;48.85;1\n", true, 2.35f, 48.85f, 60},
        {"India;IN;Mumbai;72.8;19.07;5.5\n", true, 72.8f, 19.07f, 330},
        {"Chile;CL;Santiago;-70.65;-33.45;-4\r\n", true, -70.65f, -33.45f, -240},
        {"Ghana;GH;Null Island;0;5.5;0\n", false, 0, 0, 0},
        {"Ecuador;EC;Quito;-78.5;0;-5\n", false, 0, 0, 0},
        {"X;XX;Nowhere;200;10;0\n", false, 0, 0, 0},
        {"X;XX;Short;10;20\n", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        LocationRecord r;
        const int used = ParseLocationLine(c.line, r);
        EXPECT_EQ(used > 0, c.good) << used;
        if (!c.good) continue;
        EXPECT_EQ(used, static_cast<int>(std::strlen(c.line)));
        EXPECT_EQ(r.longitude, c.longitude);
        EXPECT_EQ(r.latitude, c.latitude);
        EXPECT_EQ(r.zoneMinutes, c.zone);
    }
    LocationRecord r;
    ASSERT_GT(ParseLocationLine("United Kingdom of Great Britain;GBR;Royal Greenwich Observatory  ;-0.0015;51.48;0", r), 0);
    EXPECT_STREQ(r.country, "United Kingdom of Gr");
    EXPECT_STREQ(r.countryCode, "GB");
    EXPECT_STREQ(r.town, "Royal Greenwich Observ");
}

TEST(TextLines, UserObjects) {
    const struct {
        const char* line;
        int result;
        int catalog;
        int number;
        int type;
    } cases[] = {
        {"NGC;7000;North America;Bright Nebula;E;20:59:17;44:31:44;4;120;100;0;1.6\n", 1, 42, 7000, -1},
        {"Mine;1;My fuzzy;Galaxy;Sb;1.5;-20;12.5;1;1;3\n", 1, kCatalogUser, 1, -1},
        {"M;31;Andromeda;Spiral Galaxy; ;00:42:44;41:16:09;3.4;190;60;0", 1, kCatalogMessier, 31, -1},
        {"NGC;224;Andromeda;Spiral Galaxy;Sb;25:00:00;41;3.4;1;1;0\n", -6, 0, 0, 0},
        {"NGC;224;Andromeda;Spiral Galaxy;Sb;00:42:44;95;3.4;1;1;0\n", -7, 0, 0, 0},
        {"NGC;224;Andromeda;Spiral Galaxy;Sb;00:42:44;41;3.4;1\n", -10, 0, 0, 0},
        {"NGC\n", -2, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ObjectRef r;
        const int used = ParseUserObjectLine(c.line, r);
        if (c.result < 0) {
            EXPECT_EQ(used, c.result);
            continue;
        }
        EXPECT_EQ(used, static_cast<int>(std::strlen(c.line)));
        EXPECT_EQ(static_cast<int>(r.catalog), c.catalog);
        EXPECT_EQ(static_cast<int>(r.number), c.number);
    }
    ObjectRef r;
    ASSERT_GT(ParseUserObjectLine("NGC;7000;North America Nebula X;Bright Nebula;E;20:59:17;44:31:44;4;120;100;259;1.6\n", r), 0);
    EXPECT_STREQ(r.name, "North America Nebul");
    EXPECT_STREQ(ObjectTypeTable[r.type].name, "Bright Nebula");
    EXPECT_NEAR(r.ra, 20.988, 1e-3);
    EXPECT_NEAR(r.dec, 44.529, 1e-3);
    EXPECT_EQ(r.magnitude, 4.0f);
    EXPECT_EQ(r.sizeA, 120.0f);
    EXPECT_EQ(r.flag, 3) << "the low byte of the flags";
    EXPECT_EQ(r.distance, 1.6f);
    EXPECT_STREQ(ConstellationTable[r.constellation].abbreviation, "Cyg");
    char morphology[kTypeCodeTextSize];
    GetTypeCodeText(morphology, r.morphology);
    EXPECT_EQ(std::string(morphology, 1), "E");
}

TEST(TextLines, ObserverLogEntriesReadBackAsWritten) {
    const Preferences saved = preferences;
    preferences.word[pref::hourFormat] = 1;
    preferences.word[pref::degreeFormat] = 1;
    ObserverLogEntry e;
    std::strcpy(e.name, "M 13");
    e.year = 2024, e.month = 6, e.day = 7, e.hour = 23, e.minute = 5;
    e.rightAscension = 16.695f, e.declination = 36.4597f;
    e.moonPercent = 42, e.sunAltitude = -18, e.visualLimit10 = 63;
    e.typeCode = 2, e.magnitude10 = 58;
    e.transparency = 1, e.seeing = 2;
    std::strcpy(e.scope, "200mm");
    std::strcpy(e.filter, "None");
    std::strcpy(e.comments, "Resolved to the core; very fine");
    e.eyepiece = 3, e.ease = 1, e.brightness = 0;
    std::string text;
    FormatObserverLogLine(text, e);
    // A ';' typed in a text would end its field: it is written as ','.
    EXPECT_EQ(text,
              "07/06/2024;23:05;M 13;16:41:42;36:27:35;Globular Cluster;5.8;Her;42%;-18\xB0;6.3;1;2;200mm; ;None;"
              "Resolved to the core, very fine;3;1;0;\n");
    ObserverLogEntry back;
    ASSERT_EQ(ParseObserverLogLine(text, back), static_cast<int>(text.size()));
    EXPECT_EQ(back.magic, kObserverLogMagic);
    EXPECT_STREQ(back.name, "M 13");
    EXPECT_EQ(back.year, 2024);
    EXPECT_EQ(back.month, 6);
    EXPECT_EQ(back.day, 7);
    EXPECT_EQ(back.hour, 23);
    EXPECT_EQ(back.minute, 5);
    EXPECT_NEAR(back.rightAscension, 16.695, 1e-3);
    EXPECT_NEAR(back.declination, 36.4597, 1e-3);
    EXPECT_EQ(back.typeCode, 2);
    EXPECT_EQ(back.magnitude10, 58);
    EXPECT_EQ(back.moonPercent, 42);
    EXPECT_EQ(back.sunAltitude, -18);
    EXPECT_EQ(back.visualLimit10, 63);
    EXPECT_EQ(back.transparency, 1);
    EXPECT_EQ(back.seeing, 2);
    EXPECT_STREQ(back.scope, "200mm");
    EXPECT_STREQ(back.location, "") << "an empty text is written as one blank";
    EXPECT_STREQ(back.filter, "None");
    EXPECT_STREQ(back.comments, "Resolved to the core, very fine");
    EXPECT_EQ(back.eyepiece, 3);
    EXPECT_EQ(back.ease, 1);
    EXPECT_EQ(back.brightness, 0);
    EXPECT_STREQ(ConstellationTable[back.constellation].abbreviation, "Her");
    preferences = saved;

    // A line missing its last fields, or with a date that is none, is refused.
    EXPECT_EQ(ParseObserverLogLine("07/06/2024;23:05;M 13;16:41:42\n", back), -5);
    EXPECT_EQ(ParseObserverLogLine("00/13/2024;23:05;M 13;16:41:42\n", back), -1);
}

TEST(TextLines, SatelliteElementsAsThreeLines) {
    std::string elements(71, 'a');
    elements += std::string(71, 'b') + std::string(71, 'c');
    std::string text;
    FormatSatelliteLine(text, elements);
    EXPECT_EQ(text, std::string(71, 'a') + "\n" + std::string(71, 'b') + "\n" + std::string(71, 'c') + "\n");
}

}  // namespace
