#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zek {

// Profile (INI) files as the settings and language files use them: "[section]" headers
// and "key=value" lines. Sections and keys match without regard to letter case, the
// first of duplicate keys wins, a missing file, section or key gives the caller's
// default, and writing a key leaves every other line of the file byte for byte as it was.
// Texts are UTF-8 inside; a file is read as UTF-8 when it is valid UTF-8, else as
// Windows-1252.

// The readers' buffer: a value is cut to this many characters unless the caller asks for
// another limit.
inline constexpr std::size_t kProfileTextMax = 999;
// Files larger than this are not profile files anyone maintains; they are neither read
// nor overwritten.
inline constexpr std::size_t kProfileFileMax = 4u << 20;
// Symbolic links followed at most, as the system bounds a path's links.
inline constexpr int kProfileLinksMax = 40;

// Integer profile values: empty gives the default; otherwise optional blanks, an optional
// sign and the leading decimal digits (none gives 0), held to the int range.
int profileInt(std::string_view value, int defaultValue);

// The parsed lines of one profile file.
class IniDocument {
public:
    enum class Encoding { Utf8, Windows1252 };

    static IniDocument parse(std::string_view bytes);

    // The whole value of the first matching key, trimmed, or nothing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Replaces the first matching key's line, or adds the key at the end of its section,
    // or adds the section at the end of the file. A value is cut at a line break or NUL.
    // False for a section or key name that cannot be written as one.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    // The file's bytes; an unchanged document gives back exactly the bytes it was parsed from.
    std::string serialize() const;

    Encoding encoding() const { return m_encoding; }

private:
    enum class Kind { Blank, Comment, Section, Key, Other };
    struct Line {
        std::string raw; // bytes as in the file, without the line feed
        Kind kind = Kind::Other;
        std::string name; // section or key name, decoded
        std::string value;
    };

    Line makeLine(std::string raw) const;
    std::string encodeText(std::string_view text) const;
    void convertToUtf8();
    std::string newLineEnd() const;
    void terminateLastLine();

    std::vector<Line> m_lines;
    Encoding m_encoding = Encoding::Utf8;
    bool m_bom = false;
    bool m_finalNewline = false;
};

// One profile file on disk, read once when constructed. Writes go to a temporary file in
// the same directory that then replaces the file, so no crash leaves a truncated file.
class IniFile {
public:
    enum class Status { Read, Missing, Unreadable, TooLarge };

    explicit IniFile(std::string fileName);

    Status status() const { return m_status; }
    const std::string& fileName() const { return m_fileName; }

    std::string getString(std::string_view section, std::string_view key, std::string_view defaultValue = {},
                          std::size_t maxChars = kProfileTextMax) const;
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;
    // False when nothing was written: the file exists but could not be read or is too
    // large (it is left alone), or the new file could not be stored.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool writeInt(std::string_view section, std::string_view key, int value);

private:
    std::string m_fileName;
    IniDocument m_document;
    Status m_status = Status::Missing;
};

// One section of a profile file, addressed as the settings code names it.
class TProfile {
public:
    TProfile(std::string section, std::string fileName);

    int GetInt(std::string_view key, int defaultValue = 0) const;
    std::string GetString(std::string_view key, std::string_view defaultValue = {},
                          std::size_t maxChars = kProfileTextMax) const;
    bool WriteInt(std::string_view key, int value);
    bool WriteString(std::string_view key, std::string_view value);

    const IniFile& file() const { return m_file; }

private:
    std::string m_section;
    IniFile m_file;
};

// The file a write of `fileName` replaces: the end of the chain of symbolic links that
// the name starts, so that a link stays a link and its target gets the new bytes.
std::string writeTarget(const std::string& fileName);
// Whether `name` is one of the temporary files a write of the file `target` makes:
// `target` + ".tmp" + digits + "." + digits.
bool isOwnTemporary(std::string_view name, std::string_view target);
// Writes the bytes to a temporary file beside the write target, then renames it over the
// target. Temporary files an interrupted write left there are removed first.
bool writeFileAtomically(const std::string& fileName, std::string_view bytes);

} // namespace zek
