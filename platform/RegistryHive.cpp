#include "platform/RegistryHive.h"

#include <cstring>
#include <unordered_map>

#include "platform/Cp1250.h"
#include "platform/RegistryMessages.h"
#include "platform/TextFiles.h"

namespace vexa {
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

std::string_view Trim(std::string_view s) {
    const std::size_t start = s.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    return s.substr(start, s.find_last_not_of(" \t") - start + 1);
}

// The text of a hive file as Windows-1250. UTF-16LE after a byte-order mark is converted, a
// character the code page cannot hold becoming "?" (`lossy` is set then); any other file is
// taken as it is. False when UTF-16 text stops in the middle of a character.
bool Decode(std::string&& bytes, std::string& text, bool& lossy) {
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') {
        text = std::move(bytes);
        return true;
    }
    if (bytes.size() % 2 != 0)
        return false;
    auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                     static_cast<unsigned char>(bytes[i + 1]) << 8);
    };
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i < bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDFFF) {
            // Beyond the code page whether paired or not; a pair is one character.
            if (u <= 0xDBFF && i + 2 < bytes.size() && unit(i + 2) >= 0xDC00 &&
                unit(i + 2) <= 0xDFFF) {
                i += 2;
            }
            text += '?';
            lossy = true;
        } else if (auto b = Cp1250::ByteOf(u)) {
            text += static_cast<char>(*b);
        } else {
            text += '?';
            lossy = true;
        }
    }
    return true;
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote. \\ and
// \" stand for \ and "; any other backslash is taken as it stands.
bool ReadQuoted(std::string_view text, std::size_t& pos, std::string& out) {
    if (pos >= text.size() || text[pos] != '"')
        return false;
    ++pos;
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"')
            return true;
        if (c == '\\' && pos < text.size() && (text[pos] == '\\' || text[pos] == '"'))
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

void AppendSection(std::string& out, std::string_view path, const RegistryNode& node) {
    out.append("[").append(path).append("]\r\n");
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

// Writes one root and everything below it, without recursion. A key without values that has
// subkeys gets no section of its own (the sections of its subkeys create it when the file is
// read), so the text grows with the file read, never with the square of its depth.
void SerializeRoot(const RegistryNode& root, std::string& out) {
    struct Frame {
        const RegistryNode* node;
        std::size_t pathSize;
        std::size_t next;
    };
    std::string path = root.name;
    if (!root.values.empty())
        AppendSection(out, path, root);
    std::vector<Frame> stack{{&root, path.size(), 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.node->subkeys.size()) {
            stack.pop_back();
            continue;
        }
        const RegistryNode& sub = *top.node->subkeys[top.next++];
        path.resize(top.pathSize);
        path.append("\\").append(sub.name);
        if (!sub.values.empty() || sub.subkeys.empty())
            AppendSection(out, path, sub);
        stack.push_back({&sub, path.size(), 0});
    }
}

// Reads the text of a hive file into a list of roots (the hive's own one first). Keys and
// values are found through hash tables, so a key with many subkeys or values reads in linear
// time.
class HiveReader {
  public:
    explicit HiveReader(std::vector<std::unique_ptr<RegistryNode>>& roots) : m_roots(roots) {
        m_keys[KeyOf(nullptr, roots.front()->name)] = roots.front().get();
    }

    // "" when the whole text was understood, else the reason.
    std::string Read(std::string_view text) {
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find_first_of("\r\n", pos);
            std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
            if (end == std::string_view::npos) {
                end = text.size();
            } else if (text[end] == '\r' && next < text.size() && text[next] == '\n') {
                ++next;
            }
            ++m_lineNo;
            if (!Line(Trim(text.substr(pos, end - pos)))) {
                return m_error.empty() ? RegistryMessages::LineNotUnderstood(m_lineNo) : m_error;
            }
            pos = next;
        }
        return {};
    }

  private:
    std::string KeyOf(const void* owner, std::string_view name) {
        std::string key(reinterpret_cast<const char*>(&owner), sizeof owner);
        for (char c : name)
            key += static_cast<char>(Cp1250::ToUpper(static_cast<unsigned char>(c)));
        return key;
    }

    bool Line(std::string_view line) {
        if (m_continued) {
            // A raw value continued from the line before (regedit wraps long hex values).
            std::string& data = m_continued->values[m_continuedIndex].data;
            const bool more = !line.empty() && line.back() == '\\';
            data.append(more ? line.substr(0, line.size() - 1) : line);
            if (!more)
                m_continued = nullptr;
            return true;
        }
        if (line.empty() || line.front() == ';')
            return true;
        if (!m_header) {
            m_header = line == kHeader4 || line == kHeader5;
            if (!m_header)
                m_error = RegistryMessages::NotARegistryFile();
            return m_header;
        }
        if (line.front() == '[')
            return Section(line);
        return Value(line);
    }

    bool Section(std::string_view line) {
        m_current = nullptr;
        // "[-key]" deletes a key when a file is imported; it has no place in a stored hive.
        if (line.size() < 3 || line.back() != ']' || line[1] == '-')
            return false;
        const std::string_view path = line.substr(1, line.size() - 2);
        RegistryNode* node = nullptr;
        int depth = -1;  // the root is depth 0
        std::size_t pos = 0;
        while (pos <= path.size()) {
            std::size_t end = path.find('\\', pos);
            if (end == std::string_view::npos)
                end = path.size();
            if (end > pos) {
                if (++depth > RegistryHive::kMaxDepth) {
                    m_error = RegistryMessages::KeyTooDeep(m_lineNo, RegistryHive::kMaxDepth);
                    return false;
                }
                node = Child(node, path.substr(pos, end - pos));
            }
            pos = end + 1;
        }
        m_current = node;
        return node != nullptr;
    }

    RegistryNode* Child(RegistryNode* parent, std::string_view name) {
        auto [it, added] = m_keys.try_emplace(KeyOf(parent, name), nullptr);
        if (added) {
            auto& list = parent ? parent->subkeys : m_roots;
            list.push_back(std::make_unique<RegistryNode>());
            list.back()->name = std::string(name);
            it->second = list.back().get();
        }
        return it->second;
    }

    bool Value(std::string_view line) {
        if (!m_current)
            return false;
        RegistryValue value;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (!ReadQuoted(line, pos, value.name)) {
            return false;
        }
        line = Trim(line.substr(pos));
        if (line.empty() || line.front() != '=')
            return false;
        line = Trim(line.substr(1));
        bool continued = false;
        if (!line.empty() && line.front() == '"') {
            pos = 0;
            if (!ReadQuoted(line, pos, value.data) || pos != line.size())
                return false;
        } else {
            value.isString = false;
            continued = !line.empty() && line.back() == '\\';
            value.data = std::string(continued ? line.substr(0, line.size() - 1) : line);
        }
        // A name given twice in a key: the later value wins, as when a file is imported.
        auto [it, added] =
            m_values.try_emplace(KeyOf(m_current, value.name), m_current->values.size());
        if (added) {
            m_current->values.push_back(std::move(value));
        } else {
            m_current->values[it->second] = std::move(value);
        }
        if (continued) {
            m_continued = m_current;
            m_continuedIndex = it->second;
        }
        return true;
    }

    std::vector<std::unique_ptr<RegistryNode>>& m_roots;
    std::unordered_map<std::string, RegistryNode*> m_keys;  // (parent, name in capitals)
    std::unordered_map<std::string, std::size_t> m_values;  // (key, name in capitals) -> index
    RegistryNode* m_current = nullptr;                      // nullptr: before any section
    RegistryNode* m_continued = nullptr;
    std::size_t m_continuedIndex = 0;
    bool m_header = false;
    long long m_lineNo = 0;
    std::string m_error;
};

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
    : m_rootName(std::move(rootName)), m_file(std::move(file)) {}

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

void RegistryHive::Load() {
    m_loaded = true;
    auto fresh = [this] {
        m_roots.clear();
        m_roots.push_back(std::make_unique<RegistryNode>());
        m_roots.back()->name = m_rootName;
    };
    fresh();
    if (!TextFiles::Exists(m_file))
        return;
    std::string bytes;
    FileResult read = TextFiles::ReadAll(m_file, bytes);
    std::string text;
    bool lossy = false;
    if (!read.ok) {
        m_problem = read.error;
    } else if (!Decode(std::move(bytes), text, lossy)) {
        m_problem = RegistryMessages::NotARegistryFile();
    } else {
        m_problem = HiveReader(m_roots).Read(text);
    }
    if (!m_problem.empty()) {
        // Nothing of a file not understood is used, and it is never overwritten.
        fresh();
        m_writable = m_valuesRead = false;
    } else if (lossy) {
        m_problem = RegistryMessages::NotWindows1250();
        m_writable = false;
    }
}

RegistryNode& RegistryHive::Root() {
    if (!m_loaded)
        Load();
    return *m_roots.front();
}

const std::string& RegistryHive::Problem() {
    if (!m_loaded)
        Load();
    return m_problem;
}

bool RegistryHive::ValuesRead() {
    if (!m_loaded)
        Load();
    return m_valuesRead;
}

bool RegistryHive::Persist() {
    if (!m_loaded)
        Load();
    if (m_deferred && m_writable) {
        m_dirty = true;
        return true;
    }
    return Write().ok;
}

FileResult RegistryHive::Flush() {
    m_deferred = false;
    if (!m_loaded)
        Load();
    if (!m_writable)
        return FileResult::Fail(m_problem);
    if (!m_dirty)
        return FileResult::Ok();
    m_dirty = false;
    return Write();
}

FileResult RegistryHive::Write() {
    if (!m_loaded)
        Load();
    if (!m_writable)
        return FileResult::Fail(m_problem);
    auto slash = m_file.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        FileResult dirs = TextFiles::MakeDirs(m_file.substr(0, slash));
        if (!dirs.ok)
            return dirs;
    }
    std::string text = "REGEDIT4\r\n\r\n";
    for (const auto& root : m_roots)
        SerializeRoot(*root, text);
    return TextFiles::WriteAtomic(m_file, text);
}

}  // namespace vexa
