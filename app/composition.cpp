#include "app/composition.h"

#include "app/home_form.h"
#include "catalog/selection_hooks.h"
#include "chart/chart_links.h"
#include "chart/chart_services.h"
#include "chart/chart_state.h"
#include "core/observing_time.h"
#include "moon/moon_services.h"
#include "objects/list_manager_form.h"
#include "objects/objects_services.h"
#include "scope/assistant_links.h"
#include "scope/camera_control.h"
#include "scope/ccd_assistant.h"
#include "scope/encoder_boxes.h"
#include "scope/mount_dispatcher.h"
#include "scope/polar_assistant.h"
#include "settings/location_list_form.h"
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
    SetChartLinks(chart);
    // The mount opens the ScopeControl form, unless the chart is following it.
    MountDispatchLinks mount;
    mount.chartFollowsMount = [] { return GetCurrentFormId() == 1900 && scopeTracking != 0; };
    SetMountDispatchLinks(mount);
    SetEncoderGotoHook(&OpenScopeControl);

    RegisterForm(kHomeFormId, &HomeForm);
    RegisterForm(5200, &DateTime);
    RegisterForm(kSiteFormId, &Location);
    RegisterForm(location_list::kFormId, &LocationList);
    // The observing assistants of the telescope folder. Their finder chart and candidate
    // stars come from the sky views and the object search once those are built: until
    // then the links stay empty (no chart is drawn, no star is searched).
    SetAssistantLinks(AssistantLinks{});
    RegisterForm(kPolarFormId, &PolarAssistant);
    RegisterForm(kCameraFormId, &CameraControl);
    RegisterForm(kCcdFormId, &CcdAssistant);
    RegisterForm(kListManagerFormId, &ListManager);
}
