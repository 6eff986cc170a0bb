/** @file headless_fixture.h HeadlessScreen: a test fixture whose services run on a fresh headless backend. */
#pragma once

#include <gtest/gtest.h>

#include "platform/backends/headless.h"
#include "platform/hitlayers.h"
#include "platform/services.h"

class HeadlessScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    UseBackend(&backend);
    OpenScreen(1024, 768, 16, 60);
    ClearHitLayers(0);
  }
  void TearDown() override {
    ResetServices();
    ClearHitLayers(0);
    UseBackend(nullptr);
  }
  HeadlessBackend backend;
};
