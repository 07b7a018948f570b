#pragma once

#include <map>
#include <string>
#include <string_view>

namespace zek {

// The texts that the applied language file stored for later use (mode names, tree
// labels, the online text, dialog captions). Before any language is applied, and for a
// key the file lacks, a text is empty.
class LanguageTexts {
public:
    std::string text(std::string_view key) const;
    void set(std::string_view key, std::string value);
    void clear() { m_texts.clear(); }

private:
    std::map<std::string, std::string, std::less<>> m_texts;
};

} // namespace zek
