#pragma once

#include "app/PortSelection.h"

#include <set>
#include <utility>

namespace rtu {

// The checked (menu, entry) pairs of the port menus.
using Marks = std::set<std::pair<PortMenu, int>>;

// PortMenus that keep the check marks, for tests of what is marked.
struct RecordingMenus : PortMenus {
    void setChecked(PortMenu menu, int index, bool checked) override {
        if (checked)
            marks.insert({menu, index});
        else
            marks.erase({menu, index});
    }
    Marks marks;
};

} // namespace rtu
