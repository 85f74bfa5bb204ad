// What a load that finds no values gives, checked the same way over the in-memory
// store and over the real registry.
#pragma once

#include <gtest/gtest.h>

#include "settings/app_settings.h"

inline void ExpectDefaultSettings(const CAppSettings& s) {
    EXPECT_EQ(s.m_strExecutableFile, "");
    EXPECT_EQ(s.m_strKeys[0] + s.m_strKeys[1] + s.m_strKeys[2] + "," + s.m_strKeys[3], "YUP,F12");
    EXPECT_EQ(s.m_strSelectedIme, "");
    EXPECT_EQ(s.m_bAutoIme, 0);
    EXPECT_EQ(s.m_bImeMode, 1);
    EXPECT_EQ(s.m_bMinimizeToTray, 1);
    EXPECT_EQ(s.m_bStartMinimized, 0);
    EXPECT_EQ(s.m_bRememberHistory, 1);
    EXPECT_EQ(s.m_nMaxHistoryItems, 10u);
}
