#pragma once
// A clean application with a scripted dialog service for each test.
#include "ui/Application.h"
#include "ui/ScriptedDialogs.h"

#include <gtest/gtest.h>

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application().Reset();
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        Application().SetDialogs(std::move(d));
    }
    void TearDown() override { Application().Reset(); }
    ScriptedDialogs* dialogs = nullptr;
};
