#include "shell/window_placement.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace tarvo {
namespace {

// A saved rectangle keeps its corner and size; a default one (either side
// left unset) leaves the placement to the system.
TEST(WindowPlacement, RectangleBecomesCornerAndSize) {
    const struct {
        WindowRect rect;
        CreatePlacement expected;
    } cases[] = {{Settings{}.windowRect, {kDefaultPlacement, 0, kDefaultPlacement, 0}},
                 {{100, 80, kDefaultPlacement, 680}, {kDefaultPlacement, 0, kDefaultPlacement, 0}},
                 {{100, 80, 900, 680}, {100, 80, 800, 600}},
                 {{0, 0, 100, 100}, {0, 0, 100, 100}}};
    for (const auto& c : cases) {
        const CreatePlacement p = creationPlacement(c.rect);
        EXPECT_EQ(std::make_tuple(p.x, p.y, p.width, p.height),
                  std::make_tuple(c.expected.x, c.expected.y, c.expected.width, c.expected.height))
            << c.rect.left << " " << c.rect.right;
    }
}

}  // namespace
}  // namespace tarvo
