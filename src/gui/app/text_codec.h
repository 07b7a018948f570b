#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace zek {

// Module texts are 8-bit; they are shown as Latin-1 and sent back the same way, so
// every byte a module sent survives a round trip through an edit.
inline QString fromModuleText(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

inline std::string toModuleText(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

// Core's list entries (digits, names), ready for a combo box.
inline QStringList toItems(const std::vector<std::string>& items) {
    QStringList list;
    for (const std::string& item : items)
        list << QString::fromStdString(item);
    return list;
}

} // namespace zek
