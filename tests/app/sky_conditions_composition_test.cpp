// The program installs the forms of the site's sky conditions, and the object information
// form reaches the Twilight form through its link.
#include <gtest/gtest.h>

#include "objects/object_form_links.h"
#include "settings/checklists.h"
#include "settings/compass_chart.h"
#include "settings/day_night_form.h"
#include "settings/twilight_form.h"
#include "shell/form_dispatcher_internal.h"

namespace {

TEST(SkyConditionsComposition, TheSixFormsAndTheDarknessLinkAreInstalled) {
    EXPECT_EQ(objectFormLinks.openDarknessForm, &OpenDarknessForm);
    EXPECT_EQ(GetFormDialogProc(day_night::kFormId), &DayNight);
    EXPECT_EQ(GetFormDialogProc(twilight::kFormId), &TwilightForm);
    EXPECT_EQ(GetFormDialogProc(compass::kFormId), &CompassChart);
    EXPECT_EQ(GetFormDialogProc(checklist::kPage1), &CheckListPage1);
    EXPECT_EQ(GetFormDialogProc(checklist::kPage2), &CheckListPage2);
    EXPECT_EQ(GetFormDialogProc(checklist::kPage3), &CheckListPage3);
}

}  // namespace
