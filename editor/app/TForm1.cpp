// The main window: its widgets from the command table, the guarded command entry, the start-up
// at the first showing, the project state, the picture and the close with the save question.
#include "editor/app/TForm1.h"

#include "editor/app/Icons.h"
#include "editor/app/TAboutBox.h"
#include "editor/app/TDrvForm.h"
#include "editor/app/TPaintBox.h"
#include "editor/canvas/Picture.h"
#include "editor/canvas/Zoom.h"
#include "editor/canvas/ui/MenuDialogWindows.h"
#include "editor/widgets/WinColor.h"
#include "editor/hdl/ui/Hourglass.h"
#include "editor/model/CommandLine.h"
#include "editor/model/Commands.h"
#include "editor/model/ProjectFile.h"
#include "editor/model/Prompt.h"
#include "editor/model/Settings.h"
#include "platform/DroppedFiles.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <cstdio>
#include <exception>

TForm1* Form1 = nullptr;
const char* const UnknownErrorText = "An unknown error stopped the command.";

namespace {

#include "res/cursors/101.xpm"
#include "res/cursors/102.xpm"
#include "res/cursors/103.xpm"
#include "res/cursors/104.xpm"
#include "res/cursors/105.xpm"
#include "res/cursors/106.xpm"
#include "res/cursors/107.xpm"
#include "res/cursors/108.xpm"
#include "res/cursors/109.xpm"

struct CursorResource {
    int id;
    const char* const* xpm;
};

// The cursor images by resource number.
const CursorResource kCursorResources[] = {
    {101, cursor101}, {102, cursor102}, {103, cursor103}, {104, cursor104}, {105, cursor105},
    {106, cursor106}, {107, cursor107}, {108, cursor108}, {109, cursor109},
};

// Which resource each cursor slot 1 to 9 takes.
constexpr std::array<int, 9> kSlotResources = {103, 105, 106, 102, 101, 108, 107, 104, 109};

const char* const kCaption = "ZUN2012";
const char* const kCursorMissing = "File damaged. Program exits.";

constexpr int kBottomPanelHeight = 151;

// The status bar's four panels.
constexpr std::array<int, 4> kPanelWidths = {310, 310, 120, 100};

} // namespace

TForm1::TForm1(Prompt& prompt_, PictureDrawer& drawer, QWidget* parent)
    : QMainWindow(parent), prompt(prompt_),
      Canvas(std::make_unique<CanvasController>(Model, View, CanvasHooks)), drawer_(drawer) {
    Form1 = this;
    setObjectName("Form1");
    setWindowTitle(kCaption);
    setWindowIcon(QIcon(ProgramIconPixmap(64)));
    resize(842, 624);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setAcceptDrops(true);
    AllocatePicture = [](int w, int h) { return QImage(w, h, QImage::Format_RGB32); };
    View = ViewState::Initial();

    BuildActions();
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    BuildCanvas();

    InfoWindow = new TDrvForm(this);
    DrvForm = InfoWindow;
    setCorner(Qt::BottomLeftCorner, Qt::BottomDockWidgetArea);
    setCorner(Qt::BottomRightCorner, Qt::BottomDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, InfoWindow);
    // The bottom dock panel starts 151 pixels high; the canvas takes the rest.
    resizeDocks({InfoWindow}, {kBottomPanelHeight}, Qt::Vertical);
    InfoWindow->setVisible(View.InfoWindow);
    RegisterDockClient(InfoWindow, "ToolButton27");
    Model.MemoryPrompt = &prompt;
    Model.Log.SetListener(
        {[this](const std::string& line) { InfoWindow->AppendLog(line); },
         [this] { InfoWindow->ClearLogView(); },
         [this](const std::vector<std::string>& lines) { InfoWindow->AppendLogLines(lines); }});
    Model.LogLine("* ZUN2012");
    Model.LogLine("* Top-level assembly of Verilog and VHDL designs from existing modules.");
    Model.LogLine("* Messages of this session follow.");
    Model.LogLine("");

    RegisterOwnHandlers();
    RegisterFileHandlers();
    RegisterViewHandlers();
    RegisterCanvasHandlers();

    // The creation handler's steps.
    PicBitmap =
        AllocatePicture(std::max(ScrollBox1->width(), 1), std::max(ScrollBox1->height(), 1));
    LoadCursors();
    // The view-style buttons show ViewMode itself, so it starts as the pressed one says.
    Model.ViewMode = ViewModeOfButtons();
    UpdateProjectState('I');
    Model.PrjUntitled = false;
    SetClosePrjEnabled(false);
    Model.AppDir = platform::ProgramDir();
    Model.StartDir = platform::CurrentDirectory();
    CreateSmartLinkWindow();
    CreateWidthWindows();
    CreateContextMenu();
    ScrollBox1Resize();
}

