#include "framework/region.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/exception.h"

TRegion::TRegion(std::span<const TRect> rects)
{
    // One call for the whole list: adding rectangles one by one would
    // rebuild the region each time.
    std::vector<char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof header;
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(rects.size());
    header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const RECT& r = rects[i];
        std::memcpy(data.data() + sizeof header + i * sizeof(RECT), &r, sizeof r);
        RECT& bound = header.rcBound;
        if (i == 0) {
            bound = r;
        } else {
            bound.left = std::min(bound.left, r.left);
            bound.top = std::min(bound.top, r.top);
            bound.right = std::max(bound.right, r.right);
            bound.bottom = std::max(bound.bottom, r.bottom);
        }
    }
    std::memcpy(data.data(), &header, sizeof header);
    Handle = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
    if (!Handle)
        throw TXFramework("Cannot create a clip region of " + std::to_string(rects.size()) + " rectangles");
}

TRegion::~TRegion()
{
    DeleteObject(Handle);
}
