#include "objects/image_sync.h"

#include <cstdio>
#include <string>

#include "astro/planet_positions.h"
#include "catalog/databases.h"
#include "catalog/designations.h"
#include "catalog/records.h"
#include "core/report.h"
#include "objects/object_pictures.h"
#include "shell/fields.h"
#include "shell/utilities.h"

ImageSyncState imageSyncState;

namespace {

ImageSyncLinks links;

void ShowStep(const char* stage, int done, int total, const std::string& item, bool ok) {
    char progress[32];
    std::snprintf(progress, sizeof progress, "%d/%d", done, total);
    SetField(kSyncStageLabel, stage);
    SetField(kSyncProgressLabel, progress);
    SetField(kSyncItemLabel, (item + (ok ? " ok" : " ko")).c_str());
}

int ObjectRecordCount() { return objectDb ? static_cast<int>(objectDb->recordCount) : 0; }

}  // namespace

ImageSyncLinks SetImageSyncLinks(const ImageSyncLinks& next) {
    const ImageSyncLinks previous = links;
    links = next;
    return previous;
}

const char* MarsPicturePrefix(int kind) {
    static const char* const kPrefixes[] = {"cavus_", "mons_",  "crater_", "planitia_", "planum_",
                                            "landing_", "catena_", "chasma_", "rupes_",   "terra_"};
    return kind >= 0 && kind < 10 ? kPrefixes[kind] : "";
}

void SyncImages() {
    ImageSyncState& s = imageSyncState;
    if (s.stop) return;
    if (!IsNetworkAllowed()) {
        ShowMessage("The Velkarion web site and/or Internet access are not available.", "");
        if (links.preferenceCommand) links.preferenceCommand(kImageSyncControl);
        return;
    }
    if (s.planet == 0)
        ShowMessage("Please plug your PDA during the synchronization process.",
                    "Upon you network bandwith, it could take more than one hour to upload the 20000 Velkarion "
                    "images.\n\nYou can stop the process at any time and start it again later.");

    if (s.planet <= kSyncPlanetLast) {
        const int n = s.planet++;
        const std::string name = n < kNamedBodyCount ? bodyNames[n] : "";
        ShowStep("Planet", n, kSyncPlanetLast, name,
                 FindObjectPicture(name.c_str(), kPictureFolderCatalog, kCatalogPlanet) != 0);
        return;
    }
    if (s.messier <= kSyncMessierCount) {
        const int n = s.messier++;
        const std::string name = "m" + std::to_string(n);
        ShowStep("Messier", n, kSyncMessierCount, name,
                 FindObjectPicture(name.c_str(), kPictureFolderCatalog, kCatalogMessier) != 0);
        return;
    }
    if (const int count = GetMoonFeatureCount(); s.moon < count) {
        const int n = s.moon++;
        MoonFeatureRecord feature;
        const bool read = GetMoonFeature(n, &feature) != 0;
        const std::string name = read ? feature.name : "";
        ShowStep("Moon", n, count, name, read && FindObjectPicture(name.c_str(), kPictureFolderMoon, 0) != 0);
        return;
    }
    if (const int count = GetMarsFeatureCount(); s.mars < count) {
        const int n = s.mars++;
        MarsFeatureRecord feature;
        const bool read = GetMarsFeature(n, &feature) != 0;
        const std::string name = read ? std::string(MarsPicturePrefix(feature.kind)) + feature.name : "";
        ShowStep("Mars", n, count, name, read && FindObjectPicture(name.c_str(), kPictureFolderMars, 0) != 0);
        return;
    }
    if (const int count = ObjectRecordCount(); s.deepSky < count) {
        const int n = s.deepSky++;
        ObjectRef object;
        const bool read = GetObjectRecord(n, &object) != 0;
        char name[40] = {};
        if (read) FormatDesignation(name, sizeof name, static_cast<int>(object.catalog), object.number);
        ShowStep("DSO", n, count, name,
                 read && FindObjectPicture(name, kPictureFolderCatalog, static_cast<int>(object.catalog)) != 0);
        return;
    }
    ShowMessage("Sycnrhonization of the images is finished.", "");
    SetNetworkAllowed(0);
}
