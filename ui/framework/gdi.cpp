#include "gdi.h"

namespace framework {

OwnedIcon LoadOwnIcon(int resourceId) {
    return OwnedIcon(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId),
                                      IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
}

}  // namespace framework
