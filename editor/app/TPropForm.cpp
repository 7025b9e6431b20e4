// The Settings dialog's window.
#include "editor/app/TPropForm.h"

#include "editor/widgets/WinColor.h"
#include "editor/model/ColorNames.h"
#include "editor/model/Documents.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/Prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

TPropForm* PropForm = nullptr;

namespace {

struct FontLabelDef {
    const char* caption;
    bool right; // column
    int row;
};

// In the order of SettingsControls::Fonts.
const std::array<FontLabelDef, 8> kFontLabels = {{
    {"Font for instances", false, 0},
    {"Font for input ports", false, 1},
    {"Font for output ports", true, 1},
    {"Font for inout ports", false, 2},
    {"Font for variant ports ", true, 2},
    {"Font for para instances", true, 0},
    {"Font for HDL", false, 3},
    {"Font for message", true, 3},
}};
constexpr int kHdlFont = 6;

const char* const kCustomItem = "Custom...";
const char* const kCustomColor = "Custom";
const char* const kWorkDirTitle = "Choose the work directory";

QIcon Swatch(int value) {
    QPixmap p(24, 12);
    const QColor c = WinColor(value);
    p.fill(c.alpha() == 0 ? QColor(Qt::white) : c);
    return QIcon(p);
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TPropForm::TPropForm(ProjectModel& model, Prompt& prompt, QWidget* parent)
    : QDialog(parent), model_(model), prompt_(prompt) {
    setObjectName("PropForm");
    setWindowTitle("Settings");
    setModal(true);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
    ShowModal = [](TPropForm& d) { return d.exec(); };

    auto* outer = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    outer->addWidget(PageControl1);
    BuildFontPage();
    BuildColorPage();
    BuildSizePage();
    BuildEditorPage();
    BuildGeneralPage();
    BuildNamePage();

    auto* row = new QHBoxLayout;
    DefaultBox = new QCheckBox("Default", this);
    DefaultBox->setObjectName("CheckBox3");
    DefaultBox->setToolTip("Save the current settings as the default for each new run.");
    BitBtn3 = new QPushButton("Apply", this);
    BitBtn3->setObjectName("BitBtn3");
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn1->setDefault(true);
    BitBtn3->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);
    row->addWidget(DefaultBox);
    row->addStretch();
    row->addWidget(BitBtn3);
    row->addWidget(BitBtn1);
    row->addWidget(BitBtn2);
    outer->addLayout(row);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (PageControl1->widget(index) == generalPage_)
            TabSheet1Show();
    });
    PageControl1->setCurrentIndex(0);
}

void TPropForm::BuildFontPage() {
    fontPage_ = new QWidget;
    fontPage_->setMinimumSize(440, 240);
    auto* text = new QLabel("Click the following text to modify the corresponding object's font.",
                            fontPage_);
    text->move(12, 10);
    for (std::size_t i = 0; i < kFontLabels.size(); ++i) {
        auto* label = new QLabel(kFontLabels[i].caption, fontPage_);
        label->setObjectName(QString("FontLabel%1").arg(i));
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        label->move(0, 50 + kFontLabels[i].row * 45);
        FontLabels[i] = label;
    }
    PageControl1->addTab(fontPage_, "Font");
}

void TPropForm::BuildColorPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    int row = -1;
    const auto& rows = ColorBoxRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int column = rows[i].Beside ? 1 : 0;
        if (column == 0)
            ++row;
        auto* box = new QComboBox(page);
        box->setObjectName(QString("ColorBox%1").arg(i + 1));
        for (const NamedColor& c : ColorBoxItems())
            box->addItem(Swatch(c.Value), c.Name, c.Value);
        box->addItem(kCustomItem);
        connect(box, &QComboBox::activated, this,
                [this, box](int index) { ColorBoxActivated(box, index); });
        auto* label = new QLabel(rows[i].Caption, page);
        label->setBuddy(box);
        grid->addWidget(label, row, column * 2);
        grid->addWidget(box, row, column * 2 + 1);
        ColorBoxes[i] = box;
    }
    PageControl1->addTab(page, "Color");
}

void TPropForm::BuildSizePage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel("Unit: Pixels", page), 0, 0, 1, 2);
    const auto& rows = SizeSpinRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto* spin = new QSpinBox(page);
        spin->setObjectName(QString("SizeSpin%1").arg(i + 1));
        spin->setRange(rows[i].Low, rows[i].High);
        spin->setSingleStep(1);
        auto* label = new QLabel(rows[i].Caption, page);
        label->setBuddy(spin);
        grid->addWidget(label, static_cast<int>(i) + 1, 0);
        grid->addWidget(spin, static_cast<int>(i) + 1, 1);
        SizeSpins[i] = spin;
    }
    PageControl1->addTab(page, "Size");
}

