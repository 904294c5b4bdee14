#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace vexa {

// Index of each setting in Config::Settings.
namespace cfg {
enum Setting : int {
    Port = 0,
    Vydejce,
    Platnost,
    Prevod,
    SmerTisku,
    FontSize,
    ZpusobTisku,
    GlobHorzNS,
    GlobVertNS,
    TabHorz1NS,
    TabHorz2NS,
    GlobHorzOS,
    GlobVertOS,
    TabHorz1OS,
    TabHorz2OS,
    TabVert,
    HorzShift,
    VertShift,
    DetiVertNS,
    DetiHorzNS,
    DetiHorzTab1NS,
    DetiHorzTab2NS,
    DetiVertOS,
    DetiHorzOS,
    DetiHorzTab1OS,
    DetiHorzTab2OS,
    NVVertTabNS,
    NVHorzTabNS,
    NVVertTabOS,
    NVHorzTabOS,
    Count  // 30
};
}  // namespace cfg

// One print template: horizontal shift in 1/60 inch, vertical shift in 1/360 inch.
struct TemplateShift {
    std::int16_t Horz = 0;
    std::int16_t Vert = 0;
};

// The program's thirty settings, their defaults and registry value names, and the ten print
// templates. Every setting is held in its text form (Windows-1250), as the registry stores
// it; numeric settings are read from that text where they are used (Number).
class Config {
  public:
    static constexpr int kCount = cfg::Count;
    static constexpr const char* kKeyPath = "\\Software\\Lomar\\Vexa\\";

    explicit Config(RegistryRoot& registry);

    // Defaults, then the registry under HKEY_USERS\.DEFAULT, then under HKEY_CURRENT_USER.
    void InitSettings();
    void InitDefaults();
    void InitSettingNames();
    void ResetSettings();
    void InitTemplates();
    // Reads the settings under "\" + root + "\Software\Lomar\Vexa\", creating the key when it
    // is missing. Registry failures are ignored.
    void LoadSettings(std::string_view root);
    // Writes all thirty settings under HKEY_CURRENT_USER, in one write of its file. The
    // settings in memory stay as they are whatever happens; the result tells why the file
    // could not be written.
    FileResult SaveSettings();
    // The subkey `name` of `key`, created first when missing (names compare ignoring case).
    static std::optional<RegKey> OpenOrCreateKey(RegKey& key, std::string_view name);

    // The one way in: a setting's text as stored, its leading number ("." as decimal point, 0
    // for no number), and changing it.
    const std::string& Text(cfg::Setting s) const { return Settings[s]; }
    double Number(cfg::Setting s) const;
    void Set(cfg::Setting s, std::string value) { Settings[s] = std::move(value); }
    const std::string& Default(cfg::Setting s) const { return DefaultSettings[s]; }
    // The registry value name of a setting.
    const std::string& Name(cfg::Setting s) const { return SettingNames[s]; }
    // Template P1..P10 by its number 1..10.
    TemplateShift Template(int number) const { return Templates.at(std::size_t(number)); }

    RegistryRoot& Registry() { return m_registry; }

  private:
    RegistryRoot& m_registry;
    std::array<std::string, kCount> Settings;
    std::array<std::string, kCount> DefaultSettings;
    std::array<std::string, kCount> SettingNames;
    std::array<TemplateShift, 11> Templates;  // P1..P10 at 1..10; entry 0 unused
};

}  // namespace vexa
