#pragma once

#include "X11Modal.h"

class IMenuTree;

// A popup menu the X11 editor draws itself, with the effects of the system
// menus elsewhere: the entries of menu (labels with the menu's prefix style,
// check marks, greyed text, separators, submenus opening beside their entry)
// in an override-redirect window whose top-left corner is at (x, y) on the
// screen, moved inwards where the screen ends. It holds the pointer and the
// keyboard while open.
//
// A release over an entry that is neither a separator, greyed, disabled nor
// a submenu chooses it; Up and Down move the highlight, Right and Enter open
// a submenu, Left and Escape close one, Enter and space choose. A press
// outside the menus, Escape in the top menu, the editor going away or a
// pointer that cannot be held end it without a choice.
//
// Returns the menu that holds the choice with its chosen index set to the
// entry's position, or none.
IMenuTree* ShowX11PopupMenu(const X11Modal& modal, IMenuTree& menu, int x, int y);
