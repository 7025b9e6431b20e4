// The generated-text window: the memo, the column headers of framework code and the buttons,
// over GenTextModel.
#pragma once

#include "editor/hdl/GenText.h"

#include <QDialog>

#include <optional>
#include <string>

class QHeaderView;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TFormGenHDL : public QDialog {
    Q_OBJECT
public:
    explicit TFormGenHDL(GenTextModel& model, QWidget* parent = nullptr);

    // The model, with what the user typed in the memo.
    GenTextModel& Model() {
        TakeTypedText();
        return model_;
    }
    // The controls show the model: caption, text, column headers and buttons.
    void Refresh();
    // Shown modeless, raised over the editor.
    void ShowModeless();
    // List mode for a custom port list: an empty text under the caption "Custom Port List",
    // shown modally; the text on OK, nothing on any other close.
    std::optional<std::string> ShowCustomPortList();

    QPlainTextEdit* Memo1 = nullptr;
    QHeaderView* HeaderControl1 = nullptr;
    QHeaderView* HeaderControl2 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // "Save As"
    QPushButton* BitBtn3 = nullptr; // "Open"
    QPushButton* BitBtn4 = nullptr; // "SFOE"
    QPushButton* BitBtn5 = nullptr; // "SFCN"

    void BitBtn1Click();
    // The column headers after SetupColumnHeaders: captions and pixel widths of the style.
    void ShowColumnHeaders();

protected:
    void showEvent(QShowEvent* event) override;
    // Every way the window goes (OK, its close box, Escape) is its close.
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowText();
    // Hands what the user typed into the memo to the model.
    void TakeTypedText();
    ScrollState Scroll() const;
    void SectionTrack(int header, int section, int width);
    void SectionResize();

    GenTextModel& model_;
    bool filling_ = false;
    bool typed_ = false;
    // The section being dragged: its header (0, 1) and index; -1 when none.
    int dragHeader_ = -1;
    int dragSection_ = -1;
};

extern TFormGenHDL* FormGenHDL;
