#include "core/settings/language_texts.h"

namespace zek {

std::string LanguageTexts::text(std::string_view key) const {
    const auto it = m_texts.find(key);
    return it == m_texts.end() ? std::string() : it->second;
}

void LanguageTexts::set(std::string_view key, std::string value) {
    m_texts[std::string(key)] = std::move(value);
}

} // namespace zek
