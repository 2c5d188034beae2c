#pragma once
// The program's object type codes and morphology codes of a deep-sky object, from the
// type and the morphology text a source catalog gives.
#include <string>
#include <string_view>

namespace catalog_builder {

// Object type codes (rows of the program's object type table) the builder writes.
enum ObjectType : int {
    kTypeAsterism = 1,
    kTypeGlobular = 2,
    kTypeGlobularLmc = 4,
    kTypeGlobularSmc = 5,
    kTypeOpenCluster = 6,
    kTypeOpenClusterLmc = 7,
    kTypeOpenClusterSmc = 8,
    kTypeClusterNebula = 9,
    kTypeClusterNebulaLmc = 11,
    kTypeClusterNebulaSmc = 12,
    kTypeGalaxy = 16,
    kTypeGalaxyCluster = 17,
    kTypeBrightNebula = 20,
    kTypeDarkNebula = 21,
    kTypeDiffuseNebulaLmc = 23,
    kTypeDiffuseNebulaSmc = 24,
    kTypePlanetaryNebula = 25,
    kTypeStar = 30,
    kTypeDoubleStar = 31,
    kTypeSupernovaRemnant = 39,
};

// Type code of a source type ("g", "s", "oc", "gc", "pn", "bn", ...) at a J2000 position;
// clusters and nebulae inside the Magellanic Clouds get their cloud's own codes. 0 when
// the source type is unknown.
int ObjectTypeCode(std::string_view sourceType, double raHours, double decDegrees);

// Morphology code 0..296 of a source morphology text ("SA(s)b", "SB(s)m pec", "II3m",
// "EN+RN; 3, 2, 3", "VIII"), or 0 when the table has no matching entry.
int MorphologyCode(std::string_view sourceType, std::string_view morphology);

// The morphology table's text of a code ("" out of range), for checks and reports.
std::string_view MorphologyText(int code);

}  // namespace catalog_builder
