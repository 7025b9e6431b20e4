// The generation of the top level wired into the main window.
#include "editor/app/TForm1Gen.h"

#include "editor/app/TForm1.h"
#include "editor/widgets/WinColor.h"
#include "editor/hdl/ui/TFormConnect.h"
#include "editor/hdl/ui/TFormGenHDL.h"
#include "editor/model/ExternalEditor.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPlainTextEdit>

namespace {

// The look of HdlFont for generated code. A face this desktop lacks falls back to a font that
// is not fixed-pitch (the Windows default "MS Sans Serif" becomes a sans face here), and the
// code's columns and the column headers need one: the system's fixed-pitch font stands in, in
// the chosen size and style.
QFont MemoFont(const FontValue& value) {
    QFont font = QFontOf(value);
    if (!QFontInfo(font).fixedPitch())
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    return font;
}

} // namespace

GenHdlHost::GenHdlHost(TForm1& form, Prompt& prompt, EngineRunner& runner)
    : form_(form), text_(form.Model, prompt), generator_(form.Model, runner),
      command_(form.Model, prompt, generator_, text_) {
    textWindow_ = new TFormGenHDL(text_, &form);
    FormGenHDL = textWindow_;
    connectWindow_ = new TFormConnect(command_.FormConnect, prompt, &form);
    FormConnect = connectWindow_;

    command_.ShowConnect = [this](ConnectForm&) { return connectWindow_->ShowModal(); };
    command_.UpdatePicExecute = [this] { form_.UpdatePicExecute(RebuildSender::MainWindow); };
    command_.FileSavePrjExecute = [this] { form_.FileSavePrjExecute(); };
    command_.SetGenActionsEnabled = [this](bool enabled) {
        form_.SetActionEnabled("GenHDL", enabled);
        form_.SetActionEnabled("GenVHD", enabled);
    };
    command_.SetBusyCursor = [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    // "SFOE" starts the external editor as a double-click on an instance does, and that
    // double-click shows a module's source here when the internal editor is chosen.
    text_.StartExternalEditor = [this](const std::string& path) {
        StartExternalEditor(form_.Model, form_.Services, path);
    };
    form.CanvasHooks.ShowSourceFile = [this](const std::string& path) {
        text_.ShowSourceFile(path);
    };
    form.InstallCustomPortList([this] { return textWindow_->ShowCustomPortList(); });
    form.SetHandler("GenHDL", [this] { command_.GenHDLExecute(); });
    form.HdlFontChanged = [this] {
        textWindow_->Memo1->setFont(MemoFont(form_.Model.AppMisc.HdlFont));
    };
}

GenHdlHost::~GenHdlHost() {
    form_.SetHandler("GenHDL", nullptr);
    form_.InstallCustomPortList(nullptr);
    form_.HdlFontChanged = nullptr;
    form_.CanvasHooks.ShowSourceFile = nullptr;
    if (FormGenHDL == textWindow_)
        FormGenHDL = nullptr;
    if (FormConnect == connectWindow_)
        FormConnect = nullptr;
    delete textWindow_.data();
    delete connectWindow_.data();
}

void GenHdlHost::SetFrameworkGenerator(FrameworkGenerator generator) {
    command_.GenFramework = generator;
    text_.GenFramework = std::move(generator);
}

void TForm1::SetActionEnabled(std::string_view name, bool enabled) {
    ruleEnabled_[std::string(name)] = enabled;
    RefreshEnabled(name);
}
