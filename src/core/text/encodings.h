#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zek {

// The three encodings texts come in. Modules store and send 8-bit Latin-1; settings and
// language files are UTF-8 or Windows-1252; everything shown or typed inside is UTF-8.

void appendUtf8(std::string& out, char32_t code);
// Length of the valid UTF-8 sequence at `pos` and its code point; 0 when invalid
// (truncated, overlong, a surrogate or beyond U+10FFFF).
std::size_t utf8Sequence(std::string_view bytes, std::size_t pos, char32_t& code);
bool isValidUtf8(std::string_view bytes);
// The first `maxChars` characters of a UTF-8 text, never splitting a character.
std::string utf8Prefix(std::string_view text, std::size_t maxChars);

std::string windows1252ToUtf8(std::string_view bytes);
// Nothing when a character has no Windows-1252 code.
std::optional<std::string> utf8ToWindows1252(std::string_view text);

std::string latin1ToUtf8(std::string_view text);
// A text typed or read from a file, for a module: valid UTF-8 is decoded, anything else is
// taken for Latin-1 already. Nothing when a character lies beyond U+00FF.
std::optional<std::string> textToLatin1(std::string_view text);

// Text from outside (a module, a file, the command line) as it may reach a terminal or a
// file: control characters (C0, DEL, C1) and bytes that are no UTF-8 become "\xNN", a
// backslash "\\", so that no module can move the cursor, retitle or clear the screen.
std::string visibleText(std::string_view utf8);
// Undoes visibleText exactly; a backslash before anything else stays as it is.
std::string unescapeVisible(std::string_view text);
// Outside text for a message: visible, in single quotes, cut after `maxChars` characters
// with the length in bytes added, so a 10 MB argument gives a short line.
std::string quotedText(std::string_view text, std::size_t maxChars = 40);
// C0, DEL or C1 in a Latin-1 text: what a module must not be sent.
bool hasControlCharacter(std::string_view latin1);

} // namespace zek
