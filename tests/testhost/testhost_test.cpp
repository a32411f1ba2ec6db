// The test host: private data per record, injected failures, counters, the abort
// check, the dialog parent and event dispatching, and binding by name from a
// module loaded with dlopen.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <X11/Shell.h>
#include <dlfcn.h>

#include "probe_result.h"
#include "testhost.h"

namespace {

class TestHost : public ::testing::Test {
  protected:
    void SetUp() override { testhost::reset(); }
    void TearDown() override { testhost::reset(); }
    int32_t init(DeviceRecord* r) {
        return VDX_InitData(r, VDX_PRIVATE_TYPE, VDX_PRIVATE_VERSION, 0, 0);
    }
    int32_t setText(DeviceRecord* r, int32_t key, const char* text) {
        return VDX_SetData(r, key, VDX_KIND_TEXT, 0, reinterpret_cast<intptr_t>(text));
    }
    DeviceRecord rec{};
    DeviceRecord other{};
};

TEST_F(TestHost, StateIsZeroUntilPrivateDataIsCreated) {
    EXPECT_EQ(VDX_GetState(&rec), 0);
    EXPECT_EQ(init(&rec), 0);
    EXPECT_EQ(VDX_GetState(&rec), 1);
    EXPECT_EQ(VDX_GetState(&other), 0);
    EXPECT_EQ(init(&rec), testhost::kAlreadyCreated);
    testhost::reset();
    EXPECT_EQ(VDX_GetState(&rec), 0);
}

TEST_F(TestHost, InitDataWantsThePluginsTypeAndVersion) {
    EXPECT_EQ(VDX_InitData(&rec, 0x44657643u /* DevC */, VDX_PRIVATE_VERSION, 0, 0),
              testhost::kBadType);
    EXPECT_EQ(VDX_InitData(&rec, VDX_PRIVATE_TYPE, 0x10000u, 0, 0), testhost::kBadType);
    EXPECT_EQ(VDX_GetState(&rec), 0);
}

TEST_F(TestHost, KeepsIntegersAndCopiesOfTextsPerRecord) {
    ASSERT_EQ(init(&rec), 0);
    ASSERT_EQ(init(&other), 0);
    char path[] = "/dev/ttyts2";
    EXPECT_EQ(VDX_SetData(&rec, 1, VDX_KIND_INTEGER, 0, -5), 0);
    EXPECT_EQ(setText(&rec, 2, path), 0);
    EXPECT_EQ(setText(&rec, 3, "12"), 0);
    EXPECT_EQ(VDX_SetData(&other, 1, VDX_KIND_INTEGER, 0, 9), 0);
    std::strcpy(path, "/dev/null!!");

    intptr_t value = 0;
    EXPECT_EQ(VDX_GetData(&rec, 1, 0, 0, &value), 0);
    EXPECT_EQ(value, -5);
    EXPECT_EQ(VDX_GetData(&rec, 2, 0, 0, &value), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(value), "/dev/ttyts2");
    EXPECT_EQ(VDX_GetData(&rec, 3, 0, 0, &value), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(value), "12");
    EXPECT_EQ(VDX_GetData(&other, 1, 0, 0, &value), 0);
    EXPECT_EQ(value, 9);

    // Storing again replaces.
    EXPECT_EQ(setText(&rec, 2, "/dev/ttyUSB1"), 0);
    std::string text;
    EXPECT_TRUE(testhost::stored_text(&rec, 2, &text));
    EXPECT_EQ(text, "/dev/ttyUSB1");
    EXPECT_TRUE(testhost::stored_integer(&rec, 1, &value));
    EXPECT_EQ(value, -5);
    EXPECT_FALSE(testhost::stored_integer(&rec, 2, &value));
    EXPECT_FALSE(testhost::stored_text(&other, 2, &text));
}

TEST_F(TestHost, RefusesMisuseWithErrorCodesAndLeavesOutputAlone) {
    intptr_t value = 1234;
    struct Case {
        const char* what;
        int32_t result;
        int32_t expected;
    };
    Case before[] = {
        {"set before init", VDX_SetData(&rec, 1, VDX_KIND_INTEGER, 0, 1), testhost::kNoPrivateData},
        {"get before init", VDX_GetData(&rec, 1, 0, 0, &value), testhost::kNoPrivateData},
    };
    for (const Case& c : before) EXPECT_EQ(c.result, c.expected) << c.what;
    ASSERT_EQ(init(&rec), 0);
    Case after[] = {
        {"key 0", VDX_SetData(&rec, 0, VDX_KIND_INTEGER, 0, 1), testhost::kBadKey},
        {"key 4", VDX_SetData(&rec, 4, VDX_KIND_INTEGER, 0, 1), testhost::kBadKey},
        {"kind 3", VDX_SetData(&rec, 1, 3, 0, 1), testhost::kBadKind},
        {"null text", VDX_SetData(&rec, 2, VDX_KIND_TEXT, 0, 0), testhost::kBadKind},
        {"get key 4", VDX_GetData(&rec, 4, 0, 0, &value), testhost::kBadKey},
        {"get unset", VDX_GetData(&rec, 3, 0, 0, &value), testhost::kNotSet},
    };
    for (const Case& c : after) EXPECT_EQ(c.result, c.expected) << c.what;
    EXPECT_EQ(value, 1234);
}

TEST_F(TestHost, InjectedFailuresReturnTheirCodeAndChangeNothing) {
    testhost::fail(testhost::Call::InitData, 55);
    EXPECT_EQ(init(&rec), 55);
    EXPECT_EQ(VDX_GetState(&rec), 0);
    testhost::fail(testhost::Call::InitData, 0);
    ASSERT_EQ(init(&rec), 0);

    testhost::fail(testhost::Call::SetData, -3);
    EXPECT_EQ(VDX_SetData(&rec, 1, VDX_KIND_INTEGER, 0, 8), -3);
    intptr_t value = 0;
    EXPECT_FALSE(testhost::stored_integer(&rec, 1, &value));
    testhost::fail(testhost::Call::SetData, 0);
    ASSERT_EQ(VDX_SetData(&rec, 1, VDX_KIND_INTEGER, 0, 8), 0);

    testhost::fail(testhost::Call::GetData, 99);
    value = 77;
    EXPECT_EQ(VDX_GetData(&rec, 1, 0, 0, &value), 99);
    EXPECT_EQ(value, 77);
    testhost::reset(); // also clears injected failures
    ASSERT_EQ(init(&rec), 0);
    EXPECT_EQ(VDX_SetData(&rec, 1, VDX_KIND_INTEGER, 0, 8), 0);
    EXPECT_EQ(VDX_GetData(&rec, 1, 0, 0, &value), 0);
}

TEST_F(TestHost, CountsSuspendsAndResumes) {
    VDX_DevSuspend(&rec);
    VDX_DevResume(&rec);
    VDX_DevSuspend(&rec);
    EXPECT_EQ(testhost::suspend_count(), 2);
    EXPECT_EQ(testhost::resume_count(), 1);
    testhost::reset();
    EXPECT_EQ(testhost::suspend_count(), 0);
    EXPECT_EQ(testhost::resume_count(), 0);
}

TEST_F(TestHost, AbortCheckRaisedOnRequestAfterTheGivenNumberOfChecks) {
    EXPECT_EQ(VDX_DevCheckAbort(&rec), 0);
    testhost::request_abort(2);
    EXPECT_EQ(VDX_DevCheckAbort(&rec), 0);
    EXPECT_EQ(VDX_DevCheckAbort(&rec), 0);
    EXPECT_NE(VDX_DevCheckAbort(&rec), 0);
    EXPECT_NE(VDX_DevCheckAbort(&rec), 0);
    EXPECT_EQ(testhost::abort_checks(), 5);
    testhost::cancel_abort();
    EXPECT_EQ(VDX_DevCheckAbort(&rec), 0);
    testhost::request_abort();
    EXPECT_NE(VDX_DevCheckAbort(&rec), 0);
    testhost::reset();
    EXPECT_EQ(VDX_DevCheckAbort(&rec), 0);
}

class TestHostDisplay : public TestHost {
  protected:
    void SetUp() override {
        TestHost::SetUp();
        if (!testhost::has_display()) GTEST_SKIP() << "no X display";
    }
};

TEST_F(TestHostDisplay, DialogParentIsOneRealizedShell) {
    Widget parent = VDX_GetDialogParent();
    ASSERT_NE(parent, nullptr);
    EXPECT_TRUE(XtIsRealized(parent));
    EXPECT_TRUE(XtIsApplicationShell(parent));
    EXPECT_EQ(XtWidgetToApplicationContext(parent), testhost::app_context());
    EXPECT_EQ(XtDisplay(parent), testhost::display());
    EXPECT_EQ(VDX_GetDialogParent(), parent);
}

int gClientMessages = 0;

void on_client_message(Widget, XtPointer, XEvent* event, Boolean*) {
    if (event->type == ClientMessage && event->xclient.data.l[0] == 4242) gClientMessages++;
}

TEST_F(TestHostDisplay, DispatchEventReachesTheWidgetsHandlers) {
    Widget parent = VDX_GetDialogParent();
    ASSERT_NE(parent, nullptr);
    gClientMessages = 0;
    XtAddEventHandler(parent, NoEventMask, True, on_client_message, nullptr);
    XEvent sent{};
    sent.xclient.type = ClientMessage;
    sent.xclient.window = XtWindow(parent);
    sent.xclient.format = 32;
    sent.xclient.message_type = XInternAtom(XtDisplay(parent), "VDX_TEST", False);
    sent.xclient.data.l[0] = 4242;
    XSendEvent(XtDisplay(parent), XtWindow(parent), False, NoEventMask, &sent);
    XFlush(XtDisplay(parent));

    // A modal loop's way: fetch with XtAppNextEvent, hand to the host.
    XtAppContext app = testhost::app_context();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (gClientMessages == 0 && std::chrono::steady_clock::now() < deadline) {
        if (!(XtAppPending(app) & XtIMXEvent)) {
            XSync(XtDisplay(parent), False);
            continue;
        }
        XEvent event;
        XtAppNextEvent(app, &event);
        VDX_DispatchEvent(&event);
    }
    XtRemoveEventHandler(parent, NoEventMask, True, on_client_message, nullptr);
    EXPECT_EQ(gClientMessages, 1);
    EXPECT_GE(testhost::dispatched_events(), 1);
}

struct Module {
    void* handle = nullptr;
    ~Module() {
        if (handle) dlclose(handle);
    }
};

TEST_F(TestHost, LoadedModuleBindsTheHostFunctionsByName) {
    Module module;
    module.handle = dlopen(PROBE_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module.handle, nullptr) << dlerror();
    auto run =
        reinterpret_cast<void (*)(DeviceRecord*, ProbeResult*)>(dlsym(module.handle, "probe_run"));
    auto boundGetState =
        reinterpret_cast<void* (*)()>(dlsym(module.handle, "probe_bound_get_state"));
    auto boundDispatch =
        reinterpret_cast<void* (*)()>(dlsym(module.handle, "probe_bound_dispatch_event"));
    ASSERT_NE(run, nullptr);
    ASSERT_NE(boundGetState, nullptr);
    ASSERT_NE(boundDispatch, nullptr);
    EXPECT_EQ(boundGetState(), reinterpret_cast<void*>(&VDX_GetState));
    EXPECT_EQ(boundDispatch(), reinterpret_cast<void*>(&VDX_DispatchEvent));

    testhost::request_abort(0);
    ProbeResult result{};
    run(&rec, &result);
    EXPECT_EQ(result.stateBefore, 0);
    EXPECT_EQ(result.init, 0);
    EXPECT_EQ(result.stateAfter, 1);
    EXPECT_EQ(result.setPort, 0);
    EXPECT_EQ(result.setPath, 0);
    EXPECT_EQ(result.getPort, 0);
    EXPECT_EQ(result.port, 7);
    EXPECT_EQ(result.getPath, 0);
    EXPECT_STREQ(result.path, "/dev/ttyUSB0");
    EXPECT_NE(result.abortCheck, 0);
    EXPECT_EQ(result.dialogParent, VDX_GetDialogParent());
    EXPECT_EQ(testhost::suspend_count(), 1);
    EXPECT_EQ(testhost::resume_count(), 1);
    std::string text;
    EXPECT_TRUE(testhost::stored_text(&rec, 2, &text));
    EXPECT_EQ(text, "/dev/ttyUSB0");
}

} // namespace
