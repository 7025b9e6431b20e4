// The Smart Link window: a dockable tool window that shows the rule grid and the options of its
// headless state, and hands every click to the state's handler of the same name.
#pragma once

#include <QDockWidget>

class Prompt;
class QListWidget;
class QMenu;
class QPushButton;
class QTableWidget;
class SmartLinkWindow;
struct EditorServices;

class TFormSL : public QDockWidget {
    Q_OBJECT
public:
    TFormSL(SmartLinkWindow& state, Prompt& prompt, EditorServices& services,
            QWidget* parent = nullptr);
    ~TFormSL() override;

    SmartLinkWindow& State;

    QTableWidget* StringGrid1; // rows 1 and up of the state's grid; row 0 is the header
    QListWidget* CheckListBox1 = nullptr;
    QPushButton* Btn1;         // "Apply"
    QPushButton* Btn6;         // "Add a Row"
    QPushButton* SpeedButton1; // "Delete Last Row"
    QPushButton* Btn4;         // "Save As"
    QPushButton* Btn5;         // "Open"
    QPushButton* SpeedButton2; // "Show Check Boxes in 2 Columns", a toggle
    QPushButton* Btn7;         // "Help"
    QMenu* PopupMenu1;

    // The state's creation (default rules, default.qvs, Apply), then the grid shown.
    void FormCreate();
    void Btn1Click();
    void Btn4Click();
    void Btn5Click();
    void Btn6Click();
    void Btn7Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void Deletelastone1Click();
    // A tick changed in the check list.
    void CheckListBox1ClickCheck(int item);
    void StringGrid1MouseDown(int col, int row);
    void StringGrid1MouseUp(int col, int row);
    void StringGrid1GetEditText();
    void StringGrid1Enter();
    // Closing only hides the window; the main window then releases its button and closes a dock
    // panel left without a visible client.
    void FormClose(QCloseEvent* event);

    // Shows the state: cells, header, ticks and greyed items, the Apply button, the columns.
    void ShowState();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Runs FormClose.
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowGrid();
    void ShowOptions();
    int OptionRowHeight() const;
    // The two columns of the options share the list's width.
    void FitOptionColumns();

    Prompt& prompt_;
    EditorServices& services_;
    bool showing_ = false; // the widgets are being filled from the state
};

extern TFormSL* FormSL;
