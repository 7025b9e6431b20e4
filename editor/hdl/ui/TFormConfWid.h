// The "Width Confirmation" dialog over the logic of WidthConfirmation: the evaluated widths of
// one instance, the bounds set by hand, and OK, Cancel and Help.
#pragma once

#include "editor/hdl/WidthConfirmation.h"
#include "editor/model/Documents.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QTreeWidget;

class TFormConfWid : public QDialog {
    Q_OBJECT
public:
    TFormConfWid(WidthConfirmation& widths, ProjectModel& model, EditorServices& services,
                 QWidget* parent = nullptr);
    ~TFormConfWid() override;

    WidthConfirmation& Widths() { return widths_; }

    QTreeWidget* ListView1 = nullptr;
    QCheckBox* CheckBox1 = nullptr; // "Do not show this again."
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // Cancel
    QPushButton* BitBtn3 = nullptr; // Help

    // Shows the list the last fill made.
    void Refresh();
    // Shows the dialog modally over the last fill; true when it closed with OK.
    bool ShowModalOk();
    // Shows the dialog modally and gives its result; tests answer in its place.
    std::function<int(TFormConfWid& dialog)> ShowModal;

    void BitBtn1Click();
    void BitBtn3Click();

private:
    WidthConfirmation& widths_;
    ProjectModel& model_;
    EditorServices& services_;
};

extern TFormConfWid* FormConfWid;
