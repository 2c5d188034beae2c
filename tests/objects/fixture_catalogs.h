#pragma once
// The fixture catalog set (bright stars, deep-sky objects, a comet and an asteroid, cross
// references and a description file) written under a test's install root and opened as at
// start-up, for the form tests of this folder; comets are placed by the orbit computation.
#include <cstdlib>
#include <filesystem>

#include "catalog/chart_buffers.h"
#include "catalog/databases.h"
#include "catalog/selection_fixture.h"
#include "catalog/selection_hooks.h"
#include "catalog/star_tables.h"
#include "objects/comet_position.h"
#include "platform/paths.h"

class FixtureCatalogs {
public:
    // Writes the set into install/data under `root`, makes root/install and root/home the
    // program's roots and opens the set. On the program's thread.
    void Open(const std::filesystem::path& root) {
        const std::filesystem::path data = root / "install" / "data";
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(root / "home");
        // The symbol font the chart symbols need, as the program ships it.
        std::filesystem::create_directories(root / "install" / "font");
        std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                   root / "install" / "font" / "symbol.ttf",
                                   std::filesystem::copy_options::overwrite_existing);
        platform::SetInstallRoot(root / "install");
        platform::SetHomeRoot(root / "home");
        fixture_set::WriteMoon(data);
        fixture_set::WriteStars(data);
        fixture_set::WriteObjects(data);
        fixture_set::WriteCrossReferences(data);
        fixture_set::WriteComets(data);
        fixture_set::WriteDescriptions(data, {{42u << 16 | 40, "pB,S,R"}});
        SelectionHooks hooks;
        hooks.computeCometPosition = &ComputeCometPosition;
        savedHooks = SetSelectionHooks(hooks);
        if (!brightStarsList) {
            brightStarsList = static_cast<std::uint8_t*>(std::calloc(1, kBrightStarsListSize));
            starBuffer = static_cast<std::uint8_t*>(std::calloc(1, kStarBufferSize));
            ownBuffers = true;
        }
        CloseCatalogDatabases();
        ResetStarTables();
        OpenCatalogDatabases(1);
    }
    // After the program stopped.
    void Close() {
        CloseCatalogDatabases();
        ResetStarTables();
        SetSelectionHooks(savedHooks);
        if (ownBuffers) {
            std::free(brightStarsList);
            std::free(starBuffer);
            brightStarsList = nullptr;
            starBuffer = nullptr;
            ownBuffers = false;
        }
    }

private:
    SelectionHooks savedHooks{};
    bool ownBuffers = false;
};
