#include "res/Resources.h"

#include <set>

#include <gtest/gtest.h>

// A control is found by its id, so two controls of one dialog must never share one.
TEST(Resources, EveryControlOfADialogHasAnIdOfItsOwn)
{
    for (const DialogTemplate* dialog : {&kClientDialog, &kSetupDialog, &kAboutDialog}) {
        std::set<int> ids;
        for (const ControlTemplate& control : dialog->controls) {
            if (control.id != IDC_STATIC) {
                EXPECT_TRUE(ids.insert(control.id).second) << dialog->id << ": " << control.id;
            }
        }
    }
}
