// The "Combine to inout" dialog: a top-level input, a data output and a one-bit output enable
// become one inout port; the picture and the code preview show the tri-state buffer it makes.
#pragma once

#include <QDialog>
#include <QImage>
#include <QWidget>

class CinoutDialog;
class ProjectModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TFormCinout;

// The drawing of the dialog, painted from the state's preview.
class CinoutPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit CinoutPaintBox(TFormCinout& form);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TFormCinout& form_;
};

class TFormCinout : public QDialog {
    Q_OBJECT
public:
    TFormCinout(const ProjectModel& model, QWidget* parent = nullptr);
    ~TFormCinout() override;

    CinoutPaintBox* PaintBox1;
    QImage Image1;  // the tri-state buffer
    QLabel* Label2; // "Code preview:"
    QPlainTextEdit* Memo1;
    QLineEdit* LabeledEdit1; // "Inout port name:"
    QPushButton* BitBtn1;    // "Swap outputs"
    QCheckBox* CheckBox1;    // "Reverse EN"
    QPushButton* BitBtn2;    // OK
    QPushButton* BitBtn3;    // Cancel

    // Shows the prepared state modally; OK closes it only when the state's check takes the name.
    bool ShowModal(CinoutDialog& state);
    CinoutDialog* State() const { return state_; }
    const ProjectModel& Model() const { return model_; }
    // Draws the preview into a painter over the drawing's area.
    void PaintPreview(class QPainter& painter) const;

    void LabeledEdit1Change();
    void CheckBox1Click();
    void BitBtn1Click();
    void BitBtn2Click();

private:
    void ShowState();

    const ProjectModel& model_;
    CinoutDialog* state_ = nullptr;
    bool showing_ = false;
};

extern TFormCinout* FormCinout;
