#pragma once
// The fixed observing lists as (catalog code, number) keys of the objects, in list order:
// Messier 1..110, Caldwell 1..109, the Herschel 400 and the 110 Best of NGC (both by NGC
// number). The keys are found in the object file when the catalog set opens, so the lists
// hold for any object file sorted by catalog code and number that includes these objects.
#include <cstdint>

struct CatalogKey {
    std::uint32_t catalog;
    std::uint32_t number;
};

extern const CatalogKey kMessierKeys[110];
extern const CatalogKey kCaldwellKeys[109];
extern const CatalogKey kHerschelKeys[400];
extern const CatalogKey kBestNgcKeys[110];
