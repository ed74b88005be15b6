#pragma once
// Error reports go to a recording console and show no dialog; a fatal one
// stops nothing beyond the test, whose end clears the error state.
#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Options/Runner_Options.h"
#include "support/RecordingConsole.h"

struct ReportCapture {
    RecordingConsole console;
    tagIConsole* saved = OutputConsole;
    bool savedDialogs = ShowErrorDialogs;
    ReportCapture()
    {
        OutputConsole = &console;
        ShowErrorDialogs = false;
    }
    ~ReportCapture()
    {
        OutputConsole = saved;
        ShowErrorDialogs = savedDialogs;
        FatalErrorShown = false;
        error_occurred = false;
    }
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;
};
