// COM for the thread of one test: initialised in SetUp, released in TearDown.
#pragma once
#include <objbase.h>
#include <gtest/gtest.h>

class ComTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { ::CoUninitialize(); }
};
