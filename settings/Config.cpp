#include "settings/Config.h"

#include "platform/Numbers.h"
#include "platform/RegistryHive.h"

namespace vexa {
namespace {

struct SettingDef {
    const char* name;
    const char* defaultValue;
};

// Value names and factory defaults, in the order of cfg::Setting. Positions are in 1/60 inch
// horizontally and 1/360 inch vertically.
constexpr SettingDef kDefs[Config::kCount] = {
    {"Port", "lpt1"},          {"Vydejce", ""},           {"Platnost", "365"},
    {"Prevod", "1"},           {"SmerTisku", "0"},        {"FontSize", "10 cpi"},
    {"ZpusobTisku", "0"},      {"GlobHorzNS", "104"},     {"GlobVertNS", "1378"},
    {"TabHorz1NS", "30"},      {"TabHorz2NS", "102"},     {"GlobHorzOS", "70"},
    {"GlobVertOS", "384"},     {"TabHorz1OS", "72"},      {"TabHorz2OS", "102"},
    {"TabVert", "90"},         {"HorzShift", "0"},        {"VertShift", "0"},
    {"DetiVertNS", "1542"},    {"DetiHorzNS", "4"},       {"DetiHorzTab1NS", "128"},
    {"DetiHorzTab2NS", "213"}, {"DetiVertOS", "850"},     {"DetiHorzOS", "61"},
    {"DetiHorzTab1OS", "85"},  {"DetiHorzTab2OS", "213"}, {"NVVertTabNS", "69"},
    {"NVHorzTabNS", "-51"},    {"NVVertTabOS", "98"},     {"NVHorzTabOS", "142"},
};

// The first value of the key whose name is exactly `name` (letter case counts), or -1.
int FindExact(const RegKey& key, const std::string& name) {
    int count = key.ValueCount();
    for (int i = 0; i < count; ++i) {
        if (key.ValueName(i) == name)
            return i;
    }
    return -1;
}

}  // namespace

Config::Config(RegistryRoot& registry) : m_registry(registry) {
    InitDefaults();
    InitSettingNames();
    ResetSettings();
    InitTemplates();
}

void Config::InitSettings() {
    InitDefaults();
    ResetSettings();
    InitTemplates();
    LoadSettings("HKEY_USERS\\.DEFAULT");
    LoadSettings("HKEY_CURRENT_USER");
}

void Config::InitDefaults() {
    for (int i = 0; i < kCount; ++i)
        DefaultSettings[i] = kDefs[i].defaultValue;
}

void Config::InitSettingNames() {
    for (int i = 0; i < kCount; ++i)
        SettingNames[i] = kDefs[i].name;
}

void Config::ResetSettings() {
    Settings = DefaultSettings;
}

void Config::InitTemplates() {
    Templates[0] = {};
    for (int k = 1; k <= 10; ++k) {
        // P1..P5 keep the column and step the row by 21/360 inch from +42 to -42;
        // P6..P10 do the same 6/60 inch further right.
        Templates[k].Horz = k <= 5 ? 0 : 6;
        Templates[k].Vert = static_cast<std::int16_t>(42 - 21 * ((k - 1) % 5));
    }
}

void Config::LoadSettings(std::string_view root) {
    InitSettingNames();
    std::string path = "\\";
    path.append(root).append(kKeyPath);
    if (auto key = m_registry.OpenKey(path)) {
        for (int i = 0; i < kCount; ++i) {
            int v = FindExact(*key, SettingNames[i]);
            if (v >= 0)
                Settings[i] = key->ValueData(v);
        }
        return;
    }
    // No key yet: create it, so that the first save finds it. Failures are ignored (a user may
    // not be allowed to write the machine-wide hive).
    // On Windows the profile key under HKEY_USERS always exists; here it is created too.
    auto parts = RegistryHive::SplitPath(path);
    auto key = m_registry.OpenKey(parts.front());
    for (std::size_t i = 1; i < parts.size() && key; ++i)
        key = OpenOrCreateKey(*key, parts[i]);
}

FileResult Config::SaveSettings() {
    InitSettingNames();
    // All thirty values go to the file in one write.
    return m_registry.ChangeTogether("HKEY_CURRENT_USER", [this] {
        // The key is made when an earlier write could not make it.
        auto key = m_registry.OpenKey("\\HKEY_CURRENT_USER");
        for (std::string_view part : RegistryHive::SplitPath(kKeyPath))
            key = key ? OpenOrCreateKey(*key, part) : key;
        if (!key)
            return;
        for (int i = 0; i < kCount; ++i) {
            if (key->AddValue(SettingNames[i], Settings[i]))
                continue;
            // The value exists: overwrite the one whose name matches exactly. A value whose
            // name differs only in letter case blocks the add and is not overwritten either.
            int v = FindExact(*key, SettingNames[i]);
            if (v >= 0)
                key->SetValueData(v, Settings[i]);
        }
    });
}

std::optional<RegKey> Config::OpenOrCreateKey(RegKey& key, std::string_view name) {
    if (!key.Subkey(name))
        key.AddSubkey(std::string(name));
    return key.Subkey(name);
}

double Config::Number(cfg::Setting s) const {
    return Numbers::LeadingNumber(Settings[s]);
}

}  // namespace vexa
