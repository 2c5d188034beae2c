#include "planets/planet_view_state.h"

#include <gtest/gtest.h>

#include "core/settings.h"
#include "shell/colour_scheme.h"

namespace {

using platform::Color;
using platform::Rgb;

class PlanetViewStateTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = planetView; }
    void TearDown() override {
        planetView = saved_;
        preferences.word[pref::nightMode] = night_;
    }
    PlanetViewState saved_;
    int night_ = preferences.word[pref::nightMode];
};

TEST_F(PlanetViewStateTest, StartsWithZoomFourAndSpanFour) {
    const PlanetViewState fresh;
    EXPECT_EQ(fresh.zoom, 4.0);
    EXPECT_EQ(fresh.span, 2);
    EXPECT_EQ(fresh.loadTime, 1);
    EXPECT_EQ(fresh.xSign, 1);
    EXPECT_EQ(fresh.ySign, 1);
    EXPECT_EQ(fresh.selectedFeature, -1);
}

TEST_F(PlanetViewStateTest, ModeSelection) {
    SelectSaturnAssistant();
    planetView.subView = 2;
    planetView.moonEventTable[3].startDay = 12;
    planetView.eventYear = 2025;

    // Saturn again keeps its sub-view and its events.
    SelectSaturnAssistant();
    EXPECT_EQ(planetView.subView, 2);
    EXPECT_EQ(planetView.moonEventTable[3].startDay, 12);

    // Jupiter from Saturn: "Satellites", an empty table and a stale cache.
    SelectJupiterAssistant();
    EXPECT_EQ(GetPlanetViewMode(), kJupiterMode);
    EXPECT_STREQ(planetView.title, "JupiterAssistant");
    EXPECT_EQ(planetView.subView, 0);
    EXPECT_EQ(planetView.moonEventTable[3].startDay, 0);
    EXPECT_EQ(planetView.eventYear, -1);

    SelectMarsAssistant();
    EXPECT_EQ(GetPlanetViewMode(), kMarsMode);
    EXPECT_EQ(planetView.subView, 1);
    planetView.subView = 2;
    SelectMarsAssistant();
    EXPECT_EQ(planetView.subView, 2);

    planetView.span = 3;
    SelectPhaseAssistant();
    EXPECT_EQ(GetPlanetViewMode(), kPhaseMode);
    EXPECT_EQ(planetView.span, 0);
    EXPECT_EQ(planetView.subView, 0);

    planetView.orientation = 3;
    EXPECT_EQ(GetPlanetViewOrientation(), 3);
}

TEST_F(PlanetViewStateTest, ColoursByDayAndNight) {
    preferences.word[pref::nightMode] = 0;
    SetPlanetColors();
    EXPECT_EQ(planetView.colours.lightBand, Rgb(180, 180, 250));
    EXPECT_EQ(planetView.colours.planetStripe, Rgb(0, 0, 120));
    EXPECT_EQ(planetView.colours.darkBackground, Rgb(0, 0, 0));
    Color satellites[5];
    GetSatelliteColors(satellites);
    EXPECT_EQ(satellites[0], Rgb(205, 205, 40));
    EXPECT_EQ(satellites[4], Rgb(155, 150, 140));

    for (int mode = 1; mode <= 3; ++mode) {
        preferences.word[pref::nightMode] = mode;
        const int L = GetNightLevel();
        SCOPED_TRACE(L);
        SetPlanetColors();
        const PlanetColours& c = planetView.colours;
        EXPECT_EQ(c.foreground, Rgb(L - L / 4, 0, 0));
        EXPECT_EQ(c.lightBand, Rgb(L / 4, 0, 0));
        EXPECT_EQ(c.stripBackground, Rgb(L / 2, 0, 0));
        EXPECT_EQ(c.planetStripe, Rgb(L / 2, 0, 0));
        EXPECT_EQ(c.darkBackground, Color{1}) << "black is the transparent colour";
        EXPECT_EQ(c.cursor, Rgb(220, 0, 0));
        GetSatelliteColors(satellites);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(satellites[i], Rgb(L - 7 * i, 0, 0));
    }
    const int levels[] = {102, 140, 204};
    for (int mode = 1; mode <= 3; ++mode) {
        preferences.word[pref::nightMode] = mode;
        EXPECT_EQ(GetNightLevel(), levels[mode - 1]);
    }
}

}  // namespace
