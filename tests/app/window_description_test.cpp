// The main window as it is meant to look, written out by hand: the window tests of both
// front ends compare the widgets with the description table, so a control moved in the
// table would move in both windows unnoticed without this fixed copy.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/window_description.hpp"

namespace quillreap::app {
namespace {

struct Placed {
  std::string name;
  std::string container;
  int left, top, width, height;

  bool operator==(const Placed&) const = default;
};

void PrintTo(const Placed& p, std::ostream* out) {
  *out << p.name << " in '" << p.container << "' at " << p.left << "," << p.top << " size "
       << p.width << "x" << p.height;
}

TEST(WindowDescription, FrameAndEveryControlWhereTheWindowPutsThem) {
  const WindowDescription& window = main_window_description();
  EXPECT_EQ(window.width, 491);
  EXPECT_EQ(window.height, 369);

  std::vector<Placed> described;
  for (const ControlDescription& control : window.controls)
    described.push_back({std::string(control.name), std::string(control.container), control.left,
                         control.top, control.width, control.height});
  // Containers before their children, each child placed inside its group box.
  EXPECT_EQ(described, (std::vector<Placed>{
                           {"分组框1", "", 8, 8, 472, 48},
                           {"标签1", "分组框1", 88, 21, 40, 16},
                           {"编辑框1", "分组框1", 136, 19, 176, 20},
                           {"组合框1", "分组框1", 9, 19, 71, 20},
                           {"按钮1", "分组框1", 322, 17, 62, 24},
                           {"按钮2", "分组框1", 400, 16, 64, 24},
                           {"分组框2", "", 8, 64, 472, 232},
                           {"超级列表框1", "分组框2", 8, 16, 456, 208},
                           {"编辑框2", "分组框2", 368, 128, 80, 72},
                           {"状态条1", "", 0, 292, 478, 20},
                       }));

  std::vector<int> column_widths;
  for (const ColumnDescription& column : window.columns) column_widths.push_back(column.width);
  EXPECT_EQ(column_widths, (std::vector<int>{0, 80, 180, 80, 100}));
  ASSERT_EQ(window.status_parts.size(), 2u);
  EXPECT_EQ(window.status_parts[0].width, 50);
  EXPECT_EQ(window.status_parts[1].width, -1);
}

}  // namespace
}  // namespace quillreap::app
