#pragma once
// Form 2460 on the headless screen: a fixed clock (2025-01-16 21:30) and site, the planet
// view state of the run set aside and given back, the form opened after choosing its
// assistant.
#include <gtest/gtest.h>

#include "core/settings.h"
#include "planets/planet_view_form.h"
#include "planets/planet_view_state.h"
#include "planets/planets_services.h"
#include "shell/forms_fixture.h"
#include "support/observing_state.h"
#include "support/recorded_reports.h"

class PlanetViewFormFixture : public FormScreenFixture {
protected:
    void SetUp() override {
        options.start = platform::LocalTime{2025, 1, 16, 21, 30, 0, 0, 4};
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        savedView_ = planetView;
        planetView = PlanetViewState{};
        UseTestSite(48.85, -2.35, 60);
        ClearRecordedReports();
        BeforeStart();
        SetFormDialogProc(planet_view_form::kFormId, &PlanetViewAssistant);
        SetFormDialogProc(kHomeFormId, &StandInFormProc<kHomeFormId>);
        StartWithMainWindow(&FormHostProc);
    }
    // What a test fixture sets up before the loop starts.
    virtual void BeforeStart() {}
    void TearDown() override {
        Stop();
        SetFormDialogProc(planet_view_form::kFormId, nullptr);
        SetFormDialogProc(kHomeFormId, nullptr);
        FreeSatelliteSprites();
        FormScreenFixture::TearDown();
        planetView = savedView_;
    }
    void PrepareSettings() override { SetDefaultSettings(); }

    // The assistant chosen by `select`, then form 2460 opened.
    void Open(void (*select)()) {
        Call([select] {
            select();
            GotoForm(planet_view_form::kFormId);
        });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), planet_view_form::kFormId);
    }
    platform::Point At(int x, int y) { return platform::ClientToScreen(formWindow, platform::Point{x, y}); }

    PlanetViewState savedView_;
    SavedObservingState site_;
};