void TPropForm::BuildEditorPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel("When double-click a module, open it's source code. Use:", page), 0,
                    0, 1, 3);
    RadioButton1 = new QRadioButton("Internal text editor;", page);
    RadioButton1->setObjectName("RadioButton1");
    RadioButton2 =
        new QRadioButton("Other text editor( %F means the file name, e.g. c:\\notepad %F).", page);
    RadioButton2->setObjectName("RadioButton2");
    grid->addWidget(RadioButton1, 1, 0, 1, 3);
    grid->addWidget(RadioButton2, 2, 0, 1, 3);
    EditorProgramEdit = new QLineEdit(page);
    EditorProgramEdit->setObjectName("LabeledEdit1");
    auto* program = new QLabel("Shell Program:", page);
    program->setBuddy(EditorProgramEdit);
    BitBtn5 = new QPushButton("Browser", page);
    BitBtn5->setObjectName("BitBtn5");
    grid->addWidget(program, 3, 0);
    grid->addWidget(EditorProgramEdit, 3, 1);
    grid->addWidget(BitBtn5, 3, 2);
    EditorParamsEdit = new QLineEdit(page);
    EditorParamsEdit->setObjectName("LabeledEdit2");
    auto* params = new QLabel("Parameters:", page);
    params->setBuddy(EditorParamsEdit);
    grid->addWidget(params, 4, 0);
    grid->addWidget(EditorParamsEdit, 4, 1);
    grid->setRowStretch(5, 1);
    connect(RadioButton1, &QRadioButton::toggled, this, [this] { RadioButton1Click(); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    PageControl1->addTab(page, "Editor");
}

void TPropForm::BuildGeneralPage() {
    generalPage_ = new QWidget;
    auto* grid = new QGridLayout(generalPage_);
    Button1 = new QPushButton("Empty Recent Projects List", generalPage_);
    Button1->setObjectName("Button1");
    grid->addWidget(Button1, 0, 0, 1, 2, Qt::AlignLeft);
    ConfirmParamBox = new QCheckBox("Confirm the parameter changes", generalPage_);
    grid->addWidget(ConfirmParamBox, 1, 0, 1, 2);
    WorkDirEdit = new QLineEdit(generalPage_);
    WorkDirEdit->setObjectName("LabeledEdit3");
    WorkDirEdit->setReadOnly(true);
    auto* work = new QLabel("Work directory: (Select a directory used ONLY by ZUN)", generalPage_);
    work->setBuddy(WorkDirEdit);
    BitBtn4 = new QPushButton("Browser", generalPage_);
    BitBtn4->setObjectName("BitBtn4");
    grid->addWidget(work, 2, 0, 1, 2);
    grid->addWidget(WorkDirEdit, 3, 0);
    grid->addWidget(BitBtn4, 3, 1);
    StrictRuleBox = new QCheckBox("Use strict connection rule", generalPage_);
    grid->addWidget(StrictRuleBox, 4, 0, 1, 2);
    AssignOpenOutBox = new QComboBox(generalPage_);
    AssignOpenOutBox->setObjectName("ComboBox1");
    for (const char* item : AssignOpenOutItems)
        AssignOpenOutBox->addItem(item);
    auto* assign = new QLabel("Assign open top output ports with:", generalPage_);
    assign->setBuddy(AssignOpenOutBox);
    grid->addWidget(assign, 5, 0);
    grid->addWidget(AssignOpenOutBox, 5, 1);
    grid->setRowStretch(6, 1);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
    PageControl1->addTab(generalPage_, "General");
}

void TPropForm::BuildNamePage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* rules = new QGroupBox("Auto name rule for", page);
    auto* rulesGrid = new QGridLayout(rules);
    InstRuleEdit = new QLineEdit(rules);
    InstRuleEdit->setObjectName("LabeledEdit4");
    WireRuleEdit = new QLineEdit(rules);
    WireRuleEdit->setObjectName("LabeledEdit5");
    auto* inst = new QLabel("New Instance: ", rules);
    inst->setBuddy(InstRuleEdit);
    auto* wire = new QLabel("New Wire: ", rules);
    wire->setBuddy(WireRuleEdit);
    rulesGrid->addWidget(inst, 0, 0);
    rulesGrid->addWidget(InstRuleEdit, 0, 1);
    rulesGrid->addWidget(new QLabel("(Support %M and %D)", rules), 0, 2);
    rulesGrid->addWidget(wire, 1, 0);
    rulesGrid->addWidget(WireRuleEdit, 1, 1);
    rulesGrid->addWidget(new QLabel("(Support %M and %P)", rules), 1, 2);
    v->addWidget(rules);
    auto* replace = new QGroupBox("Replace string in %P (^ and $ are supported)", page);
    auto* replaceGrid = new QGridLayout(replace);
    for (int i = 0; i < 3; ++i) {
        ReplaceFromEdits[static_cast<std::size_t>(i)] = new QLineEdit(replace);
        ReplaceWithEdits[static_cast<std::size_t>(i)] = new QLineEdit(replace);
        replaceGrid->addWidget(new QLabel("Replace ", replace), i, 0);
        replaceGrid->addWidget(ReplaceFromEdits[static_cast<std::size_t>(i)], i, 1);
        replaceGrid->addWidget(new QLabel("with", replace), i, 2);
        replaceGrid->addWidget(ReplaceWithEdits[static_cast<std::size_t>(i)], i, 3);
    }
    v->addWidget(replace);
    v->addStretch();
    PageControl1->addTab(page, "Name");
}

