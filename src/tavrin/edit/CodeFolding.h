// Code folding in the editing area: fold points from the lexer, a margin of boxes that a click
// folds and unfolds. Display only: the text, its undo history and its modified state stay.
#pragma once
#include <windows.h>

#include <cstdint>

namespace folding {

// On: folding for the lexer the area holds now (call again after the lexer changes). Off: every
// line shown again and the margin gone.
void Apply(HWND edit, bool on);
// Unfolds whatever hides the 0-based lines from `first` to `last`.
void Reveal(HWND edit, int64_t first, int64_t last);

}  // namespace folding
