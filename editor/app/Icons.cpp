// The program's own icon, painted so that no image file has to travel with it, and the commands'
// icons from the icon theme.
#include "editor/app/Icons.h"

#include <QAction>
#include <QPainter>

QPixmap ProgramIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x20, 0x50, 0x90));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
    p.setPen(QPen(QColor(0xF0, 0xC0, 0x30), size / 16.0));
    // Three boxes joined by wires: the picture of a top level.
    const double u = size / 8.0;
    p.drawLine(QPointF(2.5 * u, 3 * u), QPointF(5.5 * u, 2.5 * u));
    p.drawLine(QPointF(2.5 * u, 5 * u), QPointF(5.5 * u, 5.5 * u));
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, size / 32.0));
    p.drawRect(QRectF(1 * u, 2 * u, 1.5 * u, 4 * u));
    p.drawRect(QRectF(5.5 * u, 1.5 * u, 1.5 * u, 2 * u));
    p.drawRect(QRectF(5.5 * u, 4.5 * u, 1.5 * u, 2 * u));
    return pixmap;
}

namespace {

// Where icon themes are installed, as the freedesktop base directories say. A desktop's Qt
// platform theme gives these; without a desktop (Xvfb, offscreen) Qt looks nowhere but in its
// resources, so they are given here.
QStringList IconThemeDirectories() {
    QStringList dirs = QIcon::themeSearchPaths();
    auto add = [&dirs](const QString& dir) {
        if (!dir.isEmpty() && !dirs.contains(dir))
            dirs.append(dir);
    };
    const QString home = qEnvironmentVariable("HOME");
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    add(dataHome.startsWith('/') ? dataHome + "/icons"
                                 : (home.isEmpty() ? QString() : home + "/.local/share/icons"));
    if (!home.isEmpty())
        add(home + "/.icons");
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = "/usr/local/share:/usr/share";
    for (const QString& d : dataDirs.split(':', Qt::SkipEmptyParts))
        if (d.startsWith('/'))
            add(d + "/icons");
    return dirs;
}

void UseIconTheme() {
    if (QIcon::themeName() == QLatin1String(kIconTheme))
        return;
    QIcon::setThemeSearchPaths(IconThemeDirectories());
    QIcon::setThemeName(kIconTheme);
}

} // namespace

void SetCommandIcon(QAction& action, std::string_view icon, std::string_view glyph) {
    UseIconTheme();
    if (!glyph.empty())
        action.setIconText(QString::fromUtf8(glyph.data(), static_cast<qsizetype>(glyph.size())));
    const QString name = QString::fromUtf8(icon.data(), static_cast<qsizetype>(icon.size()));
    action.setIcon(name.isEmpty() ? QIcon() : QIcon::fromTheme(name));
}
