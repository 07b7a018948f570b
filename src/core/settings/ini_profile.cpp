#include "core/settings/ini_profile.h"

#include "core/text/c_scan.h"
#include "core/text/encodings.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace zek {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

// A value in matching single or double quotes is given without them.
std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string_view untilLineBreak(std::string_view text) {
    const std::size_t end = text.find_first_of(std::string_view("\r\n\0", 3));
    return end == std::string_view::npos ? text : text.substr(0, end);
}

bool writableName(std::string_view name, std::string_view forbidden) {
    return !name.empty() && trimmed(name) == name && isValidUtf8(name) &&
           name.find_first_of(forbidden) == std::string_view::npos &&
           name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

} // namespace

int profileInt(std::string_view value, int defaultValue) {
    value = trimmed(value);
    return value.empty() ? defaultValue : atoiLike(value);
}

IniDocument IniDocument::parse(std::string_view bytes) {
    IniDocument doc;
    if (bytes.starts_with(kBom)) {
        doc.m_bom = true;
        bytes.remove_prefix(kBom.size());
    }
    doc.m_encoding = isValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Windows1252;
    if (bytes.empty())
        return doc;
    doc.m_finalNewline = bytes.back() == '\n';
    if (doc.m_finalNewline)
        bytes.remove_suffix(1);
    for (;;) {
        const std::size_t end = bytes.find('\n');
        doc.m_lines.push_back(doc.makeLine(std::string(bytes.substr(0, end))));
        if (end == std::string_view::npos)
            break;
        bytes.remove_prefix(end + 1);
    }
    return doc;
}

IniDocument::Line IniDocument::makeLine(std::string raw) const {
    Line line;
    line.raw = std::move(raw);
    std::string_view bytes = line.raw;
    if (bytes.ends_with('\r'))
        bytes.remove_suffix(1);
    // Like the C strings the profile functions work on, a line ends at a NUL byte.
    bytes = bytes.substr(0, bytes.find('\0'));
    const std::string decoded = m_encoding == Encoding::Utf8 ? std::string(bytes) : windows1252ToUtf8(bytes);
    const std::string_view text = trimmed(decoded);
    if (text.empty()) {
        line.kind = Kind::Blank;
    } else if (text.front() == '[') {
        line.kind = Kind::Section;
        const std::string_view inside = text.substr(1);
        line.name = std::string(trimmed(inside.substr(0, inside.find(']'))));
    } else if (text.front() == ';') {
        line.kind = Kind::Comment;
    } else if (const std::size_t equals = text.find('='); equals != std::string_view::npos) {
        line.kind = Kind::Key;
        line.name = std::string(trimmed(text.substr(0, equals)));
        line.value = std::string(unquoted(trimmed(text.substr(equals + 1))));
    }
    return line;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section)
            inSection = equalNoCase(line.name, section);
        else if (inSection && line.kind == Kind::Key && !line.name.empty() && equalNoCase(line.name, key))
            return line.value;
    }
    return std::nullopt;
}

std::string IniDocument::newLineEnd() const {
    return !m_lines.empty() && m_lines.front().raw.ends_with('\r') ? "\r" : "";
}

void IniDocument::convertToUtf8() {
    for (Line& line : m_lines)
        line.raw = windows1252ToUtf8(line.raw);
    m_encoding = Encoding::Utf8;
}

std::string IniDocument::encodeText(std::string_view text) const {
    if (m_encoding == Encoding::Utf8)
        return std::string(text);
    return utf8ToWindows1252(text).value_or(std::string(text));
}

bool IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    if (!writableName(section, "]") || !writableName(key, "=") || key.front() == '[' || key.front() == ';')
        return false;
    value = untilLineBreak(value);
    const std::string utf8Value = isValidUtf8(value) ? std::string(value) : windows1252ToUtf8(value);

    // Only the first of duplicate sections receives a new key, after its last line.
    constexpr std::size_t kNone = std::string::npos;
    std::size_t header = kNone;
    std::size_t insertAfter = kNone;
    bool inSection = false;
    bool inFirst = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        Line& line = m_lines[i];
        if (line.kind == Kind::Section) {
            inSection = equalNoCase(line.name, section);
            inFirst = inSection && header == kNone;
            if (inFirst)
                header = insertAfter = i;
            continue;
        }
        if (!inSection)
            continue;
        if (line.kind == Kind::Key && !line.name.empty() && equalNoCase(line.name, key)) {
            const std::string text = line.name + "=" + utf8Value;
            if (m_encoding == Encoding::Windows1252 && !utf8ToWindows1252(text))
                convertToUtf8();
            const bool crlf = line.raw.ends_with('\r');
            line = makeLine(encodeText(text) + (crlf ? "\r" : ""));
            return true;
        }
        if (inFirst && line.kind != Kind::Blank)
            insertAfter = i;
    }

    const std::string keyLine = std::string(key) + "=" + utf8Value;
    const std::string headerLine = "[" + std::string(section) + "]";
    if (m_encoding == Encoding::Windows1252 &&
        (!utf8ToWindows1252(keyLine) || !utf8ToWindows1252(headerLine)))
        convertToUtf8();
    const std::string end = newLineEnd();
    if (header != kNone) {
        const std::size_t at = insertAfter + 1;
        if (at == m_lines.size())
            terminateLastLine();
        m_lines.insert(m_lines.begin() + std::ptrdiff_t(at), makeLine(encodeText(keyLine) + end));
        return true;
    }
    terminateLastLine();
    if (!m_lines.empty() && m_lines.back().kind != Kind::Blank)
        m_lines.push_back(makeLine(end));
    m_lines.push_back(makeLine(encodeText(headerLine) + end));
    m_lines.push_back(makeLine(encodeText(keyLine) + end));
    return true;
}

