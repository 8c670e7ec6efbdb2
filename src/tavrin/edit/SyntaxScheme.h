// Syntax colouring without a window: the language of a file, the lexer and keyword lists for it,
// and the colour scheme for a light background and its variant for a dark one.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace syntax {

enum class Language { None, Cpp, Java, JavaScript, Html, ServerPage, VBScript, Css };

// From the file's extension; None for plain text and types not listed.
Language LanguageOfPath(std::wstring_view path);
// The Save As list's type (its index, as the Default File Type list counts them).
Language LanguageOfSaveType(int index);
// The extension decides; a name without a known one takes the type chosen when it was saved (-1: none).
Language LanguageOf(std::wstring_view path, int saveType);

// The lexer's name in the lexer library; null for plain text.
const char* LexerName(Language language);

// One keyword list of a lexer, by the lexer's own list number; words separated by blanks.
struct Keywords {
    int set;
    const char* words;
};
std::vector<Keywords> KeywordLists(Language language);

// What a piece of text is, as far as colouring goes.
enum class Role { Plain, Keyword, Type, Comment, String, Number, Preprocessor, Operator, Tag, Attribute, Entity,
                  Unclosed, Count };

// Colours as the system keeps them: 0x00BBGGRR.
using Rgb = uint32_t;
constexpr Rgb MakeRgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

struct Look {
    Rgb fore;
    bool bold = false;
    bool italic = false;
};

// A background dark enough for light text.
bool IsDark(Rgb background);
Look LookOf(Role role, bool dark);

// Contrast ratio of two colours (1 to 21), as accessibility guidance measures it.
double Contrast(Rgb a, Rgb b);

}  // namespace syntax
