// A shown form for tests of the standard controls, and message pumping.
#pragma once
#include <gtest/gtest.h>

#include "forms/application.h"

namespace forms::testing_support {

struct ShownForm : ::testing::Test {
    TForm* form = nullptr;
    void SetUp() override {
        form = new TForm(Application);
        form->SetBounds(40, 40, 480, 360);
        form->Show();
        Pump();
    }
    void TearDown() override { delete form; }
    static void Pump() { Application->ProcessMessages(); }
};

}  // namespace forms::testing_support
