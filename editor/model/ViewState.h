// The pressed state of the main window's check buttons (edit mode, SmartLink, drawing options,
// tool windows, top-name box) as plain state: the buttons show and set it, drawing and handlers
// read it. The three view-style buttons show the model's `ViewMode`.
#pragma once

#include <string_view>

struct ViewState {
    char EditMode = 'W';     // 'V' View Mode, 'W' WireEdit Mode, 'T' TopMap Mode
    bool SmartLink = true;   // "Enable/Disable SmartLink"
    bool LinkedPorts = true; // "Show Ports Linked Together"
    bool PortWidth = false;  // "Show Port Width"
    bool Wires = true;       // "Show Wires"
    bool LonePorts = false;  // "Show Lone Ports"
    bool PropertiesWindow = true;
    bool SmartLinkWindow = true;
    bool InfoWindow = true;
    bool TopNameBox = true; // menu item "Show Top name box"

    // The state at start, as the command table marks the buttons down.
    static ViewState Initial();
};

// Whether a check button (or the checkable menu item) is down; false for any other name.
bool IsDown(const ViewState& state, char viewMode, std::string_view button);

// Presses or releases a check button. A radio button pressed releases the others of its group;
// releasing a pressed radio button by itself leaves it down (one of a group is always down).
// False when the name is no check button.
bool SetDown(ViewState& state, char& viewMode, std::string_view button, bool down);
