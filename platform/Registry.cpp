#include "platform/Registry.h"

#include "platform/RegistryHive.h"

namespace vexa {
namespace {

constexpr const char* kRoots[] = {"HKEY_CURRENT_USER", "HKEY_USERS", "HKEY_LOCAL_MACHINE"};

}  // namespace

RegistryRoot::RegistryRoot(const XdgDirs& dirs)
    : RegistryRoot(std::map<std::string, std::string>{
          {"HKEY_CURRENT_USER", dirs.userConfig + "/Lomar/HKEY_CURRENT_USER.reg"},
          {"HKEY_USERS", dirs.systemConfig + "/Lomar/HKEY_USERS.reg"},
          {"HKEY_LOCAL_MACHINE", dirs.systemConfig + "/Lomar/HKEY_LOCAL_MACHINE.reg"}}) {}

RegistryRoot::RegistryRoot(std::map<std::string, std::string> hiveFiles) {
    for (const char* root : kRoots) {
        auto it = hiveFiles.find(root);
        if (it != hiveFiles.end()) {
            m_hives[root] = std::make_unique<RegistryHive>(root, it->second);
        }
    }
}

RegistryRoot::~RegistryRoot() = default;

RegistryHive* RegistryRoot::Hive(std::string_view root) {
    for (auto& [name, hive] : m_hives) {
        if (RegistryHive::NamesEqual(name, root))
            return hive.get();
    }
    return nullptr;
}

std::optional<RegKey> RegistryRoot::OpenKey(std::string_view path) {
    auto parts = RegistryHive::SplitPath(path);
    if (parts.empty())
        return std::nullopt;
    RegistryHive* hive = Hive(parts[0]);
    if (!hive)
        return std::nullopt;
    RegistryNode* node = &hive->Root();
    for (std::size_t i = 1; i < parts.size() && node; ++i)
        node = node->FindSubkey(parts[i]);
    if (!node)
        return std::nullopt;
    return RegKey(hive, node);
}

FileResult RegistryRoot::ChangeTogether(std::string_view root,
                                        const std::function<void()>& change) {
    RegistryHive* hive = Hive(root);
    if (hive != nullptr)
        hive->Defer();
    change();
    return hive != nullptr ? hive->Flush() : FileResult::Ok();
}

std::string RegistryRoot::FileOf(std::string_view root) {
    RegistryHive* hive = Hive(root);
    return hive != nullptr ? hive->File() : std::string();
}

std::optional<HiveProblem> RegistryRoot::Problem(std::string_view root) {
    RegistryHive* hive = Hive(root);
    if (!hive || hive->Problem().empty())
        return std::nullopt;
    return HiveProblem{hive->RootName(), hive->File(), hive->Problem(), hive->ValuesRead()};
}

std::vector<HiveProblem> RegistryRoot::Problems() {
    std::vector<HiveProblem> problems;
    for (const char* root : kRoots) {
        if (auto problem = Problem(root))
            problems.push_back(std::move(*problem));
    }
    return problems;
}

}  // namespace vexa
