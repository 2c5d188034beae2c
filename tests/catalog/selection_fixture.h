#pragma once
// A small catalog set for the selection, designation and lookup tests and the object
// forms: objects of Abell, IC, NGC and Palomar (with the Messier, Caldwell, Herschel and
// best-NGC objects M1, M31, C2, C5, H1, H2 among them), a cross-reference file, a
// description file, a comet and an asteroid and three named bright stars; written with the
// record-file layer and opened as at start-up.
#include <cstring>
#include <string>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "catalog/selection_hooks.h"
#include "catalog/selection_list.h"
#include "catalog_fixture.h"
#include "core/observing_time.h"
#include "core/settings.h"

struct FixtureObject {
    std::uint32_t catalog;
    std::uint32_t number;
    std::int32_t type;
    float magnitude;
    float sizeA;
    float sizeB;
    std::int16_t flag;
};

// Sorted by catalog code, then number, as the object file must be.
inline const std::vector<FixtureObject> kFixtureObjects = {
    {1, 100, 17, 15.0f, 2.0f, 0.0f, 0},     // Abell, record 0
    {1, 200, 17, 15.1f, 2.0f, 0.0f, 0},
    {1, 300, 17, 15.2f, 2.0f, 0.0f, 0},
    {1, 400, 17, 15.3f, 2.0f, 0.0f, 0},     // the fourth Abell object
    {1, 500, 17, 15.4f, 2.0f, 0.0f, 0},
    {29, 342, 16, 9.1f, 21.4f, 20.9f, 0},   // IC 342 = C5, record 5
    {42, 40, 25, 11.4f, 1.0f, 0.6f, 0},     // C2, H1, best NGC 1
    {42, 129, 6, 6.5f, 21.0f, 0.0f, 0},     // H2
    {42, 224, 16, 3.44f, 189.1f, 61.7f, 35},  // M31, position angle 35
    {42, 1952, 39, 8.4f, 6.2f, 4.1f, 0},    // M1
    {43, 1, 2, 13.6f, 2.8f, 0.0f, 0},       // Pal 1, record 10
};

// Writers of the fixture set into a data folder, for fixtures not derived from
// SelectionFixture (the form tests).
namespace fixture_set {

inline void WriteObjects(const std::filesystem::path& data) {
    WriteTestRecordFile(data / kObjects1kFile, kObjectFileVersion, kCreatorObjects, kObjectRecordSize,
                        static_cast<std::uint32_t>(kFixtureObjects.size()), [](std::uint32_t i, std::uint8_t* r) {
                            const FixtureObject& f = kFixtureObjects[i];
                            ObjectRecord o;
                            o.catalog = f.catalog;
                            o.number = f.number;
                            o.type = f.type;
                            o.constellation = 1;
                            o.ra = 0.7f + static_cast<float>(i);
                            o.dec = 41.0f - static_cast<float>(i);
                            o.magnitude = f.magnitude;
                            o.sizeA = f.sizeA;
                            o.sizeB = f.sizeB;
                            o.flag = f.flag;
                            o.morphology = static_cast<std::int16_t>(250 + i);
                            o.distance = 1000.0f;
                            EncodeObjectRecord(o, r);
                        });
}

struct CrossRef {
    std::int16_t catalog;
    std::uint32_t number;
    const char* name;  // as stored, with its extra last character
    std::int16_t others[3];
    std::uint32_t otherNumbers[3];
};
// Record 0 is the header; it holds a key nothing else has, which must never be found.
inline const std::vector<CrossRef> kCrossRefs = {
    {1, 1, "HeaderX", {0, 0, 0}, {0, 0, 0}},
    {28, 424, "PolarisX", {51, 0, 26}, {308, 0, 11767}},
    {42, 40, "Bow-Tie NebulaX", {0, 25, 0}, {0, 1, 0}},
    {42, 129, "X", {39, 0, 0}, {7, 0, 0}},
    {42, 224, "Andromeda GalaxyX", {40, 29, 51}, {31, 3, 36}},
    {42, 1952, "", {0, 0, 0}, {0, 0, 0}},
};
inline void WriteCrossReferences(const std::filesystem::path& data) {
    const std::uint32_t size = 48;
    WriteTestRecordFile(data / kCrossReferenceFile, 0, kCreatorCrossReferences, size,
                        static_cast<std::uint32_t>(kCrossRefs.size()), [&](std::uint32_t i, std::uint8_t* r) {
                            const CrossRef& c = kCrossRefs[i];
                            le::PutI16(r, 0, c.catalog);
                            for (int k = 0; k < 3; ++k) {
                                le::PutI16(r, 2 + 2 * k, c.others[k]);
                                le::PutU32(r, 12 + 4 * k, c.otherNumbers[k]);
                            }
                            le::PutU32(r, 8, c.number);
                            le::PutText(r, 24, size - 24, c.name);
                        });
}

// Entries keyed catalog << 16 | number; record 0 is the header with its number field.
inline void WriteDescriptions(const std::filesystem::path& data,
                              const std::vector<std::pair<std::uint32_t, std::string>>& entries,
                              std::uint32_t number0 = 0) {
    WriteTestRecordFile(data / kDescriptionsFile, 0, kCreatorDescriptions, 64,
                        static_cast<std::uint32_t>(entries.size() + 1), [&](std::uint32_t i, std::uint8_t* r) {
                            if (i == 0) {
                                le::PutU32(r, 4, number0);
                                return;
                            }
                            const auto& [key, text] = entries[i - 1];
                            le::PutU32(r, 0, key >> 16);
                            le::PutU32(r, 4, key & 0xFFFF);
                            le::PutText(r, 8, 56, text);
                        });
}

// A comet and an asteroid with their published osculating elements (the comet's absolute
// magnitude and slope, the asteroid's H and G).
inline void WriteComets(const std::filesystem::path& data) {
    WriteTestRecordFile(data / kCometFile, 0, kCreatorComets, kCometRecordSize, 2, [](std::uint32_t i, std::uint8_t* r) {
        CometRecord c;
        if (i == 0) {
            c.kind = 13;
            std::strcpy(c.name, "C/2020 F3 (NEOWISE) with a long tail name");
            c.year = 2020, c.month = 7, c.perihelionDay = 3.6784f;
            c.perihelionDistance = 0.29478f, c.eccentricity = 0.99918f;
            c.argPerihelion = 37.2786f, c.ascendingNode = 61.0097f, c.inclination = 128.9375f;
            c.magnitude1 = 5.0f;
            c.magnitude2 = 10.0f;
        } else {
            c.kind = 18;
            std::strcpy(c.name, "(4) Vesta");
            c.year = 2025, c.month = 6, c.perihelionDay = 25.0f;
            c.perihelionDistance = 2.1513f, c.eccentricity = 0.0894f;
            c.argPerihelion = 151.5f, c.ascendingNode = 103.7f, c.inclination = 7.14f;
            c.magnitude1 = 3.34f;
            c.magnitude2 = 0.12f;
        }
        EncodeCometRecord(c, r);
    });
}

// Stars 0..2 of the default star file, HR 15, 424 and 2491, named "Alpheratz", "Polaris",
// "Sirius" (the name half sorted by name, the number half by star number).
inline void WriteStars(const std::filesystem::path& data) {
    WriteTestRecordFile(data / kDefaultStarsFile, 0, kCreatorDefaultStars, kStarRecordSize, 3,
                        [](std::uint32_t i, std::uint8_t* r) {
                            const float ra[3] = {0.1398f, 2.5303f, 6.7525f};
                            const float dec[3] = {29.09f, 89.264f, -16.716f};
                            const std::int16_t mag[3] = {33, 32, -23};
                            const std::int16_t number[3] = {15, 424, 2491};
                            le::PutI16(r, 0, number[i]);
                            le::PutF32(r, 4, ra[i]);
                            le::PutF32(r, 8, dec[i]);
                            le::PutI16(r, 12, mag[i]);
                            le::PutI16(r, 14, static_cast<std::int16_t>(7 + i));
                        });
    const char* names[3] = {"Alpheratz", "Polaris", "Sirius"};
    WriteTestRecordFile(data / kBrightStarFile, 0, kCreatorBrightStars, kBrightStarRecordSize, 6,
                        [&](std::uint32_t i, std::uint8_t* r) {
                            BrightStarRecord b;
                            std::strcpy(b.name, names[i % 3]);
                            b.starIndex = static_cast<std::int16_t>(i % 3);
                            EncodeBrightStarRecord(b, r);
                        });
}

// The files every start needs besides these.
inline void WriteMoon(const std::filesystem::path& data) {
    WriteTestRecordFile(data / kMoonFile, kMoonFileVersion, kCreatorMoon, kMoonFeatureRecordSize, 2,
                        [](std::uint32_t, std::uint8_t*) {});
}

}  // namespace fixture_set

