// The key-and-value file syntax shared by the preferences, the catalogue, language
// files, configuration files and the podcast queue file.
//
// Reading: a leading UTF-8 byte-order mark selects UTF-8, otherwise the bytes are
// Windows-1252. "[name]" starts a group (the name runs to the line's last "]", so a
// name may hold "]"), a line beginning with ";" is a comment, any
// other non-empty line is "key = value". Keys compare without regard to ASCII case and
// only within the selected group (before any selection: the entries before the first
// header). Writing: UTF-8 with a byte-order mark, CR LF after every line.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct IniEntry {
    std::string Key;
    std::string Value;
};

struct IniGroup {
    std::string Name; // empty for the entries before the first header
    std::vector<IniEntry> Entries;
};

class IniReader {
  public:
    // Loads a file; false when it cannot be opened (the reader is then empty).
    bool Open(const std::string& path);
    // Loads text already in memory (bytes as they would be on disk).
    void LoadBytes(std::string_view bytes);

    // Chooses the group for the following reads; false (and nothing chosen) when absent.
    // Group names compare without regard to ASCII case; the first of equal names wins.
    bool SelectGroup(std::string_view name);
    // Chooses a group by its position in `Groups()`.
    void SelectGroupIndex(size_t index);
    // Back to the entries before the first header.
    void SelectNoGroup();

    bool HasKey(std::string_view key) const;
    std::string ReadString(std::string_view key, std::string_view def = {}) const;
    // Decimal value with Val() leniency; `def` when the key is missing.
    int32_t ReadLong(std::string_view key, int32_t def = 0) const;
    int64_t ReadQuad(std::string_view key, int64_t def = 0) const;
    // "On"/"1" (any case) read as on; `def` when the key is missing.
    bool ReadFlag(std::string_view key, bool def) const;

    // Every group in file order; index 0 always holds the entries before the first header.
    const std::vector<IniGroup>& Groups() const { return m_groups; }
    bool HadByteOrderMark() const { return m_bom; }

  private:
    const IniEntry* Find(std::string_view key) const;
    std::vector<IniGroup> m_groups{IniGroup{}};
    size_t m_current = 0;
    bool m_noGroup = true;
    bool m_bom = false;
};

class IniWriter {
  public:
    IniWriter(); // starts the text with the UTF-8 byte-order mark
    void Comment(std::string_view text);
    void Group(std::string_view name);
    void WriteString(std::string_view key, std::string_view value);
    void WriteLong(std::string_view key, int64_t value);
    void WriteFlag(std::string_view key, bool on); // "On" / "Off"
    void EmptyLine();
    const std::string& Bytes() const { return m_text; }
    // Writes the whole text through a ".Tmp" twin and a rename; false when that failed.
    bool SaveAtomic(const std::string& path) const;
    // Writes the whole text directly.
    bool Save(const std::string& path) const;

  private:
    std::string m_text;
};
