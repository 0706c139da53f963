#include "common/resource_set.h"

#include <algorithm>

namespace vyla {

bool ResourceNameLess::operator()(std::string_view a, std::string_view b) const
{
    auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return upper(x) < upper(y); });
}

}  // namespace vyla
