// The game's own loaders, run in the generated data directory as the game runs.
#pragma once

#include "gfx/GMImageManager.h"
#include "platform/DisplayDevice.h"
#include "platform/System.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

class DatagenGameLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartPlatform());
        ASSERT_EQ(DisplayDevice::CreateOffscreen(800, 600, &m_device), DD_OK);
        m_chdir = std::make_unique<ScopedChdir>(BRIMVALE_DATAGEN_DATA_DIR);
        m_manager = std::make_unique<GMImageManager>();
    }
    void TearDown() override
    {
        m_manager.reset();
        if (m_device)
            m_device->Release();
        m_chdir.reset();
    }

    DisplayDevice* m_device = nullptr;
    std::unique_ptr<ScopedChdir> m_chdir;
    std::unique_ptr<GMImageManager> m_manager;
};
