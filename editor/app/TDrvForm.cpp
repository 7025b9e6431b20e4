// The Information window.
#include "editor/app/TDrvForm.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

TDrvForm* DrvForm = nullptr;

TDrvForm::TDrvForm(QWidget* parent) : QDockWidget("Information", parent) {
    setObjectName("DrvForm");
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");

    StringGrid1 = new QTableWidget(1, 1);
    StringGrid1->setObjectName("StringGrid1");
    PageControl1->addTab(StringGrid1, "Driver");

    auto* scripts = new QWidget;
    ScriptsMemo = new QPlainTextEdit(scripts);
    ScriptsMemo->setObjectName("ScriptsMemo");
    Scr_Drv = new QPushButton("Apply", scripts);
    Scr_Drv->setObjectName("Scr_Drv");
    auto* scriptsLayout = new QVBoxLayout(scripts);
    scriptsLayout->addWidget(ScriptsMemo);
    scriptsLayout->addWidget(Scr_Drv, 0, Qt::AlignLeft);
    PageControl1->addTab(scripts, "Scripts");

    MsgMemo = new QPlainTextEdit;
    MsgMemo->setObjectName("MsgMemo");
    MsgMemo->setReadOnly(true);
    MsgMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    MsgMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MsgMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PageControl1->addTab(MsgMemo, "Message");

    HistoryMemo = new QPlainTextEdit;
    HistoryMemo->setObjectName("HistoryMemo");
    PageControl1->addTab(HistoryMemo, "History");

    PageControl1->setTabVisible(0, false);
    PageControl1->setTabEnabled(0, false);
    PageControl1->setTabVisible(1, false);
    PageControl1->setTabVisible(3, false);
    PageControl1->setCurrentIndex(2);
    // Small enough for the 151-pixel dock panel it starts in, and to be dragged smaller.
    PageControl1->setMinimumSize(80, 60);
    setWidget(PageControl1);

    connect(Scr_Drv, &QPushButton::clicked, this, [this] { Scr_DrvClick(); });
}

void TDrvForm::AppendLog(const std::string& line) {
    MsgMemo->appendPlainText(QString::fromStdString(line));
    MsgMemo->verticalScrollBar()->setValue(MsgMemo->verticalScrollBar()->maximum());
}

void TDrvForm::AppendLogLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += lines[i];
    }
    MsgMemo->appendPlainText(QString::fromStdString(text));
    MsgMemo->verticalScrollBar()->setValue(MsgMemo->verticalScrollBar()->maximum());
}

void TDrvForm::ClearLogView() {
    MsgMemo->clear();
}

void TDrvForm::Scr_DrvClick() {
    const std::string text = ScriptsMemo->toPlainText().toStdString();
    if (ApplyScripts)
        ApplyScripts(text);
    ScriptsMemo->clear();
}