TForm1::~TForm1() {
    // The child windows outlive the members: they are deleted with the QWidget part.
    ReleaseDockClients();
    Model.MemoryPrompt = &prompt;
    Model.Log.SetListener({});
    if (DrvForm == InfoWindow)
        DrvForm = nullptr;
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::BuildActions() {
    std::map<int, QActionGroup*> groups;
    for (const CommandDef& c : CommandTable()) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromUtf8(c.name.data(), static_cast<int>(c.name.size())));
        const std::string text(c.caption.empty() ? c.hint : c.caption);
        a->setText(QString::fromStdString(text));
        if (!c.hint.empty())
            a->setToolTip(QString::fromUtf8(c.hint.data(), static_cast<int>(c.hint.size())));
        a->setStatusTip(QString::fromUtf8(c.longHint.data(), static_cast<int>(c.longHint.size())));
        if (!c.shortcut.empty())
            a->setShortcut(QKeySequence(
                QString::fromUtf8(c.shortcut.data(), static_cast<int>(c.shortcut.size()))));
        SetCommandIcon(*a, c.icon, c.glyph);
        a->setCheckable(c.checkable);
        a->setChecked(c.down);
        if (c.group != 0) {
            QActionGroup*& g = groups[c.group];
            if (!g) {
                g = new QActionGroup(this);
                g->setObjectName(QString("Group%1").arg(c.group));
                g->setExclusive(true);
            }
            g->addAction(a);
        }
        if (c.hidden)
            a->setVisible(false);
        addAction(a); // shortcuts work whether or not a menu shows the action
        const std::string name(c.name);
        if (c.checkable)
            connect(a, &QAction::triggered, this,
                    [this, name](bool checked) { CheckButtonClicked(name, checked); });
        else
            connect(a, &QAction::triggered, this, [this, name] { RunCommand(name); });
        actions_.emplace(name, a);
        ruleEnabled_.emplace(name, true);
    }
}

void TForm1::AddMenuItems(QMenu* menu, const std::vector<MenuNode>& items) {
    for (const MenuNode& n : items) {
        if (n.command == "-") {
            menu->addSeparator();
        } else if (n.command.empty()) {
            QMenu* sub = menu->addMenu(
                QString::fromUtf8(n.caption.data(), static_cast<int>(n.caption.size())));
            sub->setObjectName(QString::fromUtf8(n.name.data(), static_cast<int>(n.name.size())));
            AddMenuItems(sub, n.children);
            if (n.name == "RecentProjects1")
                RecentMenu = sub;
        } else {
            menu->addAction(Action(n.command));
        }
    }
}

void TForm1::BuildMenus() {
    menuBar()->setObjectName("MainMenu1");
    for (const MenuNode& top : MainMenuTable()) {
        QMenu* m = menuBar()->addMenu(
            QString::fromUtf8(top.caption.data(), static_cast<int>(top.caption.size())));
        m->setObjectName(QString::fromUtf8(top.name.data(), static_cast<int>(top.name.size())));
        AddMenuItems(m, top.children);
    }
    RecentMenu->setEnabled(false);
}

void TForm1::BuildToolBar() {
    ToolBar1 = addToolBar("Tool");
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(true);
    ToolBar1->setFloatable(true);
    for (const ToolSlot& s : ToolBarTable()) {
        if (s.button.empty()) {
            ToolBar1->addSeparator();
            continue;
        }
        QAction* a = Action(s.command);
        ToolBar1->addAction(a);
        if (QWidget* w = ToolBar1->widgetForAction(a))
            w->setObjectName(QString::fromUtf8(s.button.data(), static_cast<int>(s.button.size())));
    }
}

