#pragma once

#include "X11Modal.h"

// A message box the X11 editor draws itself, with the buttons and answers of
// the system message boxes elsewhere (type and result as IGraphics'
// EMessageType and EMessageResult; an unknown button set shows OK): a dialog
// window titled caption, transient for owner (the host's top-level window,
// 0 for none) and centred over it, with text (lines broken at line feeds and
// wrapped) above a row of buttons.
//
// A click on a button answers with it; Tab and the arrow keys move the focus
// between the buttons (the default button has it first), Enter and space
// answer with the focused one, the underlined letters of Abort, Retry,
// Ignore, Yes and No with theirs. Escape and the window manager's close
// answer Cancel where there is a Cancel button, OK for a box with only OK,
// and do nothing otherwise. The editor going away ends the box with 0, as
// does a box that cannot be shown.
int ShowX11MessageBox(const X11Modal& modal, ::Window owner, const char* text, const char* caption,
                      int type);
