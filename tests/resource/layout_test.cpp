// The layout hints place every visible control of a panel in its own cell.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>

#include "resource/catalogue.h"

namespace {

using namespace korvel::resource;

struct Rect {
    int row, column, rows, columns;
};

bool overlap(const Rect& a, const Rect& b) {
    return a.row < b.row + b.rows && b.row < a.row + a.rows && a.column < b.column + b.columns &&
           b.column < a.column + a.columns;
}

TEST(Layout, GroupsTileEachPanelWithoutOverlap) {
    for (const auto& p : panels()) {
        for (std::size_t i = 0; i < p.groups.size(); ++i)
            for (std::size_t j = i + 1; j < p.groups.size(); ++j) {
                const auto& a = p.groups[i];
                const auto& b = p.groups[j];
                EXPECT_FALSE(overlap({a.row, a.column, a.row_span, a.column_span},
                                     {b.row, b.column, b.row_span, b.column_span}))
                    << p.constant << ": " << a.name << " and " << b.name;
            }
    }
}

TEST(Layout, EveryPlacedControlHasAGroupAndNoTwoShareACell) {
    for (const auto& p : panels()) {
        std::set<std::string_view> groups;
        for (const auto& g : p.groups) groups.insert(g.name);
        std::map<std::string_view, std::vector<std::pair<Rect, std::string_view>>> placed;
        std::set<std::string_view> framed;
        for (const auto& c : p.controls) {
            SCOPED_TRACE(std::string(p.constant) + "_" + std::string(c.constant));
            if (c.kind == ControlKind::Timer) {
                EXPECT_TRUE(c.layout.group.empty());
                continue;
            }
            ASSERT_TRUE(groups.contains(c.layout.group)) << c.layout.group;
            if (c.layout.row < 0) {
                EXPECT_EQ(c.kind, ControlKind::Decoration);
                EXPECT_TRUE(framed.insert(c.layout.group).second) << "two frames";
                continue;
            }
            EXPECT_GE(c.layout.column, 0);
            EXPECT_GE(c.layout.row_span, 1);
            EXPECT_GE(c.layout.column_span, 1);
            const Rect r{c.layout.row, c.layout.column, c.layout.row_span, c.layout.column_span};
            for (const auto& [other, name] : placed[c.layout.group])
                EXPECT_FALSE(overlap(r, other)) << "shares a cell with " << name;
            placed[c.layout.group].emplace_back(r, c.constant);
        }
    }
}

}  // namespace
