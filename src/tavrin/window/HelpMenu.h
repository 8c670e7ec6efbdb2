// The editor's Help menu: its items and what choosing one does.
#pragma once
#include <cstddef>

#include "MenuBar.h"

// Items in index order; Contents, Search and Check for Update are hidden.
extern const form::MenuItem kHelpMenuItems[6];
constexpr size_t kHelpMenuCount = 6;

// Runs the Help menu item with this index (the main window's mnuHelp_Click calls it).
void mnuHelp_Command(int index);
