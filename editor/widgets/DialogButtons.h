// The OK and Cancel buttons a dialog ends with.
#pragma once

class QHBoxLayout;
class QPushButton;
class QWidget;

// Makes "OK", the default button, and "Cancel" on the dialog, under the object names the dialog's
// callers and tests find them by.
void MakeOkCancel(QWidget* dialog, QPushButton*& ok, const char* okName, QPushButton*& cancel,
                  const char* cancelName);

// A row that holds the two buttons at its right.
QHBoxLayout* OkCancelRow(QPushButton* ok, QPushButton* cancel);
