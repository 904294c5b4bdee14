#include "records/DatabaseSetting.h"

#include "platform/Cp1250.h"

namespace vexa {

std::optional<std::string> DatabaseSetting::Read(RegistryRoot& registry) {
    auto key = registry.OpenKey(kKey);
    if (!key)
        return std::nullopt;
    std::string value;
    for (int i = 0; i < key->ValueCount(); ++i)
        if (key->ValueName(i) == kValueName)
            value = key->ValueData(i);
    if (value.empty())
        return std::nullopt;
    // The registry holds Windows-1250 text.
    return Cp1250::ToUtf8(value);
}

}  // namespace vexa
