#pragma once

#include <Qt>

// The Windows virtual-key code for a Qt key (VK_DELETE = 46, VK_RETURN = 13, 'A' = 65 ...),
// so that key handlers written against those codes work unchanged; 0 when there is none.
int QtKeyToVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

// The shift mask of key and mouse events: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftMaskFromModifiers(Qt::KeyboardModifiers modifiers);
