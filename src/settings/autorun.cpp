#include "settings/autorun.h"

bool AcceptRunValue(std::uint32_t registryType, std::string_view data) noexcept {
    if (registryType != kRegSz && registryType != kRegExpandSz) return false;
    if (data.empty() || data.size() > kRunValueMaxBytes) return false;
    return data.back() == '\0';
}

std::string_view RunValueText(std::string_view data) {
    return data.substr(0, data.find('\0'));
}
