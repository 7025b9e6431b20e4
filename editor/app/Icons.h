// The program's icon, painted at run time, and the commands' icons from the icon theme.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

#include <string_view>

class QAction;

// The theme every command icon comes from. It is set for the whole program, not left to the
// desktop: outside a desktop environment Qt knows no theme, and the names the command table
// uses are this theme's.
inline constexpr const char* kIconTheme = "breeze";

QPixmap ProgramIconPixmap(int size);

// Gives the action the theme's icon of that freedesktop name. Where the theme has none (or no
// name is given) the action has no icon, and a tool button showing it shows its short caption
// instead, glyph when there is one.
void SetCommandIcon(QAction& action, std::string_view icon, std::string_view glyph);
