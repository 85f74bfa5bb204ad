// The user's settings, read once per process when the module enters it.
#pragma once

#include <cstdint>
#include <string>

#include "settings/profile_store.h"

struct CAppSettings {
    std::string m_strExecutableFile;
    std::int32_t m_bAutoRun = 0;
    std::int32_t m_bMinimizeToTray = 1;
    std::int32_t m_bStartMinimized = 0;
    std::int32_t m_bAutoIme = 0;
    std::string m_strSelectedIme;
    // The IME turned on in its native mode while the chat box is open, and the
    // player's status and mode given back when it closes.
    std::int32_t m_bImeMode = 1;
    std::string m_strKeys[4];  // say, say team, rcon say, send key: names of the key table
    std::int32_t m_bRememberHistory = 1;
    std::uint32_t m_nMaxHistoryItems = 10;

    // Reads every value of the application key (the section with the empty name);
    // a value that cannot be read takes its default. m_bAutoRun is left at 0: the
    // Run value, outside the application key, sets it afterwards.
    void Load(ProfileStore& profile);
};