void TForm1::BuildStatusBar() {
    statusBar()->setObjectName("StatusBar1");
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(statusBar());
        panels_[i]->setObjectName(QString("Panel%1").arg(i));
        panels_[i]->setFixedWidth(kPanelWidths[i]);
        statusBar()->addWidget(panels_[i]);
    }
}

void TForm1::BuildCanvas() {
    auto* drawPanel = new QWidget(this);
    drawPanel->setObjectName("DrawPanel");
    auto* layout = new QVBoxLayout(drawPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    ScrollBox1 = new QScrollArea(drawPanel);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    PaintBox1 = new TPaintBox(PicBitmap);
    ScrollBox1->setWidget(PaintBox1);
    ScrollBox1->viewport()->installEventFilter(this);
    layout->addWidget(ScrollBox1);
    setCentralWidget(drawPanel);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
}

void TForm1::LoadCursors() {
    for (std::size_t slot = 0; slot < kSlotResources.size(); ++slot) {
        const CursorResource* res = nullptr;
        for (const CursorResource& r : kCursorResources)
            if (r.id == kSlotResources[slot])
                res = &r;
        QPixmap pixmap(res ? res->xpm : nullptr);
        int w = 0, h = 0, colours = 0, chars = 0, hotX = 0, hotY = 0;
        if (!res || pixmap.isNull() ||
            std::sscanf(res->xpm[0], "%d %d %d %d %d %d", &w, &h, &colours, &chars, &hotX, &hotY) !=
                6) {
            FatalError = kCursorMissing;
            return;
        }
        CursorSlots[slot + 1] = QCursor(pixmap, hotX, hotY);
    }
}

QAction* TForm1::Action(std::string_view name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void TForm1::SetHandler(std::string_view name, std::function<void()> handler) {
    RequireCommand(name);
    handlers_[std::string(name)] = std::move(handler);
    RefreshEnabled(name);
}

bool TForm1::HasHandler(std::string_view name) const {
    const auto it = handlers_.find(name);
    return it != handlers_.end() && it->second;
}

bool TForm1::Guarded(const std::function<void()>& work) {
    bool ok = true;
    try {
        work();
    } catch (const std::exception& e) {
        ok = false;
        prompt.Message(e.what(), "", MessageKind::Error);
    } catch (...) {
        ok = false;
        prompt.Message(UnknownErrorText, "", MessageKind::Error);
    }
    SyncEditActions();
    return ok;
}

bool TForm1::RunCommand(std::string_view name) {
    const auto it = handlers_.find(name);
    if (it == handlers_.end() || !it->second)
        return true;
    const std::function<void()> handler = it->second;
    return Guarded(handler);
}

char TForm1::ViewModeOfButtons() const {
    return Down("ToolButton35") ? '1' : Down("ToolButton2") ? '2' : '3';
}

bool TForm1::Down(std::string_view button) const {
    return IsDown(View, Model.ViewMode, button);
}

void TForm1::ClickButton(std::string_view button, bool down) {
    QAction* a = Action(button);
    if (!a || !a->isCheckable())
        return;
    // An exclusive group keeps its pressed button down when it is clicked again.
    if (!down && a->actionGroup() && a->isChecked())
        return;
    a->setChecked(down);
    CheckButtonClicked(button, down);
}

void TForm1::CheckButtonClicked(std::string_view name, bool checked) {
    ::SetDown(View, Model.ViewMode, name, checked);
    SyncCheckButtons();
    RunCommand(name);
}

void TForm1::SyncCheckButtons() {
    for (const CommandDef& c : CommandTable()) {
        if (!c.checkable)
            continue;
        QAction* a = Action(c.name);
        const bool down = Down(c.name);
        if (a->isChecked() != down)
            a->setChecked(down);
    }
}

void TForm1::ApplyEnabled(std::string_view name, bool enabled) {
    const CommandDef* c = FindCommand(name);
    QAction* a = Action(name);
    if (!c || !a)
        return;
    // A check button works by its state alone, but a tool window's button needs its window.
    const bool toolWindow =
        name == "ToolButton18" || name == "ToolButton25" || name == "ToolButton27";
    const bool hasWork = (c->checkable && !toolWindow) || c->stateOnly || HasHandler(name);
    a->setEnabled(enabled && hasWork && c->rule != EnableRule::Never);
}

void TForm1::RefreshEnabled(std::string_view name) {
    const CommandDef* c = FindCommand(name);
    if (!c)
        return;
    if (c->rule == EnableRule::EditOnly || c->rule == EnableRule::ProjectSaved) {
        SyncEditActions();
        return;
    }
    const auto it = ruleEnabled_.find(name);
    ApplyEnabled(name, it == ruleEnabled_.end() || it->second);
}

void TForm1::SyncEditActions() {
    ApplyEnabled("Undo", Model.UndoEnabled());
    ApplyEnabled("Redo", Model.RedoEnabled());
    ApplyEnabled("FileSavePrj", Model.PrjOpen && Model.SaveEnabled());
}

void TForm1::UpdateProjectState(char kind) {
    setWindowTitle(Model.PrjFileName.empty()
                       ? QString(kCaption)
                       : QString(kCaption) + " - " + QString::fromStdString(Model.PrjFileName));
    for (const CommandDef& c : CommandTable()) {
        if (c.rule == EnableRule::Untouched)
            continue;
        bool& enabled = ruleEnabled_[std::string(c.name)];
        enabled = EnabledByProjectState(c.rule, Model.PrjOpen, Model.Modified, enabled);
    }
    Model.SetUndoRedoEnabled(false, false);
    Model.SetSaveEnabled(Model.PrjOpen && Model.Modified);
    for (const CommandDef& c : CommandTable())
        RefreshEnabled(c.name);
    if (!Model.PrjOpen && kind != 'I' && RefreshPropertiesPages)
        RefreshPropertiesPages();
}

void TForm1::SetStatusText(int panel, const std::string& text) {
    if (panel >= 0 && panel < static_cast<int>(panels_.size()))
        panels_[static_cast<std::size_t>(panel)]->setText(QString::fromStdString(text));
}

std::string TForm1::StatusText(int panel) const {
    if (panel < 0 || panel >= static_cast<int>(panels_.size()))
        return {};
    return panels_[static_cast<std::size_t>(panel)]->text().toStdString();
}

void TForm1::UpdatePicExecute(RebuildSender sender) {
    ShowRebuild(Model.UpdatePicExecute(sender));
}

void TForm1::ShowRebuild(const RebuildResult& result) {
    if (result.MsgFontChanged)
        InfoWindow->MsgMemo->setFont(QFontOf(Model.AppMisc.MsgFont));
    if (result.HdlFontChanged && HdlFontChanged)
        HdlFontChanged();
    if (result.ViewModeChanged)
        SyncCheckButtons();
    if (result.ClosePrjRequested) {
        // The rebuild only reports an illegal project; closing it here happens once, and the
        // close's own rebuild of the empty project cannot ask again.
        if (closingIllegal_)
            return;
        closingIllegal_ = true;
        if (Model.PrjOpen) {
            CloseIllegalProject();
        } else {
            // The command that ran the rebuild has closed the project already.
            UpdateProjectState('n');
            SetClosePrjEnabled(false);
            UpdatePicExecute(RebuildSender::MainWindow);
        }
        closingIllegal_ = false;
        return;
    }
    if (result.Completed)
        SetStatusText(2, result.CountsText);
    // The limits of the picture are reported once per command, not at every resize.
    reportPicture_ = true;
    ScrollBox1Resize();
    reportPicture_ = false;
    SyncEditActions();
}

void TForm1::ReportPictureLimits(const PictureExtent& extent) {
    if (extent.Capped)
        Model.LogError("The picture would be " + std::to_string(extent.WantedWidth) + " x " +
                       std::to_string(extent.WantedHeight) + " pixels; only the first " +
                       std::to_string(extent.Width) + " x " + std::to_string(extent.Height) +
                       " are drawn.");
}

void TForm1::GestureServed() {
    // As after the rebuild of a command: the picture's limits once, and the edit actions.
    ReportPictureLimits(lastExtent_);
    SyncEditActions();
}

void TForm1::RedrawPicture() {
    Model.ComputeModuleWidths();
    const PictureExtent extent = FitCanvasExtent(Model, ScrollBox1->width(), ScrollBox1->height());
    lastExtent_ = extent;
    if (reportPicture_)
        ReportPictureLimits(extent);
    if (PicBitmap.width() != extent.Width || PicBitmap.height() != extent.Height) {
        QImage picture = AllocatePicture(extent.Width, extent.Height);
        if (picture.isNull()) {
            if (reportPicture_)
                Model.LogError("Not enough memory for a picture of " +
                               std::to_string(extent.Width) + " x " +
                               std::to_string(extent.Height) + " pixels.");
            PicBitmap = QImage();
            PaintBox1->resize(ScrollBox1->viewport()->size());
            PaintBox1->update();
            return;
        }
        PicBitmap.swap(picture);
    }
    PaintBox1->resize(PicBitmap.size());
    DrawPicture();
}

void TForm1::ScrollBox1Resize() {
    if (inResize_)
        return;
    inResize_ = true;
    RedrawPicture();
    // A picture no larger than the scroll box needs no scroll bar; then the box shows it whole.
    const int w = PicBitmap.isNull() ? 0 : PicBitmap.width();
    const int h = PicBitmap.isNull() ? 0 : PicBitmap.height();
    ScrollBox1->setHorizontalScrollBarPolicy(w <= ScrollBox1->width() ? Qt::ScrollBarAlwaysOff
                                                                      : Qt::ScrollBarAsNeeded);
    ScrollBox1->setVerticalScrollBarPolicy(h <= ScrollBox1->height() ? Qt::ScrollBarAlwaysOff
                                                                     : Qt::ScrollBarAsNeeded);
    inResize_ = false;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::Resize)
        Guarded([this] { ScrollBox1Resize(); });
    if (DockClientEvent(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::RegisterOwnHandlers() {
    SetHandler("UpdatePic", [this] { UpdatePicExecute(RebuildSender::MainWindow); });
    SetHandler("Undo", [this] {
        if (auto r = Model.UndoExecute()) {
            ShowRebuild(*r);
            if (RefreshPropertiesPages)
                RefreshPropertiesPages();
        }
    });
    SetHandler("Redo", [this] {
        if (auto r = Model.RedoExecute()) {
            ShowRebuild(*r);
            if (RefreshPropertiesPages)
                RefreshPropertiesPages();
        }
    });
    SetHandler("OpenProject", [this] { OpenProjectExecute(); });
    SetHandler("FileExit1", [this] { close(); });
    SetHandler("About1", [this] { About1Click(); });
    // The view-style buttons share one handler: the view mode follows the pressed button.
    for (const char* b : {"ToolButton35", "ToolButton2", "ToolButton36"})
        SetHandler(b, [this] {
            Model.ViewMode = ViewModeOfButtons();
            UpdatePicExecute();
        });
    // The drawing reads these buttons; a click only redraws.
    for (const char* b : {"ToolButton20", "ToolButton22", "ToolButton23"})
        SetHandler(b, [this] { UpdatePicExecute(); });
}

void TForm1::About1Click() {
    if (AboutBox)
        AboutBox->ShowAbout();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The start-up may open the modal wizard: run it once the window is on the screen, so the
    // wizard stands over the editor rather than over nothing.
    if (FirstShowPending)
        QTimer::singleShot(0, this, [this] { FormShowOnceExposed(0); });
}

void TForm1::FormShowOnceExposed(int polls) {
    // The display exposes a shown window only when it gets round to it, which on a busy machine
    // can be after the next turn of the event loop; one it never exposes (started minimised)
    // starts up all the same once the polls run out.
    constexpr int kPollMs = 10;
    constexpr int kMaxPolls = 300;
    if (!FirstShowPending)
        return;
    const bool exposed = windowHandle() && windowHandle()->isExposed();
    if (!exposed && polls < kMaxPolls) {
        QTimer::singleShot(kPollMs, this, [this, polls] { FormShowOnceExposed(polls + 1); });
        return;
    }
    Guarded([this] { FormShow(); });
}

void TForm1::FormShow() {
    if (!FirstShowPending)
        return;
    FirstShowPending = false;
    PlaceTopNameBox();
    Model.IniPath = DefaultIniPath(Model);
    const std::vector<StartupStep> steps = WalkCommandLine(
        commandLine_, Model.IniPath, {platform::FileExists, platform::AbsolutePath});
    for (const StartupStep& step : steps) {
        switch (step.kind) {
        case StartupStep::Kind::LoadSettings:
            Model.IniPath = step.path;
            LoadSettings();
            break;
        case StartupStep::Kind::OpenProject:
            OpenProjectFile(step.path);
            break;
        case StartupStep::Kind::NewProject:
            FileNewPrjExecute(true, step.sources);
            break;
        case StartupStep::Kind::LogError:
            Model.LogError(step.path);
            break;
        }
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool keep = false;
    Guarded([&] {
        QAction* close = Action("ClosePrj");
        if (close && close->isEnabled()) {
            ClosePrjExecute();
            keep = closePrjTag_ == 0;
        }
    });
    if (keep) {
        event->ignore();
        return;
    }
    event->accept();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    const std::vector<std::string> files =
        platform::LocalFilesOfUriList(event->mimeData()->data("text/uri-list").toStdString());
    const bool project = files.size() == 1 && HasProjectExtension(files.front());
    const bool sources =
        !files.empty() && (Model.PrjOpen ? bool(AddModuleWizard) : bool(NewProjectWizard));
    if (project || sources)
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files =
        platform::LocalFilesOfUriList(event->mimeData()->data("text/uri-list").toStdString());
    event->acceptProposedAction();
    Guarded([&] { HandleDroppedFiles(files); });
}

void TForm1::HandleDroppedFiles(const std::vector<std::string>& paths) {
    if (paths.size() == 1 && HasProjectExtension(paths.front())) {
        // The whole path: a name cut short could name another file.
        OpenProjectAccept(paths.front());
        return;
    }
    if (paths.empty())
        return;
    if (Model.PrjOpen) {
        if (AddModuleWizard)
            AddModuleWizard(paths);
    } else {
        FileNewPrjExecute(true, paths);
    }
}

void TForm1::OpenProjectExecute() {
    if (const auto path = ChooseProjectToOpen(Model, Services))
        OpenProjectAccept(*path);
}

void TForm1::OpenProjectAccept(const std::string& path) {
    ClosePrjExecute();
    if (closePrjTag_ == 0)
        return;
    OpenProjectFile(path);
}

void TForm1::FileNewPrjExecute(bool senderIsMainWindow, const std::vector<std::string>& sources) {
    ClosePrjExecute();
    if (closePrjTag_ == 0 || !NewProjectWizard)
        return;
    if (!NewProjectWizard(senderIsMainWindow, sources)) {
        Model.Modified = false;
        return;
    }
    // The wizard's "OK" showed the hourglass while the engine and the parser ran; the layout,
    // the width checks and the drawing of a large project take as long again.
    Hourglass busy;
    LoadSettings();
    SetClosePrjEnabled(true);
    Model.Modified = true;
    UpdateProjectState('n');
    ZoomSteps->FitSizesToFonts();
    UpdatePicExecute(RebuildSender::FileNewPrj);
    if (CheckAddedInstance) {
        bool first = true;
        std::vector<std::string> added;
        for (const mdu& m : Model.MduList)
            if (!m.ModuleName.empty())
                added.push_back(m.InstName);
        for (const std::string& inst : added) {
            CheckAddedInstance(inst, first);
            first = false;
        }
    }
    UpdatePicExecute(RebuildSender::MainWindow);
}

void TForm1::InstallNewProjectWizard(NewProjectWizardFn wizard) {
    NewProjectWizard = std::move(wizard);
    if (NewProjectWizard)
        SetHandler("FileNewPrj", [this] { FileNewPrjExecute(false); });
    else
        SetHandler("FileNewPrj", nullptr);
}
