// A language's lexer on the editing control: the lexer with its keyword lists, and the colours
// of its styles from the scheme. Style numbers below are the lexers' own.
#pragma once
#include <windows.h>

#include "SyntaxScheme.h"

namespace lexerstyles {

// The language's lexer and keywords (none for plain text); the control restyles what it shows.
void SetLexer(HWND edit, syntax::Language language);
// The looks of the lexer's styles, over styles already set from the default one.
void ApplyLooks(HWND edit, syntax::Language language, bool dark);

}  // namespace lexerstyles
