#include "platform/RegKey.h"

#include "platform/RegistryHive.h"

namespace vexa {
namespace {

// A name or a string that would break its line in the hive file.
bool BreaksLine(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string RegKey::Name() const {
    return m_node->name;
}

int RegKey::ValueCount() const {
    return static_cast<int>(m_node->values.size());
}

std::string RegKey::ValueName(int index) const {
    return m_node->values.at(static_cast<std::size_t>(index)).name;
}

std::string RegKey::ValueData(int index) const {
    return m_node->values.at(static_cast<std::size_t>(index)).data;
}

bool RegKey::SetValueData(int index, std::string data) {
    if (BreaksLine(data))
        return false;
    auto& value = m_node->values.at(static_cast<std::size_t>(index));
    RegistryValue old = value;
    value.data = std::move(data);
    value.isString = true;
    if (m_hive->Persist())
        return true;
    value = std::move(old);
    return false;
}

bool RegKey::AddValue(std::string name, std::string data) {
    if (BreaksLine(name) || BreaksLine(data) || m_node->FindValue(name) >= 0)
        return false;
    m_node->values.push_back({std::move(name), std::move(data), true});
    if (m_hive->Persist())
        return true;
    m_node->values.pop_back();
    return false;
}

std::vector<std::string> RegKey::SubkeyNames() const {
    std::vector<std::string> names;
    for (const auto& sub : m_node->subkeys)
        names.push_back(sub->name);
    return names;
}

bool RegKey::AddSubkey(std::string name) {
    if (name.empty() || name.find('\\') != std::string::npos || BreaksLine(name) ||
        m_node->FindSubkey(name)) {
        return false;
    }
    m_node->subkeys.push_back(std::make_unique<RegistryNode>());
    m_node->subkeys.back()->name = std::move(name);
    if (m_hive->Persist())
        return true;
    m_node->subkeys.pop_back();
    return false;
}

std::optional<RegKey> RegKey::Subkey(std::string_view name) const {
    RegistryNode* sub = m_node->FindSubkey(name);
    if (!sub)
        return std::nullopt;
    return RegKey(m_hive, sub);
}

}  // namespace vexa
