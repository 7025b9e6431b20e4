// The Top-name box.
#include "editor/app/TFormTname.h"

#include <QLabel>
#include <QLineEdit>

TFormTname* FormTname = nullptr;

TFormTname::TFormTname(QWidget* parent) : QToolBar("Top name", parent) {
    setObjectName("FormTname");
    setMovable(true);
    setFloatable(true);
    setAllowedAreas(Qt::TopToolBarArea);
    LabeledEdit1Label = new QLabel("Top name:", this);
    LabeledEdit1 = new QLineEdit("%P", this);
    LabeledEdit1->setObjectName("LabeledEdit1");
    LabeledEdit1->setMinimumWidth(100);
    LabeledEdit1Label->setBuddy(LabeledEdit1);
    addWidget(LabeledEdit1Label);
    addWidget(LabeledEdit1);
    connect(LabeledEdit1, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (RuleChanged)
            RuleChanged(text.toStdString());
    });
}

void TFormTname::MatchHeight(int toolBarHeight) {
    const int d = sizeHint().height() - toolBarHeight;
    if (d != 0)
        LabeledEdit1->setFixedHeight(std::max(1, LabeledEdit1->sizeHint().height() - d));
}
