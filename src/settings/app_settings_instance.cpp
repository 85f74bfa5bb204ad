#include <memory>

#include "settings/app_settings_instance.h"

namespace {

// Null until the first use; only FreeAppSettings frees the record.
CAppSettings* g_settings = nullptr;

}  // namespace

CAppSettings& GetAppSettings() {
    // A failed allocation or construction throws before anything is stored, so a
    // later call tries again.
    if (!g_settings) g_settings = std::make_unique<CAppSettings>().release();
    return *g_settings;
}

CAppSettings* FindAppSettings() noexcept {
    try {
        return &GetAppSettings();
    } catch (...) {
        return nullptr;
    }
}

void FreeAppSettings() noexcept {
    delete g_settings;
    g_settings = nullptr;
}
