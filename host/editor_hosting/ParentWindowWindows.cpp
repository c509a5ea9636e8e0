#include "host/editor_hosting/ParentWindow.h"

#include <windows.h>

namespace tarnwell
{
bool isUsableParentWindow (void* window)
{
    return window != nullptr && IsWindow (static_cast<HWND> (window)) != FALSE;
}
} // namespace tarnwell
