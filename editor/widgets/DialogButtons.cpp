#include "editor/widgets/DialogButtons.h"

#include <QHBoxLayout>
#include <QPushButton>

void MakeOkCancel(QWidget* dialog, QPushButton*& ok, const char* okName, QPushButton*& cancel,
                  const char* cancelName) {
    ok = new QPushButton("OK", dialog);
    ok->setObjectName(okName);
    ok->setDefault(true);
    cancel = new QPushButton("Cancel", dialog);
    cancel->setObjectName(cancelName);
}

QHBoxLayout* OkCancelRow(QPushButton* ok, QPushButton* cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
