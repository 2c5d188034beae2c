// The object forms choose the orbit assistant's comet and page through the links the
// program installs at start.
#include <gtest/gtest.h>

#include "objects/object_form_links.h"
#include "planets/orbit_assistant.h"
#include "shell/form_dispatcher_internal.h"

namespace {

TEST(OrbitComposition, ObjectFormsChooseTheCometAndThePageOfForm2550) {
    const OrbitFormState saved = orbitForm;
    ASSERT_NE(objectFormLinks.setCurrentComet, nullptr);
    ASSERT_NE(objectFormLinks.setOrbitPage, nullptr);
    objectFormLinks.setCurrentComet(4);
    objectFormLinks.setOrbitPage(orbit_form::kSkyView);
    EXPECT_EQ(orbitForm.currentComet, 4);
    EXPECT_EQ(orbitForm.page, orbit_form::kSkyView);
    EXPECT_EQ(GetFormDialogProc(orbit_form::kFormId), &OrbitAssistant);
    orbitForm = saved;
}

}  // namespace
