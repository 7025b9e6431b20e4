// The Top-name box: a small tool bar beside the main tool bar whose one edit holds the rule by
// which a port mapped to the top level is named ("%P" the port, "%M" its instance).
#pragma once

#include <QToolBar>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;

class TFormTname : public QToolBar {
    Q_OBJECT
public:
    explicit TFormTname(QWidget* parent = nullptr);

    QLabel* LabeledEdit1Label;
    QLineEdit* LabeledEdit1;

    // Told of every change of the rule's text.
    std::function<void(const std::string& rule)> RuleChanged;
    // Makes the box as high as a tool bar of the given height by changing the edit's height
    // by the difference.
    void MatchHeight(int toolBarHeight);
};

extern TFormTname* FormTname;
