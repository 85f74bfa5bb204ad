// The process's one settings record, owned by the module's application: created on
// first use with empty strings, loaded when the module enters the process, freed
// when it leaves.
#pragma once

#include "settings/app_settings.h"

// Never null; throws std::bad_alloc, storing nothing, when the record cannot be made.
CAppSettings& GetAppSettings();
// The same record for code that must not throw: null when it cannot be created.
CAppSettings* FindAppSettings() noexcept;
void FreeAppSettings() noexcept;
