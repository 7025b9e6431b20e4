// The named colours of the colour boxes.
#include "editor/model/ColorNames.h"

namespace {

constexpr int System(int index) {
    return static_cast<int>(0x80000000u | static_cast<unsigned>(index));
}

const std::vector<NamedColor> kItems = {
    {"Black", 0x000000},
    {"Maroon", 0x000080},
    {"Green", 0x008000},
    {"Olive", 0x008080},
    {"Navy", 0x800000},
    {"Purple", 0x800080},
    {"Teal", 0x808000},
    {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},
    {"Red", 0x0000FF},
    {"Lime", 0x00FF00},
    {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},
    {"Fuchsia", 0xFF00FF},
    {"Aqua", 0xFFFF00},
    {"White", 0xFFFFFF},
    {"Money Green", 0xC0DCC0},
    {"Sky Blue", 0xF0CAA6},
    {"Cream", 0xF0FBFF},
    {"Medium Gray", 0xA4A0A0},
    {"Scroll Bar", System(0)},
    {"Background", System(1)},
    {"Active Caption", System(2)},
    {"Inactive Caption", System(3)},
    {"Menu", System(4)},
    {"Window", System(5)},
    {"Window Frame", System(6)},
    {"Menu Text", System(7)},
    {"Window Text", System(8)},
    {"Caption Text", System(9)},
    {"Active Border", System(10)},
    {"Inactive Border", System(11)},
    {"Application Workspace", System(12)},
    {"Highlight", System(13)},
    {"Highlight Text", System(14)},
    {"Button Face", System(15)},
    {"Button Shadow", System(16)},
    {"Gray Text", System(17)},
    {"Button Text", System(18)},
    {"Inactive Caption Text", System(19)},
    {"Button Highlight", System(20)},
    {"3D Dark Shadow", System(21)},
    {"3D Light", System(22)},
    {"Info Text", System(23)},
    {"Info Background", System(24)},
    {"none", ColorNone},
    {"default", ColorDefault},
};

} // namespace

const std::vector<NamedColor>& ColorBoxItems() {
    return kItems;
}

std::string ColorName(int value) {
    for (const NamedColor& c : kItems)
        if (c.Value == value)
            return c.Name;
    return {};
}
