// The About box: the program icon, three labels and an OK button.
#pragma once

#include <QDialog>

class QLabel;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Fills the first two labels, shows the box modally, then blanks them again.
    void ShowAbout();

    QLabel* ProductName; // first label: a seven-character text made at run time
    QLabel* Version;     // second label: emptied before the box shows
    QLabel* Comments;    // third label: three fixed lines
};

extern TAboutBox* AboutBox;
