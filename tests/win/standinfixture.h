// A test with a folder of its own holding a copy of the shipped lviehlp.exe, where the stand-in
// main application can be put beside it and logs to lv3.log; all of it is ended and removed after.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "dialogdriver.h"
#include "standin.h"
#include "testutil.h"

namespace lvtest {

class StandInFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearStandInSettings();
        dir_ = MakeTempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        exe_ = dir_ + "\\lviehlp.exe";
        log_ = dir_ + "\\lv3.log";
        ASSERT_TRUE(CopyTo(DistFile("lviehlp.exe"), exe_));
        SetEnv("LV3_LOG", log_.c_str());
    }
    void TearDown() override {
        app_.End();
        EndStandIns(log_);
        standIn_.End();
        ClearStandInSettings();
        RemoveTree(dir_);
    }
    void InstallStandIn() { ASSERT_TRUE(CopyTo(StandInExe(), dir_ + "\\lv3.exe")); }
    void StartRunningStandIn() {
        InstallStandIn();
        ASSERT_TRUE(StartStandIn(standIn_, dir_, log_, "child TComboBoxEx"));
    }
    // Between the cases of one test: the stand-ins ended, a fresh log and no other settings.
    void ResetStandIn() {
        EndStandIns(log_);
        standIn_.End();
        DeleteFileA(log_.c_str());
        ClearStandInSettings();
        SetEnv("LV3_LOG", log_.c_str());
    }

    std::string dir_, exe_, log_;
    Process app_;  // lviehlp.exe, or what started it
    Process standIn_;
    Dialog d_;
};

}  // namespace lvtest
