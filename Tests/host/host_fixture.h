// Every host test starts from the host's defaults: no faults, empty logs.
#pragma once

#include <gtest/gtest.h>

#include "hostlayer/host_control.h"

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { hostlayer::Reset(); }
  void TearDown() override { hostlayer::Reset(); }
};
