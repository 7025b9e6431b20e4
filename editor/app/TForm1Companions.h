// The main window's companions of the top level: the framework generator behind "Framework only"
// and the column drags, the test fixtures, the HTML module summary and the file list with its
// dialog, put together over the main window's project and its generated-text window.
#pragma once

#include "editor/hdl/FileList.h"
#include "editor/hdl/ui/TFormFLst.h"

#include <QPointer>

class GenHdlHost;
class Prompt;
class TForm1;

class GenCompanionsHost {
public:
    // Gives the generation its framework generator and the main window the handlers of BFLst,
    // GenTstVlog, GenTstVHDL and ViewModuleSummary1. Both the main window and generation must
    // outlive the host.
    GenCompanionsHost(TForm1& form, Prompt& prompt, GenHdlHost& generation);
    ~GenCompanionsHost();
    GenCompanionsHost(const GenCompanionsHost&) = delete;
    GenCompanionsHost& operator=(const GenCompanionsHost&) = delete;

    FileListCommand& FileList() { return fileList_; }
    TFormFLst& FileListWindow() { return *fileListWindow_; }

    // The module summary of one instance (an index in MduList) or, with -1, of every instance:
    // made, saved as "summary.htm" in the work directory and opened in the browser. The canvas's
    // context menu ("Summary") calls it for the instance it was opened on.
    bool ShowSummary(int instance);

private:
    TForm1& form_;
    Prompt& prompt_;
    GenHdlHost& generation_;
    FileListCommand fileList_;
    QPointer<TFormFLst> fileListWindow_;
};
