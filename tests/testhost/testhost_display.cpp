// The test host's X side: a realized application shell as every dialog's parent,
// opened on $DISPLAY the first time it is asked for, and event dispatching.
#include <Xm/RepType.h>
#include <X11/Shell.h>
#include <cstdlib>

#include "testhost.h"

#define VDX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct DisplayState {
    bool tried = false;
    XtAppContext app = nullptr;
    Display* display = nullptr;
    Widget shell = nullptr;
};

DisplayState& x() {
    static DisplayState state;
    return state;
}

int gDispatched = 0;

void open_display() {
    DisplayState& s = x();
    if (s.tried) return;
    s.tried = true;
    const char* name = getenv("DISPLAY");
    if (!name || !*name) return;
    XtToolkitInitialize();
    s.app = XtCreateApplicationContext();
    static char appName[] = "vdxtesthost";
    static char* argv[] = {appName, nullptr};
    int argc = 1;
    s.display = XtOpenDisplay(s.app, nullptr, appName, "VdxTestHost", nullptr, 0, &argc, argv);
    if (!s.display) return;
    // Dialogs come from a Motif plug-in; Motif's converters belong to the host's shell.
    XmRepTypeInstallTearOffModelConverter();
    Arg args[2];
    XtSetArg(args[0], XtNwidth, 320);
    XtSetArg(args[1], XtNheight, 200);
    s.shell =
        XtAppCreateShell(appName, "VdxTestHost", applicationShellWidgetClass, s.display, args, 2);
    XtRealizeWidget(s.shell);
}

} // namespace

namespace testhost {

void reset_display_counters() {
    gDispatched = 0;
}

int dispatched_events() {
    return gDispatched;
}

bool has_display() {
    open_display();
    return x().shell != nullptr;
}

Display* display() {
    open_display();
    return x().display;
}

XtAppContext app_context() {
    open_display();
    return x().shell ? x().app : nullptr;
}

} // namespace testhost

VDX_EXPORT Widget VDX_GetDialogParent(void) {
    open_display();
    return x().shell;
}

VDX_EXPORT void VDX_DispatchEvent(XEvent* event) {
    gDispatched++;
    if (event) XtDispatchEvent(event);
}
