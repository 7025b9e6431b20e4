// Check-button state of the main window and its mapping to the buttons' names.
#include "editor/model/ViewState.h"

#include "editor/model/Commands.h"

namespace {

bool* Flag(ViewState& s, std::string_view button) {
    if (button == "ToolButton10")
        return &s.SmartLink;
    if (button == "ToolButton19")
        return &s.LinkedPorts;
    if (button == "ToolButton20")
        return &s.PortWidth;
    if (button == "ToolButton22")
        return &s.Wires;
    if (button == "ToolButton23")
        return &s.LonePorts;
    if (button == "ToolButton18")
        return &s.PropertiesWindow;
    if (button == "ToolButton25")
        return &s.SmartLinkWindow;
    if (button == "ToolButton27")
        return &s.InfoWindow;
    if (button == "MV_TName")
        return &s.TopNameBox;
    return nullptr;
}

// The letter a radio button stands for in its group: the edit mode or the view mode.
char EditModeOf(std::string_view button) {
    if (button == "ToolButton8")
        return 'V';
    if (button == "ToolButton9")
        return 'W';
    if (button == "ToolButton28")
        return 'T';
    return 0;
}

char ViewModeOf(std::string_view button) {
    if (button == "ToolButton35")
        return '1';
    if (button == "ToolButton2")
        return '2';
    if (button == "ToolButton36")
        return '3';
    return 0;
}

} // namespace

ViewState ViewState::Initial() {
    ViewState s;
    char viewMode = '1';
    for (const CommandDef& c : CommandTable())
        if (c.checkable && c.group == 0)
            SetDown(s, viewMode, c.name, c.down);
    for (const CommandDef& c : CommandTable())
        if (c.checkable && c.group != 0 && c.down)
            SetDown(s, viewMode, c.name, true);
    return s;
}

bool IsDown(const ViewState& state, char viewMode, std::string_view button) {
    if (const char m = EditModeOf(button))
        return state.EditMode == m;
    if (const char v = ViewModeOf(button)) {
        // Any letter other than '1' and '2' is the custom view, as the rebuild reads it.
        if (v == '3')
            return viewMode != '1' && viewMode != '2';
        return viewMode == v;
    }
    if (bool* f = Flag(const_cast<ViewState&>(state), button))
        return *f;
    return false;
}

bool SetDown(ViewState& state, char& viewMode, std::string_view button, bool down) {
    if (const char m = EditModeOf(button)) {
        if (down)
            state.EditMode = m;
        return true;
    }
    if (const char v = ViewModeOf(button)) {
        if (down)
            viewMode = v;
        return true;
    }
    if (bool* f = Flag(state, button)) {
        *f = down;
        return true;
    }
    return false;
}
