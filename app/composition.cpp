#include "app/composition.h"

#include "app/home_form.h"
#include "catalog/selection_hooks.h"
#include "chart/chart_form.h"
#include "chart/chart_links.h"
#include "chart/chart_overlays.h"
#include "chart/chart_services.h"
#include "chart/chart_state.h"
#include "chart/scope_cursor.h"
#include "chart/sky_view.h"
#include "chart/sky_view_chart.h"
#include "chart/star_layers.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "eclipses/eclipse_form.h"
#include "moon/map_textures.h"
#include "moon/moon_assistant.h"
#include "moon/moon_map.h"
#include "objects/ephemeris_form.h"
#include "objects/list_manager_form.h"
#include "objects/night_tripper_form.h"
#include "objects/observer_log_form.h"
#include "objects/finder_form.h"
#include "objects/image_sync.h"
#include "objects/object_form_links.h"
#include "objects/object_info_form.h"
#include "objects/object_pictures.h"
#include "objects/objects_services.h"
#include "objects/selection_criteria_form.h"
#include "planets/jupiter_view.h"
#include "planets/orbit_assistant.h"
#include "planets/planet_assistant.h"
#include "planets/planet_view_form.h"
#include "planets/planets_services.h"
#include "planets/red_spot.h"
#include "planets/saturn_view.h"
#include "scope/assistant_links.h"
#include "scope/camera_control.h"
#include "scope/ccd_assistant.h"
#include "scope/chart_align_star.h"
#include "scope/encoder_boxes.h"
#include "scope/mount_dispatcher.h"
#include "scope/scope_control_form.h"
#include "satellites/satellites_assistant.h"
#include "scope/serial_port.h"
#include "scope/two_star_form.h"
#include "scope/nstar_form.h"
#include "scope/polar_assistant.h"
#include "settings/checklists.h"
#include "settings/compass_chart.h"
#include "settings/day_night_form.h"
#include "settings/twilight_form.h"
#include "settings/location_list_form.h"
#include "settings/preference_pages.h"
#include "settings/site_form.h"
#include "shell/date_time_form.h"
#include "shell/form_dispatcher.h"
#include "shell/message_box.h"
#include "shell/utilities.h"

