#include "core/text/json.h"

#include "core/text/encodings.h"

#include <set>

namespace zek {

std::string jsonString(std::string_view text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out = "\"";
    char32_t code = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8Sequence(text, at, code);
        if (length == 0)
            code = static_cast<unsigned char>(text[at]);
        if (code == '"' || code == '\\') {
            out += '\\';
            out += char(code);
        } else if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || length == 0) {
            out += "\\u00";
            out += kDigits[code >> 4];
            out += kDigits[code & 0xF];
        } else {
            out += text.substr(at, length);
        }
        at += length == 0 ? 1 : length;
    }
    return out + "\"";
}

namespace {

std::string objectText(std::span<const std::pair<std::string, std::string>> members,
                       std::string_view indent) {
    std::string out = "{";
    for (const auto& [key, value] : members)
        out += (out.size() > 1 ? ",\n  " : "\n  ") + std::string(indent) + jsonString(key) + ": " +
               jsonString(value);
    return out + "\n" + std::string(indent) + "}";
}

// A reader of flat objects. Positions in messages count bytes from 1, the mark included.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : m_text(text) {
        if (m_text.starts_with("\xEF\xBB\xBF"))
            m_at = 3;
    }

    char peek() { return skip() < m_text.size() ? m_text[m_at] : '\0'; }
    bool take(char c) {
        if (peek() != c)
            return false;
        ++m_at;
        return true;
    }
    bool atEnd() { return skip() == m_text.size(); }

    std::optional<JsonMembers> object(std::string& error) {
        JsonMembers members;
        std::set<std::string, std::less<>> keys;
        if (!take('{'))
            return fail(error, "not a JSON object");
        if (take('}'))
            return members;
        do {
            auto key = string();
            if (!key || !take(':'))
                return fail(error, "a member is not \"key\": value");
            auto value = peek() == '"' ? string() : word();
            if (!value)
                return fail(error, "the value of " + quotedText(*key) +
                                       " is no string, number, true, false or null");
            if (!keys.insert(*key).second)
                return fail(error, "key " + quotedText(*key) + " twice");
            members.emplace_back(std::move(*key), std::move(*value));
        } while (take(','));
        if (!take('}'))
            return fail(error, "the object is not closed");
        return members;
    }

    std::nullopt_t fail(std::string& error, const std::string& reason) {
        error = reason + " (at character " + std::to_string(m_at + 1) + ")";
        return std::nullopt;
    }

private:
    std::size_t skip() {
        while (m_at < m_text.size() &&
               std::string_view(" \t\r\n").find(m_text[m_at]) != std::string_view::npos)
            ++m_at;
        return m_at;
    }
    bool digits() {
        const std::size_t from = m_at;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9')
            ++m_at;
        return m_at > from;
    }
    bool takeRaw(std::string_view chars) {
        if (m_at >= m_text.size() || chars.find(m_text[m_at]) == std::string_view::npos)
            return false;
        ++m_at;
        return true;
    }
    // A number as JSON writes it, true, false or null, as its text.
    std::optional<std::string> word() {
        const std::size_t from = skip();
        for (std::string_view name : {"true", "false", "null"})
            if (m_text.substr(from).starts_with(name)) {
                m_at += name.size();
                return std::string(name);
            }
        takeRaw("-");
        if (!takeRaw("0") && !digits())
            return std::nullopt;
        if (takeRaw(".") && !digits())
            return std::nullopt;
        if (takeRaw("eE")) {
            takeRaw("+-");
            if (!digits())
                return std::nullopt;
        }
        return std::string(m_text.substr(from, m_at - from));
    }
    // A string with \u escapes of the Basic Multilingual Plane, as UTF-8. A byte that is no
    // UTF-8 is read as the Latin-1 character jsonString writes for it, so two texts that
    // would be written alike are read alike.
    std::optional<std::string> string() {
        if (!take('"'))
            return std::nullopt;
        std::string out;
        char32_t code = 0;
        while (m_at < m_text.size() && m_text[m_at] != '"') {
            const char c = m_text[m_at];
            if (c != '\\') {
                const std::size_t length = utf8Sequence(m_text, m_at, code);
                if (length == 0)
                    appendUtf8(out, static_cast<unsigned char>(c));
                else
                    out += m_text.substr(m_at, length);
                m_at += length == 0 ? 1 : length;
                continue;
            }
            ++m_at;
            const char e = m_at < m_text.size() ? m_text[m_at++] : '\0';
            if (e == 'u') {
                const long code = m_at + 4 <= m_text.size() ? hex4(m_text.substr(m_at, 4)) : -1;
                // A surrogate stands for nothing alone, and no module text could hold its pair.
                if (code < 0 || (code >= 0xD800 && code <= 0xDFFF))
                    return std::nullopt;
                m_at += 4;
                appendUtf8(out, char32_t(code));
                continue;
            }
            const std::size_t k = std::string_view("\"\\/bfnrt").find(e);
            if (e == '\0' || k == std::string_view::npos)
                return std::nullopt;
            out += "\"\\/\b\f\n\r\t"[k];
        }
        if (!take('"'))
            return std::nullopt;
        return out;
    }
    static long hex4(std::string_view digits) {
        long value = 0;
        for (const char d : digits) {
            const auto at = std::string_view("0123456789abcdef").find(char(d | 0x20));
            if (at == std::string_view::npos)
                return -1;
            value = value * 16 + long(at);
        }
        return value;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

} // namespace

std::string jsonObject(std::span<const std::pair<std::string, std::string>> members) {
    return objectText(members, "") + "\n";
}

std::string jsonArray(std::span<const JsonMembers> objects) {
    std::string out = "[";
    for (const JsonMembers& members : objects)
        out += (out.size() > 1 ? ",\n  " : "\n  ") + objectText(members, "  ");
    return out + (objects.empty() ? "]\n" : "\n]\n");
}

std::optional<JsonMembers> parseFlatJson(std::string_view text, std::string& error) {
    JsonReader reader(text);
    auto members = reader.object(error);
    if (members && !reader.atEnd())
        return reader.fail(error, "text after the object");
    return members;
}

std::optional<std::vector<JsonMembers>> parseFlatJsonObjects(std::string_view text, std::string& error,
                                                             bool* isArray) {
    JsonReader reader(text);
    const bool array = reader.peek() == '[';
    if (isArray)
        *isArray = array;
    std::vector<JsonMembers> objects;
    if (!array) {
        auto members = parseFlatJson(text, error);
        if (!members)
            return std::nullopt;
        objects.push_back(std::move(*members));
        return objects;
    }
    reader.take('[');
    if (!reader.take(']')) {
        do {
            auto members = reader.object(error);
            if (!members) {
                error = "object " + std::to_string(objects.size() + 1) + ": " + error;
                return std::nullopt;
            }
            objects.push_back(std::move(*members));
        } while (reader.take(','));
        if (!reader.take(']'))
            return reader.fail(error,
                               "the array is not closed after object " + std::to_string(objects.size()));
    }
    if (!reader.atEnd())
        return reader.fail(error, "text after the array");
    return objects;
}

} // namespace zek
