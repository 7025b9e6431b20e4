// The dock panels of the main window as plain arithmetic: how wide or high a closed panel opens
// for its first client.
#pragma once

enum class DockPanel { Left, Right, Bottom };

// The size a closed panel opens to, from the main window's client size: a side panel takes 2/7 of
// the width, the bottom panel 5/16 (0.3125) of the height, both truncated.
int DockPanelOpenExtent(DockPanel panel, int clientWidth, int clientHeight);
