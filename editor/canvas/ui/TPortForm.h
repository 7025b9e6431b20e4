// The Properties window: a dockable tool window with the pages "Ports" and "Instances" over the
// logic of PropertiesPresenter.
#pragma once

#include "editor/canvas/PropertiesPresenter.h"

#include <QComboBox>
#include <QDockWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;

// The instance box: every drop-down fills it anew first.
class TInstanceBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    std::function<void()> DropDown;
    void showPopup() override;
};

class TPortForm : public QDockWidget {
    Q_OBJECT
public:
    TPortForm(PropertiesPresenter& presenter, QWidget* parent = nullptr);
    ~TPortForm() override;

    PropertiesPresenter& Presenter() { return presenter_; }

    QTabWidget* PageControl1 = nullptr;
    // "Ports"
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* LabeledEdit1Label = nullptr; // "Wire: "
    QLineEdit* LabeledEdit1 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Btn1 = nullptr; // Apply (Enter)
    QPushButton* Btn2 = nullptr; // Cut Off (Del)
    QTreeWidget* ListView1 = nullptr;
    // "Instances"
    QLabel* Label4 = nullptr; // "Instance:"
    TInstanceBox* ComboBox1 = nullptr;
    QLabel* Label5 = nullptr; // "Type:"
    QPushButton* Btn3 = nullptr;
    QTreeWidget* ListView2 = nullptr;
    QPushButton* SpeedButton1 = nullptr; // "ALL", hidden
    QPushButton* SpeedButton2 = nullptr; // "PAR", hidden

    // Shows the presenter's state in the controls, now or once the present event is done.
    void Refresh();
    void RefreshLater();

    // The handlers by the controls' names.
    void Btn1Click();
    void Btn2Click();
    void Btn3Click();
    void ListView1DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FillConnections();
    void FillParameters();
    void UpdateCutOff();
    std::vector<int> SelectedConnections() const;

    PropertiesPresenter& presenter_;
    bool filling_ = false;
    bool refreshPending_ = false;
};

extern TPortForm* PortForm;
