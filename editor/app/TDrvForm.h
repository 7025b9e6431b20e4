// The Information window: a dockable tool window whose one visible page is the message log;
// hidden pages hold the parser's input memo with its Apply button, the parse grid and a history
// memo.
#pragma once

#include <QDockWidget>

#include <functional>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;

class TDrvForm : public QDockWidget {
    Q_OBJECT
public:
    explicit TDrvForm(QWidget* parent = nullptr);

    QTabWidget* PageControl1;
    QTableWidget* StringGrid1; // the parse grid ("Driver" page)
    QPlainTextEdit* ScriptsMemo;
    QPushButton* Scr_Drv;    // "Apply": parses ScriptsMemo, replacing the project
    QPlainTextEdit* MsgMemo; // the message log
    QPlainTextEdit* HistoryMemo;

    // The message log's view of the window.
    void AppendLog(const std::string& line);
    // Many lines in one edit of the memo: appended one by one they cost a layout each.
    void AppendLogLines(const std::vector<std::string>& lines);
    void ClearLogView();

    // Parses the memo's text into the project (replacing all lines) and empties the memo.
    void Scr_DrvClick();
    // What Apply does with the memo's text; set by the main window.
    std::function<void(const std::string& text)> ApplyScripts;
};

extern TDrvForm* DrvForm;
