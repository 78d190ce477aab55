#include "figures.h"

#include <algorithm>

namespace figures {

std::vector<Part> withBooks(std::vector<Part> parts)
{
    parts.erase(std::remove_if(parts.begin(), parts.end(), [](const Part &p) { return p.books == 0; }), parts.end());
    return parts;
}

} // namespace figures
