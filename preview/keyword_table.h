// The C/C++ words the preview colours as keywords: 61 keywords and 14
// preprocessor directives, compared case-sensitively by their 32-bit hash.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tarvo {

inline constexpr int kKeywordCount = 75;
inline constexpr int kMaxKeywordLength = 19;  // room each entry has; reinterpret_cast uses 16

// Exactly these entries: neither protected nor inline, for example.
// clang-format off
inline constexpr std::array<std::string_view, kKeywordCount> kKeywordTable = {
    "asm", "auto", "bool", "break", "case", "catch", "char", "class", "const", "const_cast",
    "continue", "default", "delete", "do", "double", "dynamic_cast", "else", "enum", "explicit",
    "export", "extern", "false", "float", "for", "friend", "goto", "if", "int", "long",
    "mutable", "namespace", "new", "operator", "private", "public", "register",
    "reinterpret_cast", "return", "short", "signed", "sizeof", "static", "static_cast",
    "struct", "switch", "template", "this", "throw", "true", "try", "typedef", "typeid",
    "typename", "union", "unsigned", "using", "virtual", "void", "volatile", "wchar_t", "while",
    // preprocessor directives
    "#define", "#error", "#import", "#undef", "#elif", "#if", "#include", "#using", "#else",
    "#ifdef", "#line", "#endif", "#ifndef", "#pragma",
};
// clang-format on

// True when the hash of the token's first `length` bytes (stopping early at
// a zero byte) equals the hash of a table entry. Only hashes are compared;
// the table's hashes are computed on the first call and kept.
bool isKeyword(const char* token, int32_t length);

}  // namespace tarvo
