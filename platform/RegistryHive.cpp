#include "platform/RegistryHive.h"

#include <algorithm>

#include "platform/Cp1250.h"
#include "platform/TextFiles.h"

namespace vexa {
namespace {

// Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
bool ReadQuoted(std::string_view text, std::size_t& pos, std::string& out) {
    if (pos >= text.size() || text[pos] != '"')
        return false;
    ++pos;
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"')
            return true;
        if (c == '\\' && pos < text.size())
            c = text[pos++];
        out += c;
    }
    return false;
}

void AppendQuoted(std::string& out, std::string_view s) {
    out += '"';
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

void SerializeNode(const RegistryNode& node, const std::string& path, bool isRoot,
                   std::string& out) {
    if (!isRoot || !node.values.empty()) {
        out += "[" + path + "]\r\n";
        for (const auto& v : node.values) {
            if (v.name.empty()) {
                out += '@';
            } else {
                AppendQuoted(out, v.name);
            }
            out += '=';
            if (v.isString) {
                AppendQuoted(out, v.data);
            } else {
                out += v.data;
            }
            out += "\r\n";
        }
        out += "\r\n";
    }
    for (const auto& sub : node.subkeys)
        SerializeNode(*sub, path + "\\" + sub->name, false, out);
}

}  // namespace

RegistryNode* RegistryNode::FindSubkey(std::string_view key) const {
    for (const auto& sub : subkeys) {
        if (RegistryHive::NamesEqual(sub->name, key))
            return sub.get();
    }
    return nullptr;
}

int RegistryNode::FindValue(std::string_view value) const {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (RegistryHive::NamesEqual(values[i].name, value))
            return static_cast<int>(i);
    }
    return -1;
}

RegistryHive::RegistryHive(std::string rootName, std::string file)
    : m_rootName(std::move(rootName)), m_file(std::move(file)) {
    m_root.name = m_rootName;
}

bool RegistryHive::NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Cp1250::ToUpper(static_cast<unsigned char>(a[i])) !=
            Cp1250::ToUpper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::vector<std::string_view> RegistryHive::SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t end = path.find('\\', pos);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > pos)
            parts.push_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

RegistryNode& RegistryHive::Root() {
    if (!m_loaded) {
        m_loaded = true;
        if (TextFiles::Exists(m_file)) {
            std::string text;
            if (TextFiles::ReadAll(m_file, text).ok) {
                Parse(text, m_rootName, m_root);
            } else {
                m_unreadable = true;
            }
        }
    }
    return m_root;
}

bool RegistryHive::Persist() {
    Root();
    if (m_unreadable)
        return false;
    auto slash = m_file.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        if (!TextFiles::MakeDirs(m_file.substr(0, slash)).ok)
            return false;
    }
    return TextFiles::WriteAtomic(m_file, Serialize(m_root, m_rootName)).ok;
}

void RegistryHive::Parse(std::string_view text, std::string_view rootName, RegistryNode& root) {
    RegistryNode* current = nullptr;  // nullptr: outside any section of this root
    std::string pending;              // a raw value continued with a trailing backslash
    TextFiles::ForEachLine(text, [&](std::string_view raw) {
        std::string joined;
        if (!pending.empty()) {
            std::size_t indent = std::min(raw.find_first_not_of(" \t"), raw.size());
            joined = pending + std::string(raw.substr(indent));
            pending.clear();
            raw = joined;
        }
        std::size_t start = raw.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            return;
        std::string_view line = raw.substr(start);
        if (line.front() == ';')
            return;
        if (line.front() == '[') {
            current = nullptr;
            auto close = line.rfind(']');
            if (close == std::string_view::npos || line.size() < 2 || line[1] == '-')
                return;
            auto parts = SplitPath(line.substr(1, close - 1));
            if (parts.empty() || !NamesEqual(parts[0], rootName))
                return;
            RegistryNode* node = &root;
            for (std::size_t i = 1; i < parts.size(); ++i) {
                RegistryNode* sub = node->FindSubkey(parts[i]);
                if (!sub) {
                    node->subkeys.push_back(std::make_unique<RegistryNode>());
                    sub = node->subkeys.back().get();
                    sub->name = std::string(parts[i]);
                }
                node = sub;
            }
            current = node;
            return;
        }
        if (!current)
            return;
        RegistryValue value;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (!ReadQuoted(line, pos, value.name)) {
            return;
        }
        if (pos >= line.size() || line[pos] != '=')
            return;
        ++pos;
        if (pos < line.size() && line[pos] == '"') {
            if (!ReadQuoted(line, pos, value.data))
                return;
        } else {
            value.isString = false;
            value.data = std::string(line.substr(pos));
            if (!value.data.empty() && value.data.back() == '\\') {
                pending = std::string(line);
                pending.pop_back();
                return;
            }
        }
        int existing = current->FindValue(value.name);
        if (existing >= 0) {
            current->values[static_cast<std::size_t>(existing)] = std::move(value);
        } else {
            current->values.push_back(std::move(value));
        }
    });
}

std::string RegistryHive::Serialize(const RegistryNode& root, std::string_view rootName) {
    std::string out = "REGEDIT4\r\n\r\n";
    SerializeNode(root, std::string(rootName), true, out);
    return out;
}

}  // namespace vexa