void ComposeProgram() {
    // Once per process: a second start of the program in the same process (tests) keeps
    // what was installed and registered, and any stand-in a test put in place.
    static bool composed = false;
    if (composed) return;
    composed = true;
    InstallShellReportHooks();
    // A new observing time changes the limiting magnitudes of the searches.
    SetObservingTimeChangedHook([] { ComputeLimitingMagnitude(); });
    // The selection reaches the chart, the orbit computation and the device's date order.
    SelectionHooks selection;
    selection.selectChartObject = &SelectChartObject;
    selection.invalidateSelectionProjection = &InvalidateSelectionProjection;
    selection.computeCometPosition = &ComputeCometPosition;
    selection.formatDate = &FormatDate;
    SetSelectionHooks(selection);
    // The chart reaches the mount, the object search and the map views.
    ChartLinks chart;
    chart.isEncoderDrive = &IsEncoderDrive;
    chart.freeMapImages = &FreeMapImages;
    chart.initSelectionCriteria = &InitSelectionCriteria;
    chart.scopeSetRate = [](int rate) { ScopeSetRate(rate); };
    chart.scopeConnect = &ScopeConnect;
    chart.scopeDisconnect = &ScopeDisconnect;
    chart.scopeGetPosition = &ScopeGetPosition;
    chart.scopeSync = &ScopeSync;
    chart.scopeGoto = &ScopeGoto;
    chart.openScopeControl = &OpenScopeControl;
    chart.moveScopeWhileKeyHeld = &MoveScopeWhileKeyHeld;
    chart.telescopeEmulated = [] { return telescopeEmulation != 0; };
    chart.clearEncoderTarget = [] { SetEncoderTarget(0.0, -100.0); };
    chart.clearSerialAuxFlag = &ClearSerialAuxFlag;
    chart.setListManagerMode = &SetListManagerMode;
    chart.runObjectSelection = &RunObjectSelection;
    chart.computeLimitingMagnitude = [] { ComputeLimitingMagnitude(); };
    // "Improve Pointing": the chart's current object joins the N-star table.
    chart.addChartObjectAsAlignStar = [] {
        ChartView view{};
        GetChartView(&view);
        const bool none = view.type == 0 && view.catalog == 0;
        AddChartObjectAsAlignStar(none ? nullptr : &view);
    };
    // The chart marks listed objects that have a picture and shows it on a tap.
    chart.showObjectPicture = &ShowObjectPicture;
    chartFindObjectPicture = &FindObjectPicture;
    chart.openObserverLogNew = &OpenObserverLogNew;
    SetChartLinks(chart);
    // The chart's sky-view modes 2 to 4 are drawn, dragged and tapped by the sky views.
    chartSkyModes.draw = &DrawChartSkyView;
    chartSkyModes.drag = &DragChartSkyView;
    chartSkyModes.tap = &TapChartSkyView;
    // The mount opens the ScopeControl form, unless the chart is following it.
    MountDispatchLinks mount;
    mount.chartFollowsMount = [] { return GetCurrentFormId() == 1900 && scopeTracking != 0; };
    SetMountDispatchLinks(mount);
    SetEncoderGotoHook(&OpenScopeControl);
    // The hand paddle shares the chart's following flag.
    ScopeControlLinks paddle;
    paddle.tracking = [] { return scopeTracking; };
    paddle.setTracking = [](int on) { scopeTracking = on; };
    paddle.showOnChart = &ShowScopeMoveOnChart;
    // The paddle's and the N-star form's views: a plain horizon view, no info bar, the
    // compass by the caller's choice.
    paddle.drawSkyViewInto = [](DrawWindow*& offscreen, const Bounds& area, double raHours, double decDeg, int field,
                                bool compass) {
        constexpr int kHorizonFlip = pref::chartFlip + 2;  // the horizon view's flip word
        const DisplayWordValue words[] = {{pref::chartMode, 2},   {pref::skyViewScrollFlip, 0}, {kHorizonFlip, 0},
                                          {pref::hideInfoBar, 1}, {pref::hideCompass, compass ? 0 : 1}};
        return DrawEmbeddedSkyView(offscreen, area, raHours, decDeg, field, words);
    };
    SetScopeControlLinks(paddle);

    RegisterForm(kHomeFormId, &HomeForm);
    RegisterForm(satellites_form::kFormId, &SatellitesAssistant);
    RegisterForm(5200, &DateTime);
    RegisterForm(kSiteFormId, &Location);
    RegisterForm(kEclipseFormId, &EclipseAssistant);
    // The Moon forms: the menu, the home form's Moon and the object information of the
    // Moon open the assistant; its Map mode opens the map.
    RegisterForm(moon_assistant::kFormId, &MoonAssistant);
    RegisterForm(moon_map::kFormId, &MoonMap);
    RegisterForm(kScopeControlFormId, &ScopeControl);
    RegisterForm(location_list::kFormId, &LocationList);
    RegisterForm(kChartFormId, &ScopeAssistant);
    // The observing assistants of the telescope folder. Their finder chart comes from the
    // sky views, for the observing instant; their candidate stars from the object search.
    AssistantLinks assistants;
    assistants.drawFinderChart = [](const ObjectRef& object, int zoomLevel, const Bounds& area) {
        const ObservingDateTime& t = observingDateTime;
        DrawFinderChart(object, nullptr, area, zoomLevel, t.year, t.month, t.day, t.hour, t.minute);
    };
    assistants.runObjectSelectionQuiet = &RunObjectSelectionQuiet;
    // The N-star list labels bright stars as the chart does; its pick opens the chart at
    // the device time.
    assistants.drawBrightStarLabel = [](int starNumber, int x, int y) { DrawBrightStarLabel(starNumber, x, y, 1); };
    assistants.setChartTime = [](int year, int month, int day, int hour, int minute) {
        SetSkyDateTime(nullptr, year, month, day, hour, minute);
    };
    assistants.chartObject = [](ObjectRef* out) {
        GetChartView(out);
        return !(out->type == 0 && out->catalog == 0);
    };
    SetAssistantLinks(assistants);
    RegisterForm(kPolarFormId, &PolarAssistant);
    RegisterForm(kCameraFormId, &CameraControl);
    RegisterForm(kCcdFormId, &CcdAssistant);
    RegisterForm(kTwoStarFormId, &TwoStarAlignment);
    RegisterForm(kListManagerFormId, &ListManager);
    RegisterForm(kNStarFormId, &NStarAlignment);
    RegisterForm(kSelectionCriteriaFormId, &SelectionCriteriaForm);
    RegisterForm(kEphemerisFormId, &EphemerisAssistant);
    // The object information form reaches the telescope, the planet views and the orbit
    // assistant through its links; the darkness graph joins them when its folder provides it.
    ObjectFormLinks objectLinks;
    objectLinks.scopeGoto = &ScopeGoto;
    objectLinks.selectMarsView = &SelectMarsAssistant;
    objectLinks.selectJupiterView = &SelectJupiterAssistant;
    objectLinks.selectSaturnView = &SelectSaturnAssistant;
    objectLinks.redSpotTransits = &ComputeRedSpotTransits;
    // The planets are drawn as the planet view shows them: its zoom, orientation and colours.
    // Jupiter's view runs from the band's top to the foot of the screen above the buttons.
    objectLinks.drawJupiter = [](int year, int month, int day, int hour, int minute, Bounds band) {
        DrawJupiter(band.width, band.y, year, month, day, hour, minute, nullptr, nullptr, nullptr, 1, planetView.xSign,
                    planetView.ySign);
    };
    objectLinks.drawSaturn = [](int year, int month, int day, int hour, int minute, Bounds band) {
        SetPlanetColors();
        platform::Color colours[kSatelliteColourCount];
        GetSatelliteColors(colours);
        double x[kSaturnViewMoons], y[kSaturnViewMoons];
        int codes[kSaturnViewMoons];
        DrawSaturn(year, month, day, hour, minute, band.x, band.y, band.width, band.height, x, y, codes,
                   kSaturnSatellites, colours, planetView.xSign, planetView.ySign);
    };
    objectLinks.setCurrentComet = &SetCurrentCometIndex;
    objectLinks.setOrbitPage = &SetOrbitFormView;
    objectLinks.openDarknessForm = &OpenDarknessForm;
    SetObjectFormLinks(objectLinks);
    RegisterForm(kObjectInfoFormId, &ObjectInfo);
    // The planet view serves the Jupiter, Saturn, Mars and phase assistants under both ids.
    RegisterForm(planet_view_form::kFormId, &PlanetViewAssistant);
    RegisterForm(planet_view_form::kSecondFormId, &PlanetViewAssistant);
    RegisterForm(planet_assistant::kFormId, &PlanetAssistant);
    RegisterForm(kFinderFormId, &FinderAssistant);
    RegisterForm(orbit_form::kFormId, &OrbitAssistant);
    RegisterForm(kObserverLogFormId, &ObserverLog);
    RegisterForm(kNightTripperFormId, &NightTripper);
    // The seven preference pages.
    RegisterForm(kPreferencePage1Form, &PreferencePage1);
    RegisterForm(kPreferencePage2Form, &PreferencePage2);
    RegisterForm(kPreferencePage3Form, &PreferencePage3);
    RegisterForm(kPreferencePage4Form, &PreferencePage4);
    RegisterForm(kPreferencePage5Form, &PreferencePage5);
    RegisterForm(kPreferencePage6Form, &PreferencePage6);
    RegisterForm(kPreferencePage7Form, &PreferencePage7);
    // The forms of the site's sky conditions.
    RegisterForm(day_night::kFormId, &DayNight);
    RegisterForm(twilight::kFormId, &TwilightForm);
    RegisterForm(compass::kFormId, &CompassChart);
    RegisterForm(checklist::kPage1, &CheckListPage1);
    RegisterForm(checklist::kPage2, &CheckListPage2);
    RegisterForm(checklist::kPage3, &CheckListPage3);
    // The picture synchronisation hands its stop back to page 7/7.
    SetImageSyncLinks(ImageSyncLinks{&PreferenceCommand});
}