void TPropForm::ShowFont(int index) {
    QLabel* label = FontLabels[static_cast<std::size_t>(index)];
    const FontValue& f = fonts_[static_cast<std::size_t>(index)];
    label->setFont(QFontOf(f));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, WinColor(f.Color));
    label->setPalette(p);
    label->adjustSize();
}

void TPropForm::CentreFontLabels() {
    const int half = fontPage_->width() / 2;
    for (std::size_t i = 0; i < FontLabels.size(); ++i) {
        QLabel* label = FontLabels[i];
        const int x = (half - label->width()) / 2;
        label->move(kFontLabels[i].right ? half + x : x, label->y());
    }
}

void TPropForm::SelectColor(QComboBox* box, int value) {
    int index = box->findData(value);
    if (index < 0) {
        // A colour without a name gets the one custom entry, just before "Custom...".
        const int custom = box->findText(kCustomColor, Qt::MatchExactly);
        if (custom >= 0)
            box->removeItem(custom);
        index = box->count() - 1;
        box->insertItem(index, Swatch(value), kCustomColor, value);
    }
    box->setCurrentIndex(index);
}

void TPropForm::ColorBoxActivated(QComboBox* box, int index) {
    // "chosen" is the colour the box shows: the one a cancelled custom choice goes back to.
    if (box->itemText(index) != kCustomItem) {
        box->setProperty("chosen", box->itemData(index).toInt());
        return;
    }
    const int previous = box->property("chosen").toInt();
    if (const auto chosen = prompt_.ChooseColor(previous))
        SelectColor(box, *chosen);
    else
        SelectColor(box, previous);
    box->setProperty("chosen", box->currentData().toInt());
}

void TPropForm::LoadControls() {
    loaded_ = ::LoadControls(model_);
    const SettingsControls& c = loaded_;
    fonts_ = c.Fonts;
    for (std::size_t i = 0; i < FontLabels.size(); ++i)
        ShowFont(static_cast<int>(i));
    for (std::size_t i = 0; i < ColorBoxes.size(); ++i) {
        SelectColor(ColorBoxes[i], c.Colors[i]);
        ColorBoxes[i]->setProperty("chosen", c.Colors[i]);
    }
    for (std::size_t i = 0; i < SizeSpins.size(); ++i)
        SizeSpins[i]->setValue(c.Sizes[i]);
    (c.InternalEditor ? RadioButton1 : RadioButton2)->setChecked(true);
    EditorProgramEdit->setText(Q(c.EditorProgram));
    EditorParamsEdit->setText(Q(c.EditorParams));
    ConfirmParamBox->setChecked(c.ConfirmParam);
    StrictRuleBox->setChecked(c.StrictRule);
    AssignOpenOutBox->setCurrentIndex(AssignOpenOutBox->findText(Q(c.AssignOpenOut)));
    WorkDirEdit->setText(Q(c.WorkDir));
    InstRuleEdit->setText(Q(c.InstNameRule));
    WireRuleEdit->setText(Q(c.WireNameRule));
    for (std::size_t i = 0; i < 3; ++i) {
        ReplaceFromEdits[i]->setText(Q(c.ReplaceFrom[i]));
        ReplaceWithEdits[i]->setText(Q(c.ReplaceWith[i]));
    }
    DefaultBox->setChecked(c.Default);
    DefaultBox->setEnabled(c.DefaultEnabled);
    BitBtn2->setEnabled(c.CancelEnabled);
    CentreFontLabels();
}

