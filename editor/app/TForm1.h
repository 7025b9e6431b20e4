// The main window: menus, tool bar, status bar, dock areas and the canvas, built from the command
// table; it owns the project model and runs every command through one guarded entry.
#pragma once

#include "editor/canvas/CanvasController.h"
#include "editor/canvas/ContextMenu.h"
#include "editor/canvas/GestureRefresh.h"
#include "editor/canvas/Picture.h"
#include "editor/canvas/PropertiesPresenter.h"
#include "editor/canvas/SmartLink.h"
#include "editor/canvas/SmartLinkWindow.h"
#include "editor/canvas/TopPortImport.h"
#include "editor/model/Documents.h"
#include "editor/model/ProjectModel.h"
#include "editor/model/ViewState.h"
#include "editor/widgets/PictureDrawer.h"

#include <QCursor>
#include <QImage>
#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class Prompt;
struct ClosePrjResult;
class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMenu;
class QScrollArea;
class QToolBar;
class TDrvForm;
class MenuDialogWindows;
class TFormTname;
class TFormConfWid;
class TFormUpdateMduDef;
class TPortForm;
class TFormSL;
class TPaintBox;
class TPropForm;
class Zoom;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // The prompt shows every message box and file chooser; the drawer paints the picture.
    TForm1(Prompt& prompt, PictureDrawer& drawer, QWidget* parent = nullptr);
    ~TForm1() override;

    ProjectModel Model;
    ViewState View;
    Prompt& prompt;
    // What the file commands reach the desktop through.
    EditorServices Services;

    // The canvas's mouse handling, and what it reaches the window through; the seams of the
    // windows that come later (SmartLink, width confirmation, the source viewer, the Properties
    // window) stay unset here.
    CanvasHost CanvasHooks;
    std::unique_ptr<CanvasController> Canvas;
    // The canvas's short ways to the picture after a gesture (the marks refresh, the wires).
    std::unique_ptr<GestureRefresh> CanvasRefresh;

    // The off-screen picture; a paint of the canvas copies from it and nothing else.
    QImage PicBitmap;

    QToolBar* ToolBar1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    QMenu* RecentMenu = nullptr; // "Recent Projects"
    QMenu* PopupMenu1 = nullptr; // the canvas's context menu, filled by the canvas's code
    TDrvForm* InfoWindow = nullptr;

    // Mouse cursor slots 1 to 9 (slot 0 unused).
    std::array<QCursor, 10> CursorSlots;
    // Set when the window cannot run (a cursor image could not be loaded); the program shows
    // the text and ends with exit code 1.
    std::string FatalError;

    // Commands.
    QAction* Action(std::string_view name) const;
    // Gives a command its handler. A command without one (other than a check button) stays
    // disabled; the enabling rules apply once it has one. A name that is not in the command
    // table is a programming error and fails loudly (RequireCommand).
    void SetHandler(std::string_view name, std::function<void()> handler);
    bool HasHandler(std::string_view name) const;
    // Enables or disables a command as the project rules would, until the next project-state
    // change decides again (a command that needs a handler stays disabled without one).
    void SetActionEnabled(std::string_view name, bool enabled);
    // Runs a command's handler; an exception that escapes it is shown and the program goes on.
    // False when it threw.
    bool RunCommand(std::string_view name);
    // Runs any piece of work the same guarded way (mouse handlers, dropped files).
    bool Guarded(const std::function<void()>& work);
    bool Down(std::string_view button) const;
    // The view mode the pressed view-style button stands for: '1' normal, '2' compact, '3' custom.
    char ViewModeOfButtons() const;
    // Presses or releases a check button as a click would, and runs its handler.
    void ClickButton(std::string_view button, bool down);
    // Shows the check state of every check button from View and the model's ViewMode.
    void SyncCheckButtons();

    // Start-up.
    void SetCommandLine(std::vector<std::string> args) { commandLine_ = std::move(args); }
    bool FirstShowPending = true;
    void FormShow();
    // Settings loader and file-system probes of the start-up; defaults use the real ones.
    std::function<void(const std::string& iniPath)> LoadSettingsHook;

    // Project state.
    void UpdateProjectState(char kind);
    void UpdatePicExecute(RebuildSender sender = RebuildSender::MainWindow);
    // Shows what a rebuild asks for: closes an illegal project, draws, writes the counts.
    void ShowRebuild(const RebuildResult& result);
    // Draws the present records into the picture again, without a rebuild.
    void RedrawPicture();
    void ScrollBox1Resize();
    void SetStatusText(int panel, const std::string& text);
    std::string StatusText(int panel) const;
    // Makes the picture; a test can make it fail to see that nothing draws into it.
    std::function<QImage(int width, int height)> AllocatePicture;

    // Project commands.
    void OpenProjectExecute();
    void OpenProjectAccept(const std::string& path);
    void HandleDroppedFiles(const std::vector<std::string>& paths);
    void FileNewPrjExecute(bool senderIsMainWindow, const std::vector<std::string>& sources = {});
    void ClosePrjExecute();
    // The close of a project the rebuild found illegal; the log is kept across it.
    void CloseIllegalProject();
    int ClosePrjTag() const { return closePrjTag_; }
    void SetClosePrjEnabled(bool enabled);
    void FileSavePrjExecute();
    void FileSaveAs1Execute();
    void OpenProjectFile(const std::string& path);
    void LoadSettings();
    void BuildRecentMenu();
    void RecentProjectClick(int index);
    void About1Click();

    // Tool windows in the dock panels (TForm1Docks.cpp). A registered window follows its check
    // button: however it is closed, the button is released and a panel left without a visible
    // client closes; however it is shown, the button goes down and a closed panel opens to its
    // first-client size. A button stays disabled until its window is registered.
    void RegisterDockClient(QDockWidget* window, const std::string& button);
    void SetDockPanelVisible(Qt::DockWidgetArea panel, bool visible, QDockWidget* client);
    // A client docked into a panel; opens the panel when it is the panel's only visible client.
    void LeftPanelDockDrop(Qt::DockWidgetArea panel, QDockWidget* client);
    // A client left a panel (floated or moved); the panel closes with its last visible client.
    void LeftPanelUnDock(Qt::DockWidgetArea panel, QDockWidget* client);
    // Whether the control bar takes a window: tool bars only, never a tool window or a dialog.
    bool ControlBar1DockOver(const QWidget* source) const;
    // Width of a side panel or height of the bottom panel; 0 while it shows no client.
    int DockPanelExtent(Qt::DockWidgetArea panel) const;
    void ToolButton18Click();
    void ToolButton25Click();
    void ToolButton27Click();

    // Zoom, the Top-name box and the Settings dialog (TForm1Views.cpp).
    std::unique_ptr<Zoom> ZoomSteps;
    TFormTname* TopNameWindow = nullptr;
    TPropForm* SettingsWindow = nullptr;
    void ToolButton11Click(); // Actual Ports Size
    void ToolButton12Click(); // Full View
    void ToolButton13Click();
    void ToolButton14Click();
    void ToolButton15Click();
    void ToolButton16Click();
    void ToolButton17Click();
    void ToolButton4Click();
    void MV_TNameClick();
    // Places the Top-name box right of the tool bar, as high as it.
    void PlaceTopNameBox();
    // The Settings dialog, filled from the members and shown modally.
    void SettingsClick();
    // SmartLink (TForm1SmartLink.cpp): the rule engine over the model, the Smart Link window's
    // state, and the window, docked at the right and made at start-up.
    SmartLink SmartLinks{Model};
    SmartLinkWindow SmartLinkState{Model, SmartLinks};
    TFormSL* SmartLinkForm = nullptr;
    void CreateSmartLinkWindow();
    // The proposals for the hovered object by every rule (rule -1) or one rule; the canvas's
    // hover and the context menu's rule items call this.
    bool ApplySmartLinkRules(char kind, int index, int rule, std::string& summary);

    // The canvas's context menu (TForm1Menu.cpp): its items and commands over the model, the
    // naming and combining dialogs, and the whole-design map commands.
    std::unique_ptr<MenuDialogWindows> MenuDialogForms;
    std::unique_ptr<ContextMenu> PopupCommands;
    void CreateContextMenu();
    // Fills PopupMenu1 for a right click at (x, y) of the canvas.
    void PopupMenu1Popup(int x, int y);
    // The generated-text window in list mode for ImptTopPrt_Cstm; the command is enabled once
    // it is installed.
    void InstallCustomPortList(CustomPortListWindow window);
    // The selection and its marks go, once new top ports have moved the ports after them.
    void DropSelection();
    // Import Top Port, From HDL Source: the wizard in mode 'T'; on OK the picture again.
    void ImptTopPrt_HDLExecute();
    // The import from HDL and the context menu's Update Module follow the project wizard.
    void ProjectWizardInstalled();
    // Width confirmation, the Properties window and the commands that add and update modules
    // (TForm1Widths.cpp): their logic over the model, and their windows, made at start-up; the
    // Properties window docked at the bottom.
    WidthConfirmation Widths{Model, prompt};
    PropertiesPresenter Properties{Model, prompt, Widths};
    ModuleUpdate ModuleUpdates{Model};
    TPortForm* PropertiesForm = nullptr;
    TFormConfWid* ConfWidForm = nullptr;
    TFormUpdateMduDef* UpdateMduDefForm = nullptr;
    void CreateWidthWindows();
    // The Add Module command; with the main window as the sender the sources were dropped.
    void AddMduExecute(bool senderIsMainWindow, const std::vector<std::string>& sources = {});
    void UpdateMduDefExecute();
    // Reads the definitions of the instance's module (of every module for none) again and shows
    // what changed; false when the wizard did not end with OK.
    bool UpdateModuleDefinition(const mdu* inst);
    // The module wizard for the open project in mode 'A', 'T' or 'U' with these sources; true
    // when it ended with OK. Installed with the wizard; Add and Update Module and the import of
    // top ports from HDL stay disabled without it.
    using ProjectWizardFn = std::function<bool(char mode, const std::vector<std::string>& sources)>;
    ProjectWizardFn ProjectWizard;
    void InstallProjectWizard(ProjectWizardFn wizard);

    // Seams of the windows that come with other parts of the editor.
    // The module wizard for a new project: sources hold the files from the command line or a
    // drop (empty from the menu); true when the wizard ended with OK and replaced the project.
    using NewProjectWizardFn =
        std::function<bool(bool senderIsMainWindow, const std::vector<std::string>& sources)>;
    NewProjectWizardFn NewProjectWizard;
    // Installs the wizard; the New Project command is enabled from then on.
    void InstallNewProjectWizard(NewProjectWizardFn wizard);
    // The module wizard for dropped source files while a project is open (Add Module).
    std::function<void(const std::vector<std::string>& sources)> AddModuleWizard;
    // Width confirmation of each added instance after a new project.
    std::function<void(const std::string& instance, bool first)> CheckAddedInstance;
    // The Properties window refreshes both its pages.
    std::function<void()> RefreshPropertiesPages;
    // The generated-text window takes the look of HdlFont.
    std::function<void()> HdlFontChanged;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // FormShow from the first showing, once the window is on the screen.
    void FormShowOnceExposed(int polls);
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildCanvas();
    void LoadCursors();
    void RegisterOwnHandlers();
    void RegisterFileHandlers();
    void RegisterViewHandlers();
    // The last rebuild and drawing of a zoom search, whose turns logged nothing.
    void FinishZoomSearch();
    void RegisterCanvasHandlers();
    void RegisterMapHandlers();
    // Draws the part of the picture the scroll box shows, and shows it.
    void DrawPicture();
    // Logs that the picture is drawn only in part, when it is.
    void ReportPictureLimits(const PictureExtent& extent);
    // After a gesture a short way served: what the rebuild's command does besides the rebuild.
    void GestureServed();
    void ShowClose(const ClosePrjResult& result);
    void RefreshEnabled(std::string_view name);
    void SyncEditActions();
    void ApplyEnabled(std::string_view name, bool enabled);
    void CheckButtonClicked(std::string_view name, bool checked);
    bool RunStartupSteps();
    void AddMenuItems(QMenu* menu, const std::vector<struct MenuNode>& items);
    void ToolWindowButtonClick(const std::string& button);
    bool DockClientEvent(QObject* watched, QEvent* event);
    int VisibleDockClients(Qt::DockWidgetArea panel, const QDockWidget* except) const;
    // Stops the tool windows reporting here; the destructor runs it before the members go.
    void ReleaseDockClients();

    struct DockClient {
        QDockWidget* window;
        std::string button;
        Qt::DockWidgetArea panel; // where it is docked; NoDockWidgetArea while floating
        bool closed;              // hidden by itself, not with the main window
    };
    std::vector<DockClient> dockClients_;

    PictureDrawer& drawer_;
    std::map<std::string, QAction*, std::less<>> actions_;
    std::map<std::string, std::function<void()>, std::less<>> handlers_;
    // Enabled state by the project rules, before the "needs a handler" test.
    std::map<std::string, bool, std::less<>> ruleEnabled_;
    std::array<QLabel*, 4> panels_{};
    std::vector<std::string> commandLine_;
    int closePrjTag_ = 1;
    bool settingsLoaded_ = false;
    bool closingIllegal_ = false;
    bool inResize_ = false;
    bool reportPicture_ = false;
    PictureExtent lastExtent_; // of the last redraw of the whole picture
    CustomPortListWindow customPortList_;
};

extern TForm1* Form1;

// What the user reads when something that is not a std::exception stops a command.
extern const char* const UnknownErrorText;