void IniDocument::terminateLastLine() {
    // A last line without its line end gets the file's own before lines follow it.
    if (!m_finalNewline && !m_lines.empty() && newLineEnd() == "\r" && !m_lines.back().raw.ends_with('\r'))
        m_lines.back().raw += '\r';
    m_finalNewline = true;
}

std::string IniDocument::serialize() const {
    std::string out;
    if (m_bom)
        out += kBom;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (i > 0)
            out += '\n';
        out += m_lines[i].raw;
    }
    if (m_finalNewline)
        out += '\n';
    return out;
}

IniFile::IniFile(std::string fileName) : m_fileName(std::move(fileName)) {
    std::error_code error;
    const fs::file_status status = fs::status(m_fileName, error);
    if (status.type() == fs::file_type::not_found) {
        m_status = Status::Missing;
        return;
    }
    m_status = Status::Unreadable;
    if (error || !fs::is_regular_file(status))
        return;
    const std::uintmax_t size = fs::file_size(m_fileName, error);
    if (error)
        return;
    if (size > kProfileFileMax) {
        m_status = Status::TooLarge;
        return;
    }
    std::ifstream in(m_fileName, std::ios::binary);
    if (!in)
        return;
    std::string bytes;
    bytes.reserve(std::size_t(size));
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad() || bytes.size() > kProfileFileMax)
        return;
    m_document = IniDocument::parse(bytes);
    m_status = Status::Read;
}

std::string IniFile::getString(std::string_view section, std::string_view key, std::string_view defaultValue,
                               std::size_t maxChars) const {
    const auto value = m_document.value(section, key);
    return utf8Prefix(value ? std::string_view(*value) : defaultValue, maxChars);
}

int IniFile::getInt(std::string_view section, std::string_view key, int defaultValue) const {
    const auto value = m_document.value(section, key);
    return value ? profileInt(*value, defaultValue) : defaultValue;
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    if (m_status == Status::Unreadable || m_status == Status::TooLarge)
        return false;
    IniDocument changed = m_document;
    if (!changed.setValue(section, key, value))
        return false;
    const std::string bytes = changed.serialize();
    if (bytes.size() > kProfileFileMax || !writeFileAtomically(m_fileName, bytes))
        return false;
    m_document = std::move(changed);
    m_status = Status::Read;
    return true;
}

bool IniFile::writeInt(std::string_view section, std::string_view key, int value) {
    return writeString(section, key, std::to_string(value));
}

TProfile::TProfile(std::string section, std::string fileName)
    : m_section(std::move(section)), m_file(std::move(fileName)) {}

int TProfile::GetInt(std::string_view key, int defaultValue) const {
    return m_file.getInt(m_section, key, defaultValue);
}

std::string TProfile::GetString(std::string_view key, std::string_view defaultValue,
                                std::size_t maxChars) const {
    return m_file.getString(m_section, key, defaultValue, maxChars);
}

bool TProfile::WriteInt(std::string_view key, int value) {
    return m_file.writeInt(m_section, key, value);
}

bool TProfile::WriteString(std::string_view key, std::string_view value) {
    return m_file.writeString(m_section, key, value);
}

std::string writeTarget(const std::string& fileName) {
    fs::path path(fileName);
    std::error_code error;
    for (int hop = 0; hop < kProfileLinksMax && fs::is_symlink(fs::symlink_status(path, error)); ++hop) {
        const fs::path next = fs::read_symlink(path, error);
        if (error)
            break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path.string();
}

bool isOwnTemporary(std::string_view name, std::string_view target) {
    const std::string_view tag = ".tmp";
    if (!name.starts_with(target) || !name.substr(target.size()).starts_with(tag))
        return false;
    const std::string_view rest = name.substr(target.size() + tag.size());
    const std::size_t dot = rest.find('.');
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return dot != std::string_view::npos && digits(rest.substr(0, dot)) && digits(rest.substr(dot + 1));
}

namespace {

// A write killed between creating its temporary file and the rename leaves the file
// behind; nothing else would ever remove it.
void removeStaleTemporaries(const fs::path& target) {
    std::error_code error;
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = target.filename().string();
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
        if (isOwnTemporary(it->path().filename().string(), name) && it->is_regular_file(error))
            fs::remove(it->path(), error);
}

} // namespace

bool writeFileAtomically(const std::string& fileName, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    const fs::path target(writeTarget(fileName));
    removeStaleTemporaries(target);
    std::error_code error;
    fs::path temporary;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const auto stamp =
            static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        fs::path candidate = target;
        candidate += ".tmp" + std::to_string(stamp % 1000000007ull) + "." + std::to_string(counter++);
        if (!fs::exists(candidate, error) && !error) {
            temporary = std::move(candidate);
            break;
        }
    }
    if (temporary.empty())
        return false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temporary, error);
            return false;
        }
    }
    // The new file keeps the permissions of the one it replaces.
    const fs::file_status old = fs::status(target, error);
    if (!error && fs::is_regular_file(old))
        fs::permissions(temporary, old.permissions(), error);
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace zek
