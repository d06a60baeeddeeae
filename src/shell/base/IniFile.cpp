#include "shell/base/IniFile.h"

#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"

bool IniReader::Open(const std::string& path) {
    std::string bytes;
    if (!File_ReadAll(path, bytes)) {
        m_groups.assign(1, IniGroup{});
        m_current = 0;
        m_noGroup = true;
        return false;
    }
    LoadBytes(bytes);
    return true;
}

static bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

void IniReader::LoadBytes(std::string_view bytes) {
    m_groups.assign(1, IniGroup{});
    m_current = 0;
    m_noGroup = true;
    std::string converted;
    m_bom = bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
            static_cast<unsigned char>(bytes[1]) == 0xBB &&
            static_cast<unsigned char>(bytes[2]) == 0xBF;
    std::string_view text;
    if (m_bom) {
        text = bytes.substr(3);
    } else {
        converted = Cp1252ToUtf8(bytes);
        text = converted;
    }
    size_t i = 0;
    while (i < text.size()) {
        size_t e = i;
        while (e < text.size() && text[e] != '\r' && text[e] != '\n')
            ++e;
        std::string_view line = text.substr(i, e - i);
        if (e < text.size() && text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n')
            i = e + 2;
        else
            i = e + 1;
        size_t b = 0;
        while (b < line.size() && IsBlank(line[b]))
            ++b;
        line.remove_prefix(b);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            // To the last "]": a name holding "]" (a feed's) is written as it is.
            const size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                IniGroup g;
                g.Name = std::string(line.substr(1, close - 1));
                m_groups.push_back(std::move(g));
                continue;
            }
        }
        IniEntry entry;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            entry.Key = TrimBlanks(line);
        } else {
            entry.Key = TrimBlanks(line.substr(0, eq));
            entry.Value = TrimBlanks(line.substr(eq + 1));
        }
        m_groups.back().Entries.push_back(std::move(entry));
    }
}

bool IniReader::SelectGroup(std::string_view name) {
    for (size_t g = 1; g < m_groups.size(); ++g)
        if (EqualsNoCase(m_groups[g].Name, name)) {
            m_current = g;
            m_noGroup = false;
            return true;
        }
    return false;
}

void IniReader::SelectGroupIndex(size_t index) {
    if (index < m_groups.size()) {
        m_current = index;
        m_noGroup = index == 0;
    }
}

void IniReader::SelectNoGroup() {
    m_current = 0;
    m_noGroup = true;
}

const IniEntry* IniReader::Find(std::string_view key) const {
    const IniGroup& g = m_groups[m_noGroup ? 0 : m_current];
    for (const IniEntry& e : g.Entries)
        if (EqualsNoCase(e.Key, key)) return &e;
    return nullptr;
}

bool IniReader::HasKey(std::string_view key) const {
    return Find(key) != nullptr;
}

std::string IniReader::ReadString(std::string_view key, std::string_view def) const {
    const IniEntry* e = Find(key);
    return e ? e->Value : std::string(def);
}

int32_t IniReader::ReadLong(std::string_view key, int32_t def) const {
    const IniEntry* e = Find(key);
    return e ? ValInt32(e->Value) : def;
}

int64_t IniReader::ReadQuad(std::string_view key, int64_t def) const {
    const IniEntry* e = Find(key);
    return e ? ValInt(e->Value) : def;
}

bool IniReader::ReadFlag(std::string_view key, bool def) const {
    const IniEntry* e = Find(key);
    if (!e) return def;
    return EqualsNoCase(e->Value, "on") || e->Value == "1";
}

IniWriter::IniWriter() {
    m_text = "\xEF\xBB\xBF";
}

void IniWriter::Comment(std::string_view text) {
    m_text += "; ";
    m_text += text;
    m_text += "\r\n";
}

void IniWriter::Group(std::string_view name) {
    m_text += '[';
    m_text += name;
    m_text += "]\r\n";
}

void IniWriter::WriteString(std::string_view key, std::string_view value) {
    m_text += key;
    m_text += " = ";
    m_text += value;
    m_text += "\r\n";
}

void IniWriter::WriteLong(std::string_view key, int64_t value) {
    WriteString(key, std::to_string(value));
}

void IniWriter::WriteFlag(std::string_view key, bool on) {
    WriteString(key, on ? "On" : "Off");
}

void IniWriter::EmptyLine() {
    m_text += "\r\n";
}

bool IniWriter::SaveAtomic(const std::string& path) const {
    return File_WriteAtomic(path, m_text);
}

bool IniWriter::Save(const std::string& path) const {
    return File_WriteAll(path, m_text);
}