class SelectionFixture : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        savedPreferences = preferences;
        savedSite = observerLocation;
        savedTime = observingDateTime;
        savedCriteria = selectionCriteria;
        objectSelection = ObjectSelection{};
        currentObject = CurrentObject{};
        finderEntry = FinderEntry{};
        SetObservingDateTime(2024, 3, 15, 22, 0, 0);
        SetSiteLatitude(48.0f);
        observerLocation.longitude = -11.0f;
        observerLocation.zoneMinutes = 60;
        observerLocation.height = 0;
    }
    void TearDown() override {
        FreeSelectionList();
        SetSelectionHooks(SelectionHooks{});
        preferences = savedPreferences;
        observerLocation = savedSite;
        observingDateTime = savedTime;
        selectionCriteria = savedCriteria;
        objectSelection = ObjectSelection{};
        CatalogTest::TearDown();
    }

    std::filesystem::path DataDir() const { return root / "install" / "data"; }
    void WriteObjects() { fixture_set::WriteObjects(DataDir()); }
    void WriteCrossReferences() { fixture_set::WriteCrossReferences(DataDir()); }
    void WriteDescriptions(std::vector<std::pair<std::uint32_t, std::string>> entries, std::uint32_t number0 = 0) {
        fixture_set::WriteDescriptions(DataDir(), entries, number0);
    }
    void WriteComets() { fixture_set::WriteComets(DataDir()); }
    void WriteStars() { fixture_set::WriteStars(DataDir()); }

    // The files every start needs, then the set opened.
    void OpenSet() {
        fixture_set::WriteMoon(DataDir());
        if (!std::filesystem::exists(Data(kDefaultStarsFile))) WriteStars();
        if (!std::filesystem::exists(Data(kObjects1kFile))) WriteObjects();
        OpenCatalogDatabases(1);
        ClearRecordedReports();
    }

    // A fresh list of the capacity GetSelectionListCapacity gives.
    void FreshList() { ASSERT_EQ(AllocSelectionList(), 1); }

    Preferences savedPreferences;
    ObserverLocation savedSite;
    ObservingDateTime savedTime;
    SelectionCriteria savedCriteria;
};

inline ObjectRef MakeRef(std::uint32_t catalog, std::uint32_t number, const char* name = "") {
    ObjectRef r;
    r.catalog = catalog;
    r.number = number;
    r.type = 16;
    r.ra = 1.5f;
    r.dec = 20.0f;
    r.magnitude = 9.0f;
    r.sizeA = 3.0f;
    r.sizeB = 2.0f;
    SetObjectRefName(&r, name);
    return r;
}
