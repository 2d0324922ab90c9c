#include "results/list_columns.h"

#include <algorithm>

#include "view/display_scale.h"

namespace tarvo {

ListColumns listColumns(int32_t rankWidth, int32_t fileWidth, int32_t dpi) {
    const int32_t indent = scaleToDpi(kCellIndent, dpi);
    return {indent, rankWidth + indent, fileWidth - 2 * indent, rankWidth + fileWidth + indent};
}

int32_t minimumColumnWidth(int32_t characterWidth, int32_t dpi) {
    return kMinColumnCharacters * characterWidth + 2 * scaleToDpi(kCellIndent, dpi);
}

int32_t clampColumnWidth(int32_t width, int32_t minimum, int32_t room) {
    return std::max(std::min(width, room), minimum);
}

int32_t widestTextWidth(const std::vector<std::string>& texts, const WidthFunction& width,
                        int32_t dpi) {
    int32_t widest = 0;
    for (const std::string& text : texts)
        widest = std::max(widest, width(text.c_str(), static_cast<int>(text.size())));
    return widest + 2 * scaleToDpi(kCellIndent, dpi);
}

}  // namespace tarvo