SettingsControls TPropForm::ReadControls() const {
    SettingsControls c = loaded_;
    c.Fonts = fonts_;
    for (std::size_t i = 0; i < ColorBoxes.size(); ++i)
        c.Colors[i] = ColorBoxes[i]->currentData().toInt();
    for (std::size_t i = 0; i < SizeSpins.size(); ++i)
        c.Sizes[i] = SizeSpins[i]->value();
    c.InternalEditor = RadioButton1->isChecked();
    c.EditorProgram = EditorProgramEdit->text().toStdString();
    c.EditorParams = EditorParamsEdit->text().toStdString();
    c.ConfirmParam = ConfirmParamBox->isChecked();
    c.StrictRule = StrictRuleBox->isChecked();
    c.AssignOpenOut = AssignOpenOutBox->currentText().toStdString();
    c.WorkDir = WorkDirEdit->text().toStdString();
    c.InstNameRule = InstRuleEdit->text().toStdString();
    c.WireNameRule = WireRuleEdit->text().toStdString();
    for (std::size_t i = 0; i < 3; ++i) {
        c.ReplaceFrom[i] = ReplaceFromEdits[i]->text().toStdString();
        c.ReplaceWith[i] = ReplaceWithEdits[i]->text().toStdString();
    }
    c.Default = DefaultBox->isChecked();
    return c;
}

bool TPropForm::BitBtn3Click() {
    return ApplySettings(model_, prompt_, ReadControls(), ApplyHooks);
}

void TPropForm::BitBtn1Click() {
    if (BitBtn3Click())
        accept();
}

void TPropForm::BitBtn2Click() {
    reject();
}

void TPropForm::FontLabelClick(int index) {
    const auto i = static_cast<std::size_t>(index);
    if (const auto chosen = prompt_.ChooseFont(fonts_[i], index == kHdlFont)) {
        fonts_[i] = *chosen;
        ShowFont(index);
        CentreFontLabels();
    }
}

void TPropForm::RadioButton1Click() {
    const bool other = !RadioButton1->isChecked();
    EditorProgramEdit->setEnabled(other);
    EditorParamsEdit->setEnabled(other);
    BitBtn5->setEnabled(other);
}

void TPropForm::BitBtn4Click() {
    const auto folder = prompt_.ChooseFolder(kWorkDirTitle, "");
    if (!folder)
        return;
    if (IsWorkDirWritable(*folder))
        WorkDirEdit->setText(Q(*folder));
    else
        prompt_.Message(UnwritableWorkDirText(*folder), "", MessageKind::Error);
}

void TPropForm::BitBtn5Click() {
    // Programs on Linux have no extension of their own: every file is offered.
    FileChooser chooser;
    chooser.title = "Select a text editor";
    chooser.filter = "All File(*)";
    if (const auto path = prompt_.OpenFile(chooser))
        EditorProgramEdit->setText(Q(*path));
}

void TPropForm::TabSheet1Show() {
    Button1->setEnabled(!model_.RecentList.empty());
}

void TPropForm::Button1Click() {
    model_.RecentList.clear();
    Button1->setEnabled(false);
    if (RecentListEmptied)
        RecentListEmptied();
}

void TPropForm::ShowGeneralPage() {
    PageControl1->setCurrentWidget(generalPage_);
    TabSheet1Show();
}

void TPropForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The dialog may open on the page it was left at: showing the General page that way shows
    // it as much as choosing its tab does.
    if (PageControl1->currentWidget() == generalPage_)
        TabSheet1Show();
    CentreFontLabels();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TPropForm::keyPressEvent(QKeyEvent* event) {
    // Escape is Cancel's key: while Cancel is greyed it does nothing (the close box still
    // closes the dialog).
    if (event->key() == Qt::Key_Escape && !BitBtn2->isEnabled()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TPropForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease)
        for (std::size_t i = 0; i < FontLabels.size(); ++i)
            if (watched == FontLabels[i]) {
                FontLabelClick(static_cast<int>(i));
                return true;
            }
    return QDialog::eventFilter(watched, event);
}
